#pragma once
// One step of the options dialog's table spinners, done on the text they show.
#include <string>
#include <string_view>

namespace pelkorl {

// Reads `text` as hundredths of an inch (the points removed), moves it by exactly one
// hundredth towards `direction` (> 0 up, < 0 down) unless that would pass `upper` going up
// or `lower` going down, and gives it back as D.DD. A value already outside the bounds only
// moves back towards them. Values under 1.00 keep their leading 0 ("0.81"); a negative value
// reads as 0.00; one with more than three digits keeps its first three, as the printing
// reads it ("1.2345" gives 1.23).
std::string stepSpinValue(std::string_view text, int direction, int lower, int upper);

} // namespace pelkorl
