#include "text/commandline.h"
#include "text/wide.h"

#include <windows.h>

#include <shellapi.h>

namespace pelkorl {

std::vector<std::string> commandLineArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i)
        arguments.push_back(utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(wideFromUtf8(utf8));
}

} // namespace pelkorl
