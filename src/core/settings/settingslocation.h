#pragma once
// Where the settings file is read and written.
//
// The settings file is profileFileName() of the executable. The rule:
// 1. If a new file can be created in the executable's folder (tried by creating a uniquely
//    named file there and removing it at once), the file beside the executable is read and
//    written, as on a personal install.
// 2. Otherwise (a system-wide install) the file of the same name in the user's settings
//    folder (the generic configuration folder + "/pelkorl") is written. It is also the one
//    read once it exists; until then the file beside the executable is read if it exists,
//    so settings placed there for every user still apply. The first write then stores all
//    settings in the user's file, without the other contents of the file beside the
//    executable.
// 3. Without a user settings folder (no home), both stay beside the executable.
// Nothing is created by choosing: the user's folder is made by prepareSettingsWrite().
#include <filesystem>

namespace pelkorl {

struct SettingsLocation {
    std::filesystem::path readFile;
    std::filesystem::path writeFile;
};

// The rule above with the folder test and the user's folder given.
SettingsLocation chooseSettingsLocation(const std::filesystem::path& executable,
                                        bool executableFolderWritable,
                                        const std::filesystem::path& userFolder);

// True when a new file can be created in `folder`; leaves nothing behind.
bool folderTakesNewFiles(const std::filesystem::path& folder);

// The user's settings folder, or an empty path when the system gives none.
std::filesystem::path userSettingsFolder();

// The rule above for this system and user.
SettingsLocation settingsLocation(const std::filesystem::path& executable);

// The file the rule above reads, found without creating anything in any folder: the folder
// test asks the system for write access instead (on Windows, where that says too little, a
// user's file that exists is taken as the sign of a system-wide install).
std::filesystem::path settingsReadFile(const std::filesystem::path& executable);

// Creates the folder of the file to be written when it is missing; false when it cannot.
bool prepareSettingsWrite(const SettingsLocation& location);

} // namespace pelkorl
