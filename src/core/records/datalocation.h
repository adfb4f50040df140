#pragma once
// The data location: whether a location can be used (a probe file is created and removed
// there), and the reload that follows a change of location. Location 0 is the current
// folder; any other value is drive A:, which stands for a removable-media folder where the
// system has no drive letters.
#include "records/publisherdata.h"

#include <filesystem>
#include <functional>
#include <string>

namespace pelkorl {

// The probe file created, closed and deleted to see whether drive A: can be written.
inline constexpr const char* PROBE_FILE_NAME = "ravon.tst";

// A publisher file must be larger than this for a new location to count as holding data.
inline constexpr std::uintmax_t LOCATION_FILE_MIN_SIZE = 500;

// The folder that stands for drive A:. On Windows always the root of A:, elsewhere the
// configured folder (UTF-8, as kept in the settings); empty when none is configured.
std::filesystem::path removableDataFolder(const std::string& configuredFolder);

// A folder as it is kept in the settings (UTF-8).
std::string folderSetting(const std::filesystem::path& folder);

// `folder` holds a publisher file, in any letter case, that is a regular file.
bool holdsPublisherFile(const std::filesystem::path& folder);

// Location 0 is always usable and touches nothing. Any other location is usable when the
// probe file can be created in `removableFolder`; it is deleted again at once. An unset or
// missing folder is not usable, nor is one where the probe name is taken by a folder or a
// link (nothing is written through a link).
bool probeDataDrive(int location, const std::filesystem::path& removableFolder);

// After the data location changed to `location` (`start` set to Running by the caller):
// without a publisher file of more than LOCATION_FILE_MIN_SIZE bytes there, true at once
// (the new location is kept, the loaded data stay). With publishers loaded, `confirm` is
// asked with string 131 first; any answer but OK gives false and loads nothing. Otherwise
// the data are loaded from the new location, asking `prompt` for their password; true
// unless the password was refused.
bool reloadAfterLocationChange(PublisherData& data, const DataLocation& location, StartState& start,
                               const std::function<bool(const std::string&)>& confirm,
                               const PasswordPrompt& prompt);

// Drive number of a path's drive letter (1 = A:), 0 without one.
int driveNumberOf(const std::filesystem::path& path);

} // namespace pelkorl
