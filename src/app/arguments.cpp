#include "app/arguments.h"

#include "pelkorlversion.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace pelkorl {

namespace {

// The options QApplication takes out of the command line itself, with one dash or two.
constexpr std::array<std::string_view, 15> TOOLKIT_OPTIONS_WITH_VALUE = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowtitle",       "qwindowicon",   "session",
    "display",         "geometry",           "title",         "name",
    "style",           "stylesheet",         "qmljsdebugger"};
constexpr std::array<std::string_view, 5> TOOLKIT_FLAGS = {"reverse", "widgetcount", "testability",
                                                           "nograb", "dograb"};

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string inQuotes(std::string_view text) {
    return "'" + std::string(text) + "'";
}

AppArguments usage(std::string error) {
    AppArguments refused;
    refused.action = AppAction::Usage;
    refused.error = std::move(error);
    return refused;
}

} // namespace

AppArguments parseAppArguments(const std::vector<std::string>& arguments) {
    AppArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (parsed.folder)
                return usage("more than one data folder given: " + inQuotes(*parsed.folder) +
                             " and " + inQuotes(arg));
            parsed.folder = std::string(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            parsed.action = AppAction::Help;
            return parsed;
        } else if (arg == "--version") {
            parsed.action = AppAction::Version;
            return parsed;
        } else {
            std::string_view name = arg.substr(arg[1] == '-' ? 2 : 1);
            const std::size_t equals = name.find('=');
            const bool valueJoined = equals != std::string_view::npos;
            name = name.substr(0, equals);
            if (listed(TOOLKIT_OPTIONS_WITH_VALUE, name)) {
                if (!valueJoined && ++i >= arguments.size())
                    return usage(std::string(arg) + " needs a value");
            } else if (!listed(TOOLKIT_FLAGS, name) || valueJoined) {
                return usage("unknown option " + inQuotes(arg));
            }
        }
    }
    return parsed;
}

std::string appUsage() {
    return "Usage: pelkorl [OPTIONS] [DATA_FOLDER]\n"
           "\n"
           "Shows the publishers of a congregation's record files and prints their record\n"
           "cards (S-21). DATA_FOLDER holds the record-keeping program's files (tdat7.bin,\n"
           "xten7.dat, remark7.dat, the previous year in Roll/Rv7_8/), which are only read;\n"
           "it becomes the working folder, where the layout files (cplot.dat, cplot1.dat,\n"
           "cplot2.dat) are written. Without it, the folder started in is used when it holds\n"
           "a publisher file, else the data folder chosen before; the first time, the\n"
           "program asks for it.\n"
           "\n"
           "  -h, --help     show this text\n"
           "      --version  show the program's name and version\n"
           "\n"
           "The Qt toolkit's options (-style NAME, -platform NAME, -reverse ...) are taken\n"
           "too. A wrong command line exits with status 2. See pelkorl(1).\n";
}

std::string appVersion() {
    return std::string("pelkorl ") + PELKORL_VERSION + "\n";
}

} // namespace pelkorl
