#pragma once
// The file a filled card is written to: the publisher's printed name and the service year,
// "Šimkūnienė Gražina 2027.pdf", made safe for every file system: no slash or other character
// a file system refuses, no control character, no leading or trailing dot or blank, at most
// MAX_FILE_NAME_BYTES bytes of UTF-8 without cutting a character.
#include <set>
#include <string>
#include <string_view>

namespace pelkorl {

inline constexpr std::size_t MAX_FILE_NAME_BYTES = 120;

// The file name of one card for the service year `years` ("2027", or "2026-2027"); `copy` 2
// or more adds " (2)" before the extension.
std::string cardFileName(std::string_view printedName, std::string_view years, int copy = 1);

// File names for the cards of one folder: a card whose name another card of the batch took
// already gets " (2)", " (3)" and so on. Names are compared with letter case ignored, as the
// file systems of Windows and macOS compare them.
class CardFileNames {
public:
    std::string next(std::string_view printedName, std::string_view years);

private:
    std::set<std::string> taken_; // folded names
};

} // namespace pelkorl
