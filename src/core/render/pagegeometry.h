#pragma once
// Page geometry shared by the two card renderers: margins in device units and the
// rounding multiply-divide that font heights and dialog units use.
namespace pelkorl {

struct CardState;

// Sets leftMarginDev from marginLeft at dpiX and topMarginDev from marginTop at dpiY.
// A resolution below zero counts as zero.
void computeMargins(CardState& state, int dpiX, int dpiY);

// number * numerator / denominator through 64 bits, rounded half away from zero;
// -1 when the denominator is 0 or the result does not fit an int.
int mulDiv(int number, int numerator, int denominator);

} // namespace pelkorl
