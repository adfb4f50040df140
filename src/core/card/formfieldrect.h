#pragma once
// One widget of a fillable form's field, as the form reader gives it. C++17, so the PDF
// library's headers, which clang 14 cannot take in C++20, can be read beside it.
#include <string>

namespace pelkorl {

// Its rectangle in PDF points, origin at the bottom left of its page.
struct FormFieldRect {
    std::string name; // full field name, as the form's fields are named in every edition
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double pageHeight = 0;
    int quadding = 0; // the field's /Q: 0 left, 1 centred, 2 right
};

} // namespace pelkorl
