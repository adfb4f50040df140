#pragma once
// The fillable-form writer: the user's copy of the branch's S-21 11/23 PDF, filled field by
// field, written to a new file whole. The one place that knows the PDF library.
//
// Every text field gets its value and an appearance of its own, drawn with an embedded
// TrueType font that holds the Lithuanian letters (with a map back to Unicode, so the text
// can be searched and copied), so a viewer that does not draw fields itself shows them too.
// Check boxes take the form's own "on" appearance. The filled file stays a form: every field
// is listed where programs reading forms look (most editions list none), with its actions.
#include "card/formrefusal.h"
#include "card/formvalues.h"
#include "printing/formfont.h"
#include "settings/atomicfile.h"

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace pelkorl {

// `problem` None: done; CannotWrite: `write` says why.
struct FillResult : FormRefusal {
    WriteResult write = WriteResult::Written;
    std::error_code reason; // what the system said of a failed write, when it said anything
    std::size_t pages = 0;  // written
    std::vector<SkippedFont> skipped; // fonts passed over for the one the texts are drawn with
};

class FormFiller {
public:
    // `fonts`: the files tried, in order, for the texts' font.
    explicit FormFiller(std::vector<std::filesystem::path> fonts = formFontCandidates());
    ~FormFiller();
    FormFiller(const FormFiller&) = delete;
    FormFiller& operator=(const FormFiller&) = delete;

    // Reads the form and checks that it holds every field the card fills, each on a page,
    // and that a font has the Lithuanian letters.
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
    std::vector<std::filesystem::path> fonts_;
    std::unique_ptr<Form> form_;
};

} // namespace pelkorl
