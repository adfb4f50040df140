#pragma once
// The program's string table: every UI text and every layout default, by numeric id.
#include <string>
#include <string_view>

namespace pelkorl {

// The text of string `id` (UTF-8), or "" when the table holds no such id.
// With `insertId` nonzero, the text of that id replaces "%1" in the first.
std::string loadText(int id, int insertId = 0);

// `text` with every "%1" replaced by `insert`.
std::string insertText(std::string_view text, std::string_view insert);

} // namespace pelkorl
