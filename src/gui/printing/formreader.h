#pragma once
// The one reader of a fillable form, for the fill and for the card's layout taken from it,
// so both give the same verdict on the same file: the widgets of the fields the card fills,
// their rectangles and defaults, and why a form is refused. The field trees are walked
// within limits (card/formrefusal.h), so no form makes either of them slow. Only reads;
// no Qt, so the fuzz build has it too.
#include "card/formfieldrect.h"
#include "card/formrefusal.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

class QPDF;

namespace pelkorl {

struct FormRead {
    FormRefusal refusal;
    std::size_t pages = 0;
    // Per page, per entry of its /Annots: the card's name of the field it is a widget of
    // ("" for any other annotation).
    std::vector<std::vector<std::string>> cardNames;
    // Every widget with a usable rectangle, page by page: named as the card names it, else
    // by its full name; counted from the paper's bottom-left corner.
    std::vector<FormFieldRect> fields;
};

// The form's file whole, refused when it cannot be read, is past the size limit or has no
// PDF header in its first kilobyte.
FormRefusal readFormFile(const std::filesystem::path& file, std::string& bytes);

// Opens the bytes (`name` stands for them in qpdf's complaints) and reads the form; never
// throws. An owner password alone does not keep a form from being read.
FormRead readForm(const std::string& bytes, const std::string& name);

// Reads an opened document; throws what qpdf throws.
FormRead readOpenedForm(QPDF& pdf);

// The first thing qpdf found wrong in the document, beyond that it is damaged; `failure`
// (what made it give up) when it found nothing earlier.
std::string pdfComplaint(QPDF& pdf, const std::string& failure);

// qpdf set to keep its warnings to itself: none reaches standard error.
void quietPdf(QPDF& pdf);

// Font size and colour operator of a field's default appearance ("/Helv 0 Tf 0 g"); a size
// or colour that is not a finite number within its range counts as absent.
struct DefaultAppearance {
    double size = 0; // 0: fit the box
    std::string colour = "0 g";
};

DefaultAppearance parseDefaultAppearance(const std::string& da);

// Within any paper a PDF may have, finite, and not empty.
bool usableRect(double llx, double lly, double urx, double ury);

} // namespace pelkorl
