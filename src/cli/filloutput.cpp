// The cards as filled copies of the user's fillable S-21 11/23 form: all in one file, or one
// file per publisher in a folder.
#include "card/cardbatch.h"
#include "card/cardfilename.h"
#include "card/formvalues.h"
#include "cli/printtool.h"
#include "printing/fillform.h"
#include "text/codepage.h"

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

int failed(const FillResult& result, const fs::path& form, const fs::path& target) {
    if (result.problem == FormProblem::CannotWrite)
        return fail(EXIT_FAILED,
                    "the file " + shown(target) + " could not be written" + writeProblem(target));
    return fail(EXIT_FAILED, formRefusalMessage(result, form));
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
        return failed(opened, options.fillForm, {});

    if (options.outputDir.empty()) {
        std::vector<std::vector<FormValue>> all;
        for (const CardPage& page : pages) {
            for (auto& filled : formPages(tool.state, page, options.bothYears))
                all.push_back(std::move(filled));
        }
        const FillResult written = filler.write(all, options.flatten, options.output);
        warnSkipped(written);
        if (!written.ok())
            return failed(written, options.fillForm, options.output);
        std::cout << pageCount(written.pages) << " written to " << shown(options.output) << "\n";
        return EXIT_PRINTED;
    }

    CardFileNames names;
    const std::string years = formYears(tool.state, options.bothYears);
    std::size_t done = 0;
    for (const CardPage& page : pages) {
        const CardState card = pageStateFor(tool.state, page);
        const fs::path target =
            options.outputDir / fs::u8path(names.next(cp1257ToUtf8(card.displayName), years));
        const FillResult written =
            filler.write(formPages(tool.state, page, options.bothYears), options.flatten, target);
        warnSkipped(written);
        if (!written.ok()) {
            if (done != 0)
                std::cerr << "pelkorl-print: " << done << " of " << pages.size()
                          << " forms were written before this one\n";
            return failed(written, options.fillForm, target);
        }
        ++done;
    }
    std::cout << done << (done == 1 ? " form" : " forms") << " written to "
              << shown(options.outputDir) << "\n";
    return EXIT_PRINTED;
}

} // namespace pelkorl
