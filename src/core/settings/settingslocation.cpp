#include "settings/settingslocation.h"

#include "records/fileio.h"
#include "settings/settings.h"

#include <cstdio>
#include <cstdlib>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <random>
#include <string>
#include <system_error>

namespace pelkorl {

SettingsLocation chooseSettingsLocation(const std::filesystem::path& executable,
                                        bool executableFolderWritable,
                                        const std::filesystem::path& userFolder) {
    const std::filesystem::path beside = profileFileName(executable);
    if (executableFolderWritable || userFolder.empty())
        return {beside, beside};
    const std::filesystem::path own = userFolder / beside.filename();
    std::error_code error;
    if (!std::filesystem::exists(own, error) && std::filesystem::exists(beside, error))
        return {beside, own};
    return {own, own};
}

bool folderTakesNewFiles(const std::filesystem::path& folder) {
    const std::filesystem::path dir = folder.empty() ? std::filesystem::path(".") : folder;
    std::random_device random;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::filesystem::path probe =
            dir / (".pelkorl-probe-" + std::to_string(random()) + std::to_string(attempt));
        // "x": fails when the name exists, so nobody's file is opened, let alone removed.
        std::FILE* file = openStdioFile(probe, "wx");
        if (file) {
            std::fclose(file);
            std::error_code error;
            std::filesystem::remove(probe, error);
            return true;
        }
        std::error_code error;
        if (!std::filesystem::exists(probe, error))
            return false;
    }
    return false;
}

std::filesystem::path userSettingsFolder() {
#ifdef _WIN32
    // The wide environment: a user name of Lithuanian letters is in the folder's path.
    const wchar_t* value = _wgetenv(L"LOCALAPPDATA");
    std::filesystem::path base = value ? std::filesystem::path(value) : std::filesystem::path();
    if (!base.is_absolute())
        base.clear();
#else
    auto absoluteFrom = [](const char* variable) -> std::filesystem::path {
        const char* value = std::getenv(variable);
        if (!value || !*value)
            return {};
        std::filesystem::path path(value);
        return path.is_absolute() ? path : std::filesystem::path();
    };
    std::filesystem::path base = absoluteFrom("XDG_CONFIG_HOME");
    if (base.empty()) {
        const std::filesystem::path home = absoluteFrom("HOME");
        if (!home.empty())
            base = home / ".config";
    }
#endif
    if (base.empty())
        return {};
    return base / "pelkorl";
}

SettingsLocation settingsLocation(const std::filesystem::path& executable) {
    return chooseSettingsLocation(executable, folderTakesNewFiles(executable.parent_path()),
                                  userSettingsFolder());
}

std::filesystem::path settingsReadFile(const std::filesystem::path& executable) {
    const std::filesystem::path user = userSettingsFolder();
#ifdef _WIN32
    std::error_code error;
    const bool writable = user.empty() || !std::filesystem::exists(
                                              user / profileFileName(executable).filename(), error);
#else
    const std::filesystem::path folder = executable.parent_path();
    const bool writable = ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
#endif
    return chooseSettingsLocation(executable, writable, user).readFile;
}

bool prepareSettingsWrite(const SettingsLocation& location) {
    const std::filesystem::path folder = location.writeFile.parent_path();
    if (folder.empty())
        return true;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

} // namespace pelkorl
