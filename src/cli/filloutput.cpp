// The cards as filled copies of the user's fillable S-21 11/23 form: all in one file, or one
// file per publisher in a folder.
#include "card/cardbatch.h"
#include "card/cardfilename.h"
#include "card/formvalues.h"
#include "cli/printtool.h"
#include "printing/fillform.h"
#include "settings/atomicfile.h"
#include "text/codepage.h"
#include "text/commandline.h"

#include <cstdio>
#include <iostream>
#include <set>

namespace fs = std::filesystem;

namespace pelkorl {

namespace {

std::string hexCode(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", unsigned(c));
    return text;
}

// The fonts passed over, each named once however many files are filled.
void warnSkipped(const FillResult& result) {
    static std::set<fs::path> told;
    for (const SkippedFont& skipped : result.skipped) {
        if (!told.insert(skipped.file).second)
            continue;
        if (skipped.lacks == 0)
            warn("the font " + shown(skipped.file) + " is damaged or no TrueType font: skipped");
        else
            warn("the font " + shown(skipped.file) + " lacks the character U+" +
                 hexCode(skipped.lacks) + ": skipped");
    }
}

int failed(const FillResult& result, const fs::path& form) {
    return fail(EXIT_FAILED, formRefusalMessage(result, form));
}

// The filled pages written whole to `target`, with the system's reason when they cannot be;
// `written` counts the pages.
Stop writeFilled(const FormFiller& filler, const std::vector<std::vector<FormValue>>& pages,
                 bool flatten, const PrintToolOptions& options, const fs::path& target,
                 std::size_t& written) {
    const FillResult result = filler.write(pages, flatten, target);
    warnSkipped(result);
    if (result.problem == FormProblem::CannotWrite)
        return fail(EXIT_FAILED, "the file " + shown(target) + " could not be written" +
                                     writeProblem(target, result.reason));
    if (!result.ok())
        return failed(result, options.fillForm);
    written += result.pages;
    return {};
}

// The file of each page in the output folder, none of them a file the run reads.
Stop folderTargets(const PrintToolOptions& options, const ToolData& tool,
                   const std::vector<CardPage>& pages, std::vector<fs::path>& targets) {
    CardFileNames names;
    const std::string years = formYears(tool.state, options.bothYears);
    for (const CardPage& page : pages) {
        const CardState card = pageStateFor(tool.state, page);
        targets.push_back(options.outputDir /
                          pathFromUtf8(names.next(cp1257ToUtf8(card.displayName), years)));
        if (const Stop stop = checkNotAnInput(targets.back(), options, tool))
            return stop;
    }
    return {};
}

std::string pageCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " page" : " pages");
}

} // namespace

int writeFilledForms(const PrintToolOptions& options, const ToolData& tool,
                     const std::vector<CardPage>& pages) {
    FormFiller filler;
    const FillResult opened = filler.open(options.fillForm);
    warnSkipped(opened);
    if (!opened.ok())
        return failed(opened, options.fillForm);

    if (options.outputDir.empty()) {
        if (const Stop stop = checkNotAnInput(options.output, options, tool))
            return *stop;
        std::vector<std::vector<FormValue>> all;
        for (const CardPage& page : pages) {
            for (auto& filled : formPages(tool.state, page, options.bothYears))
                all.push_back(std::move(filled));
        }
        std::size_t written = 0;
        if (const Stop stop =
                writeFilled(filler, all, options.flatten, options, options.output, written))
            return *stop;
        std::cout << pageCount(written) << " written to " << shown(options.output) << "\n";
        return EXIT_PRINTED;
    }

    std::vector<fs::path> targets;
    if (const Stop stop = folderTargets(options, tool, pages, targets))
        return *stop;
    std::error_code error;
    if (!fs::is_directory(options.outputDir, error) &&
        !fs::create_directory(options.outputDir, error))
        return fail(EXIT_FAILED, "the output folder " + shown(options.outputDir) +
                                     " could not be made" + systemReason(error));
    std::size_t done = 0;
    std::size_t written = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Stop stop = writeFilled(filler, formPages(tool.state, pages[i], options.bothYears),
                                      options.flatten, options, targets[i], written);
        if (stop) {
            if (done != 0)
                std::cerr << "pelkorl-print: " << done << " of " << pages.size()
                          << " forms were written before this one\n";
            return *stop;
        }
        ++done;
    }
    std::cout << done << (done == 1 ? " form" : " forms") << " written to "
              << shown(options.outputDir) << "\n";
    return EXIT_PRINTED;
}

} // namespace pelkorl
