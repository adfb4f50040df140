#pragma once
// The fillable-form writer: the user's copy of the branch's S-21 11/23 PDF, filled field by
// field, written to a new file whole. The one place that knows the PDF library.
//
// Every text field gets its value and an appearance of its own, drawn with an embedded
// TrueType font that holds the Lithuanian letters (with a map back to Unicode, so the text
// can be searched and copied), so a viewer that does not draw fields itself shows them too.
// Check boxes take the form's own "on" appearance. The filled file stays a form: every field
// is listed where programs reading forms look (most editions list none), with its actions.
#include "card/formvalues.h"
#include "settings/atomicfile.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pelkorl {

enum class FormProblem {
    None,
    Unreadable,   // the form file cannot be read
    NotPdf,       // not a PDF file, or one too damaged to read
    Protected,    // encrypted: it would have to be opened with a password
    NotFillable,  // a PDF without form fields
    MissingField, // a field the card fills is not in the form (`field` names it)
    WrongField,   // a field of that name is not of the kind the card fills (`field`)
    NoFont,       // no font with the Lithuanian letters was found
    CannotWrite,  // the filled file could not be written (`write` says why)
};

struct FillResult {
    FormProblem problem = FormProblem::None;
    std::string field;
    WriteResult write = WriteResult::Written;
    bool ok() const { return problem == FormProblem::None; }
};

class FormFiller {
public:
    FormFiller();
    ~FormFiller();
    FormFiller(const FormFiller&) = delete;
    FormFiller& operator=(const FormFiller&) = delete;

    // Reads the form and checks that it holds every field the card fills.
    FillResult open(const std::filesystem::path& form);

    // A copy of the form's pages for each entry of `pages`, filled with its values, written
    // whole to `target` (through the atomic write: an existing file is replaced only when the
    // new one is complete). `flatten`: the fields become page content and the form goes.
    FillResult write(const std::vector<std::vector<FormValue>>& pages, bool flatten,
                     const std::filesystem::path& target) const;

    // The same file as bytes; empty on failure.
    std::string fill(const std::vector<std::vector<FormValue>>& pages, bool flatten,
                     FillResult& result) const;

private:
    struct Form;
    std::unique_ptr<Form> form_;
};

// The font filled texts are drawn with: Liberation Sans or DejaVu Sans, as fontconfig or the
// usual folders give it. Empty when there is none.
std::filesystem::path formFontFile();

} // namespace pelkorl
