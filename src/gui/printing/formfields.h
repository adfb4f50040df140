#pragma once
// The field rectangles of a fillable PDF form, as the form reader gives them: what the
// 11/23 card's layout is taken from. The file is only read.
#include "card/formlayout.h"
#include "printing/formreader.h"

#include <filesystem>

namespace pelkorl {

// The form's widgets; `refusal` says why there are none when the form was refused.
FormRead readFormFields(const std::filesystem::path& file);

// readFormFields, then layoutFromFormFields into `layout`: on any error the layout is left as
// it was and the result says why.
FormLayoutResult layoutFromForm(const std::filesystem::path& file, CardLayout& layout);

} // namespace pelkorl
