#pragma once
// The user settings kept between runs in the settings file (a private-profile file beside
// the executable). The data location is read before the publisher data are loaded, the
// rest after the list is filled; all of them are written back together at close, and only
// when one changed during the run.
#include <cstdint>
#include <filesystem>
#include <string>

#include "settings/profile.h"

namespace pelkorl {

inline constexpr const char* DATA_LOCATION_SECTION = "Data Location";
inline constexpr const char* FORMAT_SECTION = "Format";
inline constexpr const char* MARGINS_SECTION = "Margins";

struct Settings {
    std::uint8_t dataDrive = 0; // 0 = the current folder, 1 = the removable drive
    int dateFormat = 0;
    int lastNameFirst = 0;
    int cardVersion = 0;
    std::string marginTop = "0.00";
    std::string marginLeft = "0.20";
    // "Spausdinti formą": the card's form is drawn with its data.
    bool printForm = false;
    // The folder that stands for drive A: where the system has no drive letters.
    std::string removableFolder;
    // The user's fillable S-21 11/23 form (UTF-8); empty until one is chosen.
    std::string fillFormFile;
};

// "Data Location": the drive (low byte of the stored number) and the removable folder.
void readDataLocation(const Profile& profile, Settings& settings);

// "Format" and "Margins", and whether the form prints. Numbers keep their low byte only; a card
// version whose successor exceeds `cardVersionCount` becomes 0. The margin texts are taken as
// stored.
void readRemainingSettings(const Profile& profile, Settings& settings, int cardVersionCount);

// Stores every setting, changed or not, one key at a time. False when any was refused (the
// others are still stored).
bool storeSettings(Profile& profile, const Settings& settings);

// Writes every setting to the file one key at a time, in storeSettings' order. The first
// failure to write is reported, else Refused when a value was refused; the other keys are
// still written.
ProfileWrite writeSettings(ProfileFile& file, const Settings& settings);

// The settings file of an executable: its name with the extension (a dot and three
// characters, as ".exe") replaced by ".INI", or ".INI" appended when the name has no such
// extension or already ends in ".ini", so that the executable itself is never the result.
std::filesystem::path profileFileName(const std::filesystem::path& executable);

} // namespace pelkorl
