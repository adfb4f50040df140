#pragma once
// Why a fillable form was refused, the same for the fill and for the layout taken from it,
// and the limits that keep any form's reading and filling short.
#include <cstddef>
#include <string>

namespace pelkorl {

enum class FormProblem {
    None,
    Unreadable,  // the file cannot be read
    NotPdf,      // no PDF header
    Damaged,     // qpdf cannot read it: `detail` holds its first complaint
    Protected,   // it opens only with a user password
    FieldLoop,   // `field` is its own ancestor in the field tree
    PastLimit,   // `limit` says which
    NoPage,      // a form without a page
    NotS21Form,  // `field` and `fault` say what is wrong
    NoFont,      // no font holds every letter: `detail` lists the files tried
    CannotWrite, // the filled file could not be written
};

enum class FieldFault {
    Missing,   // no field of that name
    WrongKind, // not a text field or not a check box, as the card wants
    OnNoPage,  // none of its widgets is on a page
    NoBox,     // its widgets' rectangles are not finite or lie beyond any paper
};

enum class FormLimit { FileSize, Depth, Fields, Widgets, Pages };

inline constexpr std::size_t FORM_MAX_BYTES = 64u << 20;
// Beyond what the branch's forms (74 fields on one page) need, and close enough to it that
// filling any form within them costs about what filling the real one does.
inline constexpr std::size_t FORM_MAX_DEPTH = 32;
inline constexpr std::size_t FORM_MAX_FIELDS = 400;
inline constexpr std::size_t FORM_MAX_WIDGETS = 100; // annotations on one page
inline constexpr std::size_t FORM_MAX_PAGES = 8;

struct FormRefusal {
    FormProblem problem = FormProblem::None;
    std::string field;
    FieldFault fault = FieldFault::Missing;
    FormLimit limit = FormLimit::FileSize;
    std::string detail;
    bool ok() const { return problem == FormProblem::None; }
};

// The limit's value: bytes for the file size, else a count.
std::size_t formLimitValue(FormLimit limit);

// The reason as the desktop program shows it, without the file's name (UTF-8).
std::string formRefusalText(const FormRefusal& refusal);

} // namespace pelkorl
