#pragma once
// The 11/23 card's layout taken from the branch's fillable S-21 form: every position of
// version 2 from the rectangles of the form's fields, so that the printed data land in the
// boxes of that form printed at actual size. Each text stands as its field aligns it (2 pt
// in from the left or right, or centred: the layout keeps the alignment), its cell centred in
// the field's height; each "x" is centred in its box; the hours total stands in its field.
// Positions count from the paper's top-left corner.
#include "card/cardlayout.h"
#include "card/formfieldrect.h"
#include "card/formrefusal.h"

#include <span>
#include <string>

namespace pelkorl {

enum class FormLayoutError {
    None,
    Refused, // the form itself was refused: `form` says why
    // Found in the fields.
    MissingField,   // `field` is not in the form
    OutOfRange,     // `field` lies where a layout value (0.00 to 9.99 in) cannot reach
    TotalMisplaced, // the total field is not under the hours, one row below August
};

struct FormLayoutResult {
    FormLayoutError error = FormLayoutError::None;
    std::string field; // the field the error names
    FormRefusal form;  // Refused: why
};

// Sets the header items, table top and height, the seven columns of the 11/23 card and their
// alignments from the form's fields. On an error the layout is left as it was.
FormLayoutResult layoutFromFormFields(std::span<const FormFieldRect> fields, CardLayout& layout);

// The message that names the file and what is wrong with it (UTF-8, lines split by '\n');
// `file` as it is to be shown.
std::string formLayoutMessage(const FormLayoutResult& result, const std::string& file);

} // namespace pelkorl
