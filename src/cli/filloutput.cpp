// The cards as filled copies of the user's fillable S-21 11/23 form: all in one file, or one
// file per publisher in a folder.
#include "card/cardbatch.h"
#include "card/cardfilename.h"
#include "card/formvalues.h"
#include "cli/printtool.h"
#include "printing/fillform.h"
#include "settings/atomicfile.h"
#include "text/codepage.h"

#include <iostream>

namespace fs = std::filesystem;

namespace pelkorl {

namespace {

std::string formProblem(const FillResult& result, const fs::path& form) {
    switch (result.problem) {
    case FormProblem::Unreadable:
        return "the form " + shown(form) + " cannot be read";
    case FormProblem::NotPdf:
        return "the form " + shown(form) + " is not a PDF file, or is too damaged to read";
    case FormProblem::Protected:
        return "the form " + shown(form) +
               " is protected (encrypted) and cannot be filled; use an unprotected copy";
    case FormProblem::NotFillable:
        return "the form " + shown(form) + " has no form fields: it is not a fillable PDF";
    case FormProblem::MissingField:
        return "the form " + shown(form) + " has no field '" + result.field +
               "': it is not the fillable S-21 11/23 form";
    case FormProblem::WrongField:
        return "the field '" + result.field + "' of the form " + shown(form) +
               " is not of the kind the S-21 11/23 form has there";
    case FormProblem::NoFont:
        return "no font with the Lithuanian letters was found (Liberation Sans or DejaVu Sans)";
    case FormProblem::CannotWrite:
    case FormProblem::None:
        break;
    }
    return {};
}

int failed(const FillResult& result, const fs::path& form) {
    return fail(EXIT_FAILED, formProblem(result, form));
}

// The filled pages written whole to `target`, with the system's reason when they cannot be.
Stop writeFilled(const FormFiller& filler, const std::vector<std::vector<FormValue>>& pages,
                 bool flatten, const PrintToolOptions& options, const fs::path& target) {
    FillResult result;
    const std::string bytes = filler.fill(pages, flatten, result);
    if (!result.ok())
        return failed(result, options.fillForm);
    std::error_code reason;
    if (writeFileAtomically(target, bytes, &reason) != WriteResult::Written)
        return fail(EXIT_FAILED, "the file " + shown(target) + " could not be written" +
                                     writeProblem(target, reason));
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
                          fs::u8path(names.next(cp1257ToUtf8(card.displayName), years)));
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
        if (const Stop stop = writeFilled(filler, all, options.flatten, options, options.output))
            return *stop;
        std::cout << pageCount(all.size()) << " written to " << shown(options.output) << "\n";
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
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Stop stop = writeFilled(filler, formPages(tool.state, pages[i], options.bothYears),
                                      options.flatten, options, targets[i]);
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
