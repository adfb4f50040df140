#pragma once
// The folder the program works in when no data folder is given: started from a desktop menu
// it runs in the home folder, which holds no data, so the data folder is asked for once and
// kept in the settings file under a key of its own.
#include "settings/profile.h"
#include "settings/settingslocation.h"

#include <filesystem>
#include <functional>

namespace pelkorl {

// In the "Data Location" section, beside the data drive and the removable folder.
inline constexpr const char* DATA_FOLDER_KEY = "Data Folder";

struct StartFolder {
    std::filesystem::path folder;
    // Whether a folder just picked was kept in the settings file (Written when none was).
    ProfileWrite remembered = ProfileWrite::Written;
};

// `startedIn` when it holds a publisher file, or when the settings read the publisher file
// from drive A:; else the remembered data folder when it holds one; else what `ask` gives,
// which is remembered; `startedIn` when it gives nothing.
StartFolder chooseStartFolder(const std::filesystem::path& startedIn,
                              const SettingsLocation& settings,
                              const std::function<std::filesystem::path()>& ask);

} // namespace pelkorl
