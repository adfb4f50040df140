#pragma once
// The program's command-line arguments, without its own name, as UTF-8. On Windows they are
// taken from the wide command line: argv holds them in the ANSI code page, which has no
// room for a Lithuanian name on most systems.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelkorl {

std::vector<std::string> commandLineArguments(int argc, char** argv);

// A path from one of those arguments: a plain std::string would be read in the ANSI code
// page on Windows.
std::filesystem::path pathFromUtf8(std::string_view utf8);

} // namespace pelkorl
