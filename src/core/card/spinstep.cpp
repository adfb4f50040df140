#include "card/spinstep.h"

#include "card/cardlayout.h"

namespace pelkorl {

std::string stepSpinValue(std::string_view text, int direction, int lower, int upper) {
    int value = inchesToHundredths(text);
    if (direction < 0 && value > lower) {
        --value;
    } else if (direction > 0 && value < upper) {
        ++value;
    }
    if (value < 0) {
        value = 0;
    }
    std::string digits = std::to_string(value);
    if (digits.size() < 3) {
        digits.insert(0, 3 - digits.size(), '0');
    }
    return digits.substr(0, 1) + "." + digits.substr(1, 2);
}

} // namespace pelkorl
