#pragma once
// UTF-8 and the UTF-16 of Windows' wide-character functions (Windows only).
#include <string>
#include <string_view>

namespace pelkorl {

std::wstring wideFromUtf8(std::string_view utf8);
std::string utf8FromWide(std::wstring_view wide);

} // namespace pelkorl
