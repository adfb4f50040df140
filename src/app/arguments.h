#pragma once
// pelkorl's command line, read before the toolkit opens a display: --help and --version are
// answered and a wrong command line refused without one. The toolkit's own options
// (-style NAME, -platform NAME, -reverse ...) are passed over; QApplication takes them.
#include <optional>
#include <string>
#include <vector>

namespace pelkorl {

enum class AppAction { Run, Help, Version, Usage };

struct AppArguments {
    AppAction action = AppAction::Run;
    std::optional<std::string> folder; // the data folder as given, bytes
    std::string error;                 // what is wrong, with AppAction::Usage
};

// The arguments after the program's name.
AppArguments parseAppArguments(const std::vector<std::string>& arguments);

std::string appUsage();
std::string appVersion();

} // namespace pelkorl
