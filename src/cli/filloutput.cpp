// The cards as filled copies of the user's fillable S-21 11/23 form: all in one file, or one
// file per publisher in a folder.
#include "card/cardbatch.h"
#include "card/cardfilename.h"
#include "card/formvalues.h"
#include "cli/printtool.h"
#include "printing/fillform.h"
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

int failed(const FillResult& result, const fs::path& form, const fs::path& target) {
    if (result.problem == FormProblem::CannotWrite)
        return fail(EXIT_FAILED,
                    "the file " + shown(target) + " could not be written" + writeProblem(target));
    return fail(EXIT_FAILED, formProblem(result, form));
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
        return failed(opened, options.fillForm, {});

    if (options.outputDir.empty()) {
        std::vector<std::vector<FormValue>> all;
        for (const CardPage& page : pages) {
            for (auto& filled : formPages(tool.state, page, options.bothYears))
                all.push_back(std::move(filled));
        }
        const FillResult written = filler.write(all, options.flatten, options.output);
        if (!written.ok())
            return failed(written, options.fillForm, options.output);
        std::cout << pageCount(all.size()) << " written to " << shown(options.output) << "\n";
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
