#pragma once
// Blanks off both ends of a text.
#include <string>
#include <string_view>

namespace pelkorl {

// Blanks as the C library's isspace sees them in the "C" locale.
inline constexpr std::string_view BLANKS = " \t\n\v\f\r";

// `text` without the characters of `blanks` at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks = BLANKS);

// trimmed(text) in place.
void trimBlanks(std::string& text);

} // namespace pelkorl
