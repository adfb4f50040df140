#include "records/datalocation.h"

#include "text/strings.h"
#include "text/textids.h"

#include <fstream>
#include <system_error>

namespace pelkorl {

namespace {

// The question asked before data of another location replace the loaded ones.

} // namespace

std::filesystem::path removableDataFolder(const std::string& configuredFolder) {
#ifdef _WIN32
    (void)configuredFolder;
    return std::filesystem::path("a:\\");
#else
    std::u8string utf8(configuredFolder.begin(), configuredFolder.end());
    return std::filesystem::path(utf8);
#endif
}

std::string folderSetting(const std::filesystem::path& folder) {
    const std::u8string utf8 = folder.u8string();
    return std::string(utf8.begin(), utf8.end());
}

bool holdsPublisherFile(const std::filesystem::path& folder) {
    if (folder.empty())
        return false;
    std::error_code error;
    return std::filesystem::is_regular_file(findIgnoringCase(folder, PUBLISHER_FILE_NAME), error);
}

bool probeDataDrive(int location, const std::filesystem::path& removableFolder) {
    if (location == 0)
        return true;
    if (removableFolder.empty())
        return false;
    std::error_code error;
    if (!std::filesystem::is_directory(removableFolder, error))
        return false;
    const std::filesystem::path probe = removableFolder / PROBE_FILE_NAME;
    // A leftover probe file is simply truncated; anything else of that name is not ours to
    // write through or delete.
    const auto status = std::filesystem::symlink_status(probe, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return false;
    {
        std::ofstream file(probe, std::ios::binary | std::ios::trunc);
        if (!file.is_open())
            return false;
        file.close();
        if (file.fail()) {
            std::filesystem::remove(probe, error);
            return false;
        }
    }
    std::filesystem::remove(probe, error);
    return true;
}

bool reloadAfterLocationChange(PublisherData& data, const DataLocation& location, StartState& start,
                               const std::function<bool(const std::string&)>& confirm,
                               const PasswordPrompt& prompt) {
    Bytes head;
    if (!data.readFile ||
        data.readFile(publisherFilePath(location), 0, LOCATION_FILE_MIN_SIZE + 1, head) !=
            ReadError::None ||
        head.size() <= LOCATION_FILE_MIN_SIZE)
        return true;
    if (data.store.currentCount > 1) {
        if (!confirm || !confirm(loadText(REPLACE_DATA_QUESTION)))
            return false;
    }
    loadPublisherData(data, location, start, prompt);
    return start == StartState::Running;
}

int driveNumberOf(const std::filesystem::path& path) {
    const auto root = path.root_name().native();
    if (root.size() != 2 || root[1] != ':')
        return 0;
    const auto letter = root[0];
    if (letter >= 'A' && letter <= 'Z')
        return letter - 'A' + 1;
    if (letter >= 'a' && letter <= 'z')
        return letter - 'a' + 1;
    return 0;
}

} // namespace pelkorl
