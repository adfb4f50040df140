#pragma once
// Page geometry shared by the card renderers and the form: margins in device units, how a
// header datum is aligned, and the rounding multiply-divide that font heights and dialog
// units use.
#include "card/cardlayout.h"

namespace pelkorl {

struct CardState;

// Sets leftMarginDev from marginLeft at dpiX and topMarginDev from marginTop at dpiY.
// A resolution below zero counts as zero. The 11/23 card, laid out on the branch's A4
// form, counts from the paper's corner instead: its "margins" take the device's origin
// back there, whatever the settings' margins, so it lands in the form's boxes on any
// printer.
void computeMargins(CardState& state, int dpiX, int dpiY);

// Whether a column set's positions count from the paper's corner rather than from the
// printable area's corner and the settings' margins.
bool countsFromPaperCorner(ColumnSet set);

// How a header item's datum stands at its x: as the form's field aligns it on the 11/23
// card, from the start on the older cards.
FieldAlign headerAlign(const CardState& state, int item);

// number * numerator / denominator through 64 bits, rounded half away from zero;
// -1 when the denominator is 0 or the result does not fit an int.
int mulDiv(int number, int numerator, int denominator);

} // namespace pelkorl
