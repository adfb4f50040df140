#include "render/pagegeometry.h"

#include "card/cardlayout.h"
#include "card/cardstate.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace pelkorl {

bool countsFromPaperCorner(ColumnSet set) {
    return set == ColumnSet::Ministry;
}

FieldAlign headerAlign(const CardState& state, int item) {
    return state.columnSet == ColumnSet::Ministry ? state.layout.headerAlignOf(item)
                                                  : FieldAlign::Left;
}

void computeMargins(CardState& state, int dpiX, int dpiY) {
    if (countsFromPaperCorner(state.columnSet)) {
        state.leftMarginDev = -state.deviceOriginX;
        state.topMarginDev = -state.deviceOriginY;
        return;
    }
    state.leftMarginDev =
        inchesToDevice(static_cast<unsigned>(std::max(dpiX, 0)), state.marginLeft);
    state.topMarginDev = inchesToDevice(static_cast<unsigned>(std::max(dpiY, 0)), state.marginTop);
}

int mulDiv(int number, int numerator, int denominator) {
    if (denominator == 0)
        return -1;
    const long long product = static_cast<long long>(number) * numerator;
    long long quotient = product / denominator;
    const long long remainder = product % denominator;
    if (2 * std::llabs(remainder) >= std::llabs(static_cast<long long>(denominator)))
        quotient += (product < 0) != (denominator < 0) ? -1 : 1;
    if (quotient > INT_MAX || quotient < INT_MIN)
        return -1;
    return static_cast<int>(quotient);
}

} // namespace pelkorl
