#pragma once
// The face the cards are drawn with is Arial. Where the system has none, Liberation Sans,
// which has Arial's widths, stands in: on Linux fontconfig's, on Windows the files shipped
// in the fonts folder beside the program (Wine's own stand-in for Arial is a serif face of
// other widths, which would move every text of a card).
#include <filesystem>

namespace pelkorl {

inline constexpr const char* SHIPPED_REGULAR_FONT = "LiberationSans-Regular.ttf";

// Registers the shipped fonts with Qt where the system lacks Arial, once; needs the
// application object. Nothing to do on Linux.
void useShippedFonts();

// The folder of the shipped fonts; empty where none are shipped.
std::filesystem::path shippedFontFolder();

// Windows' own Arial file; empty where there is none (and off Windows).
std::filesystem::path systemArialFile();

} // namespace pelkorl
