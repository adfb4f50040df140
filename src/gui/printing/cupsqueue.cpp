#include "printing/cupsqueue.h"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <strings.h>
#include <unistd.h>

namespace pelkorl {

namespace {

using Clock = std::chrono::steady_clock;

// A connection of our own to the scheduler, so that its waits are ours to bound: the CUPS
// library waits on its default connection for as long as it takes.
class Connection {
public:
    explicit Connection(double seconds)
        : deadline_(Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(seconds))) {
        const int msec = std::max(1, static_cast<int>(seconds * 1000));
        http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, msec,
                             nullptr);
        // Asked every quarter of a second without an answer whether to wait on, so that the
        // whole exchange, retries included, ends near the deadline.
        if (http_)
            httpSetTimeout(http_, std::min(seconds, 0.25), &Connection::keepWaiting, this);
    }
    ~Connection() {
        if (http_)
            httpClose(http_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* get() const { return http_; }
    SchedulerError error() const {
        if (!http_)
            return SchedulerError::Unreachable;
        return gaveUp_ ? SchedulerError::NoAnswer : SchedulerError::None;
    }

private:
    static int keepWaiting(http_t*, void* data) {
        auto* self = static_cast<Connection*>(data);
        if (Clock::now() < self->deadline_)
            return 1;
        self->gaveUp_ = true;
        return 0;
    }

    Clock::time_point deadline_;
    http_t* http_ = nullptr;
    bool gaveUp_ = false;
};

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestDeleter>;

struct InfoDeleter {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using DestInfo = std::unique_ptr<cups_dinfo_t, InfoDeleter>;

// The scheduler answers on `connection` about `queue` (the default queue when empty), and
// the queue is there. Asked first because the library's own lookup of a queue it cannot
// find goes on over connections of its own, whose waits are not ours to bound.
bool answersFor(const Connection& connection, const std::string& queue) {
    if (queue.empty()) {
        ipp_t* response =
            cupsDoRequest(connection.get(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
        ippDelete(response);
        return response != nullptr; // "no default" is an answer, lpoptions may name one
    }
    for (const char* kind : {"printers", "classes"}) {
        char uri[HTTP_MAX_URI];
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                         ippPort(), "/%s/%s", kind, queue.c_str());
        ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                     "printer-name");
        ipp_t* response = cupsDoRequest(connection.get(), request, "/");
        const bool found = response && ippGetStatusCode(response) <= IPP_STATUS_OK_EVENTS_COMPLETE;
        ippDelete(response);
        if (found)
            return true;
        if (!response || connection.error() != SchedulerError::None)
            return false;
    }
    return false;
}

Dest namedDest(const Connection& connection, const std::string& queue) {
    if (!connection.get() || !answersFor(connection, queue))
        return nullptr;
    return Dest(
        cupsGetNamedDest(connection.get(), queue.empty() ? nullptr : queue.c_str(), nullptr));
}

// Why a lookup that gave nothing gave nothing, when the scheduler is to blame.
SchedulerError lookupError(const Connection& connection) {
    if (connection.error() != SchedulerError::None)
        return connection.error();
    return cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE ? SchedulerError::Unreachable
                                                                   : SchedulerError::None;
}

struct CaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};
using Choices = std::set<std::string, CaseLess>;
using DriverOptions = std::map<std::string, Choices, CaseLess>;

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

// The options of the queue's PPD with their choices; empty for a driverless queue.
DriverOptions driverOptions(const Connection& connection, const std::string& queue) {
    DriverOptions options;
    if (!connection.get())
        return options;
// The driver's options are named only in its PPD, as lpoptions -l reads them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const char* copy = cupsGetPPD2(connection.get(), queue.c_str());
    if (!copy)
        return options;
    const std::string file = copy;
    const auto take = [&options](const ppd_option_t& option) {
        Choices& choices = options[option.keyword];
        for (int c = 0; c < option.num_choices; ++c)
            choices.insert(option.choices[c].choice);
    };
    if (ppd_file_t* ppd = ppdOpenFile(file.c_str())) {
        for (int g = 0; g < ppd->num_groups; ++g) {
            const ppd_group_t& group = ppd->groups[g];
            for (int o = 0; o < group.num_options; ++o)
                take(group.options[o]);
            for (int s = 0; s < group.num_subgroups; ++s)
                for (int o = 0; o < group.subgroups[s].num_options; ++o)
                    take(group.subgroups[s].options[o]);
        }
        ppdClose(ppd);
    }
#pragma GCC diagnostic pop
    unlink(file.c_str());
    return options;
}

// A page size named as IPP (na_letter_8.5x11in), as a PPD (Letter, w288h432) or in the
// legacy way (letter), among the queue's sizes.
bool findMedia(const Connection& connection, cups_dest_t* dest, cups_dinfo_t* info,
               const std::string& name, cups_size_t& size) {
    const pwg_media_t* media = pwgMediaForPWG(name.c_str());
    if (!media)
        media = pwgMediaForPPD(name.c_str());
    if (!media)
        media = pwgMediaForLegacy(name.c_str());
    if (!media)
        return false;
    if (cupsGetDestMediaByName(connection.get(), dest, info, media->pwg, CUPS_MEDIA_FLAGS_DEFAULT,
                               &size))
        return true;
    // A size the queue lists under another name, or a custom one within its range.
    return cupsGetDestMediaBySize(connection.get(), dest, info, media->width, media->length,
                                  CUPS_MEDIA_FLAGS_DEFAULT, &size) != 0;
}

// Each part of a media value ("letter,tray-1"); true when one of them is a size it has.
bool findMediaIn(const Connection& connection, cups_dest_t* dest, cups_dinfo_t* info,
                 const std::string& value, cups_size_t& size) {
    std::size_t from = 0;
    while (from <= value.size()) {
        const std::size_t comma = std::min(value.find(',', from), value.size());
        if (comma > from &&
            findMedia(connection, dest, info, value.substr(from, comma - from), size))
            return true;
        from = comma + 1;
    }
    return false;
}

bool isPaperKey(const std::string& key) {
    return key == "media" || key == "PageSize" || key == "PageRegion";
}

double points(int hundredthsOfMillimetre) {
    return hundredthsOfMillimetre * 72.0 / 2540.0;
}

} // namespace

SchedulerError schedulerError(const SchedulerLimits& limits) {
    const Connection connection(limits.lookup);
    if (!connection.get())
        return SchedulerError::Unreachable;
    ipp_t* response = cupsDoRequest(connection.get(), ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    if (response) {
        ippDelete(response);
        return SchedulerError::None;
    }
    if (connection.error() != SchedulerError::None)
        return connection.error();
    // "No default printer" is an answer too.
    return cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND ? SchedulerError::None
                                                         : SchedulerError::Unreachable;
}

QueueState queueState(const std::string& queue, const SchedulerLimits& limits) {
    if (queue.empty())
        return QueueState::Missing;
    const Connection connection(limits.lookup);
    const Dest dest = namedDest(connection, queue);
    if (!dest) {
        switch (lookupError(connection)) {
        case SchedulerError::Unreachable:
            return QueueState::Unreachable;
        case SchedulerError::NoAnswer:
            return QueueState::NoAnswer;
        case SchedulerError::None:
            break;
        }
        return QueueState::Missing;
    }
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    if (accepting && std::strcmp(accepting, "false") == 0)
        return QueueState::Refusing;
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    return state && std::strcmp(state, "5") == 0 ? QueueState::Stopped : QueueState::Accepting;
}

DefaultQueue defaultQueue(const SchedulerLimits& limits) {
    const Connection connection(limits.lookup);
    DefaultQueue found;
    const Dest dest = namedDest(connection, {});
    if (dest && dest->name)
        found.name = dest->name;
    else
        found.error = lookupError(connection);
    return found;
}

std::string lastJobRefusal() {
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    const char* reason = cupsLastErrorString();
    return reason && *reason ? reason : ippErrorString(cupsLastError());
}

SubmittedJob submitFile(const std::string& queue, const std::string& file, const std::string& title,
                        const JobOptions& options, const SchedulerLimits& limits) {
    SubmittedJob job;
    const Connection connection(limits.job);
    const Dest dest = namedDest(connection, queue);
    if (!dest) {
        job.scheduler = lookupError(connection);
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
    job.id = cupsPrintFile2(connection.get(), dest->name, file.c_str(), title.c_str(), count, all);
    cupsFreeOptions(count, all);
    job.scheduler = connection.error();
    // A job the scheduler took but never confirmed is not reported as printed.
    if (job.scheduler != SchedulerError::None)
        job.id = 0;
    if (job.id == 0)
        job.error = lastJobRefusal();
    if (job.id == 0 && job.error.empty())
        job.error = "the job was not taken";
    return job;
}

OptionCheck checkJobOptions(const std::string& queue, const JobOptions& options,
                            const SchedulerLimits& limits) {
    OptionCheck check;
    if (options.empty())
        return check;
    const Connection connection(limits.lookup);
    const DriverOptions driver = driverOptions(connection, queue);
    std::set<std::string> jobKeys(std::begin(FILTER_OPTIONS), std::end(FILTER_OPTIONS));
    const Dest dest = namedDest(connection, queue);
    const DestInfo info(dest ? cupsCopyDestInfo(connection.get(), dest.get()) : nullptr);
    if (info) {
        ipp_attribute_t* supported = cupsFindDestSupported(connection.get(), dest.get(), info.get(),
                                                           "job-creation-attributes");
        for (int i = 0; i < ippGetCount(supported); ++i)
            if (const char* key = ippGetString(supported, i, nullptr))
                jobKeys.insert(key);
    }
    for (const auto& [key, value] : options) {
        const auto own = driver.find(key);
        if (own == driver.end() && jobKeys.count(key) == 0) {
            if (std::find(check.unknownKeys.begin(), check.unknownKeys.end(), key) ==
                check.unknownKeys.end())
                check.unknownKeys.push_back(key);
            continue;
        }
        bool supported = true;
        cups_size_t size{};
        if (own != driver.end())
            supported = own->second.empty() || own->second.count(value) != 0 ||
                        value.rfind("Custom.", 0) == 0;
        else if (info && key == "media")
            supported = findMediaIn(connection, dest.get(), info.get(), value, size);
        else if (info &&
                 cupsFindDestSupported(connection.get(), dest.get(), info.get(), key.c_str()))
            supported = cupsCheckDestSupported(connection.get(), dest.get(), info.get(),
                                               key.c_str(), value.c_str()) != 0;
        if (!supported)
            check.unsupported.push_back(key + "=" + value);
    }
    check.scheduler = connection.error();
    return check;
}

QueuePaper queuePaper(const std::string& queue, const JobOptions& options,
                      const SchedulerLimits& limits) {
    QueuePaper paper;
    const Connection connection(limits.lookup);
    const Dest dest = namedDest(connection, queue);
    const DestInfo info(dest ? cupsCopyDestInfo(connection.get(), dest.get()) : nullptr);
    if (!info) {
        paper.scheduler = lookupError(connection);
        return paper;
    }
    // The last paper asked for wins, as with lp; then the queue's own saved one.
    std::string asked;
    for (const auto& [key, value] : options)
        if (isPaperKey(key))
            asked = value;
    for (const char* key : {"PageRegion", "PageSize", "media"})
        if (const char* own = cupsGetOption(key, dest->num_options, dest->options);
            asked.empty() && own)
            asked = own;
    // The library's own default is Letter when the queue's saved options name no paper.
    if (ipp_attribute_t* media =
            asked.empty() ? cupsFindDestDefault(connection.get(), dest.get(), info.get(), "media")
                          : nullptr)
        if (const char* name = ippGetString(media, 0, nullptr))
            asked = name;
    cups_size_t size{};
    paper.found = asked.empty() ? cupsGetDestMediaDefault(connection.get(), dest.get(), info.get(),
                                                          CUPS_MEDIA_FLAGS_DEFAULT, &size) != 0
                                : findMediaIn(connection, dest.get(), info.get(), asked, size);
    if (ipp_attribute_t* resolution =
            cupsFindDestDefault(connection.get(), dest.get(), info.get(), "printer-resolution")) {
        ipp_res_t units = IPP_RES_PER_INCH;
        int yResolution = 0;
        const int x = ippGetResolution(resolution, 0, &yResolution, &units);
        paper.resolution = units == IPP_RES_PER_INCH ? x : static_cast<int>(x * 2.54 + 0.5);
    }
    paper.scheduler = connection.error();
    if (!paper.found)
        return paper;
    paper.media = size.media;
    paper.width = points(size.width);
    paper.height = points(size.length);
    paper.left = points(size.left);
    paper.top = points(size.top);
    paper.right = points(size.right);
    paper.bottom = points(size.bottom);
    return paper;
}

} // namespace pelkorl
