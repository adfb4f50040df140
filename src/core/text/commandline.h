#pragma once
// The program's command-line arguments, without its own name, as UTF-8. On Windows they are
// taken from the wide command line: argv holds them in the ANSI code page, which has no
// room for a Lithuanian name on most systems.
#include <string>
#include <vector>

namespace pelkorl {

std::vector<std::string> commandLineArguments(int argc, char** argv);

} // namespace pelkorl
