#include "printing/cupsqueue.h"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <strings.h>
#include <unistd.h>

namespace pelkorl {

namespace {

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestDeleter>;

Dest namedDest(const std::string& queue) {
    return Dest(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.empty() ? nullptr : queue.c_str(), nullptr));
}

// Options the CUPS filters act on for every queue, whatever its driver (lp(1), "Printing
// Options" of the CUPS documentation).
constexpr const char* FILTER_OPTIONS[] = {
    "landscape",
    "fit-to-page",
    "fill",
    "crop-to-fit",
    "scaling",
    "natural-scaling",
    "ppi",
    "position",
    "mirror",
    "page-left",
    "page-right",
    "page-top",
    "page-bottom",
    "prettyprint",
    "cpi",
    "lpi",
    "columns",
    "page-border",
    "number-up-layout",
    "outputorder",
    "raw",
    "document-format",
    "job-sheets",
    "job-hold-until",
    "job-priority",
    "page-set",
    "collate",
    "Collate",
    "copies",
    "media",
    "sides",
    "page-ranges",
    "orientation-requested",
    "number-up",
    "print-quality",
    "print-color-mode",
    "output-bin",
    "finishings",
};

// Option keywords of the queue's PPD; empty for a driverless queue.
std::set<std::string, bool (*)(const std::string&, const std::string&)>
ppdOptionKeys(const std::string& queue) {
    std::set<std::string, bool (*)(const std::string&, const std::string&)> keys(
        [](const std::string& a, const std::string& b) {
            return strcasecmp(a.c_str(), b.c_str()) < 0;
        });
// The driver's options are named only in its PPD, as lpoptions -l reads them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const char* copy = cupsGetPPD2(CUPS_HTTP_DEFAULT, queue.c_str());
    if (!copy)
        return keys;
    const std::string file = copy;
    if (ppd_file_t* ppd = ppdOpenFile(file.c_str())) {
        for (int g = 0; g < ppd->num_groups; ++g) {
            const ppd_group_t& group = ppd->groups[g];
            for (int o = 0; o < group.num_options; ++o)
                keys.insert(group.options[o].keyword);
            for (int s = 0; s < group.num_subgroups; ++s)
                for (int o = 0; o < group.subgroups[s].num_options; ++o)
                    keys.insert(group.subgroups[s].options[o].keyword);
        }
        ppdClose(ppd);
    }
#pragma GCC diagnostic pop
    unlink(file.c_str());
    return keys;
}

} // namespace

QueueState queueState(const std::string& queue) {
    if (queue.empty())
        return QueueState::Missing;
    const Dest dest = namedDest(queue);
    if (!dest)
        return QueueState::Missing;
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    if (accepting && std::strcmp(accepting, "false") == 0)
        return QueueState::Refusing;
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    return state && std::strcmp(state, "5") == 0 ? QueueState::Stopped : QueueState::Accepting;
}

std::string defaultQueue() {
    const Dest dest = namedDest({});
    return dest && dest->name ? std::string(dest->name) : std::string();
}

std::string lastJobRefusal() {
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    const char* reason = cupsLastErrorString();
    return reason && *reason ? reason : ippErrorString(cupsLastError());
}

SubmittedJob submitFile(const std::string& queue, const std::string& file, const std::string& title,
                        const JobOptions& options) {
    SubmittedJob job;
    const Dest dest = namedDest(queue);
    if (!dest) {
        job.error = "there is no such printer";
        return job;
    }
    int count = 0;
    cups_option_t* all = nullptr;
    for (const auto& [key, value] : options)
        count = cupsAddOption(key.c_str(), value.c_str(), count, &all);
    for (int i = 0; i < dest->num_options; ++i) {
        const cups_option_t& own = dest->options[i];
        if (!cupsGetOption(own.name, count, all))
            count = cupsAddOption(own.name, own.value, count, &all);
    }
    job.id = cupsPrintFile2(CUPS_HTTP_DEFAULT, dest->name, file.c_str(), title.c_str(), count, all);
    cupsFreeOptions(count, all);
    if (job.id == 0)
        job.error = lastJobRefusal();
    if (job.id == 0 && job.error.empty())
        job.error = "the job was not taken";
    return job;
}

std::vector<std::string> unknownOptionKeys(const std::string& queue, const JobOptions& options) {
    std::vector<std::string> unknown;
    if (options.empty())
        return unknown;
    const auto driverKeys = ppdOptionKeys(queue);
    std::set<std::string> jobKeys(std::begin(FILTER_OPTIONS), std::end(FILTER_OPTIONS));
    if (const Dest dest = namedDest(queue)) {
        if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get())) {
            ipp_attribute_t* supported = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest.get(), info,
                                                               "job-creation-attributes");
            for (int i = 0; i < ippGetCount(supported); ++i)
                if (const char* key = ippGetString(supported, i, nullptr))
                    jobKeys.insert(key);
            cupsFreeDestInfo(info);
        }
    }
    for (const auto& [key, value] : options) {
        const bool known = driverKeys.count(key) != 0 || jobKeys.count(key) != 0;
        if (!known && std::find(unknown.begin(), unknown.end(), key) == unknown.end())
            unknown.push_back(key);
    }
    return unknown;
}

} // namespace pelkorl
