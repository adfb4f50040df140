#pragma once
// The field rectangles of a fillable PDF form, read with qpdf: what the 11/23 card's layout
// is taken from. The file is only read.
#include "card/formlayout.h"

#include <filesystem>
#include <vector>

namespace pelkorl {

struct FormFields {
    // None, Unreadable, NotPdf, Protected or NotFillable.
    FormLayoutError error = FormLayoutError::None;
    std::vector<FormFieldRect> fields; // every widget of every field, page by page
};

FormFields readFormFields(const std::filesystem::path& file);

// readFormFields, then layoutFromFormFields into `layout`: on any error the layout is left as
// it was and the result says why.
FormLayoutResult layoutFromForm(const std::filesystem::path& file, CardLayout& layout);

} // namespace pelkorl
