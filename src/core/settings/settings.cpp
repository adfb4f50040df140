#include "settings/settings.h"

#include <string_view>

namespace pelkorl {
namespace {

constexpr const char* DRIVE_KEY = "Drive";
constexpr const char* FOLDER_KEY = "Folder";
constexpr const char* DATE_FORMAT_KEY = "Alt Date Format";
constexpr const char* LAST_NAME_FIRST_KEY = "Last Name First";
constexpr const char* CARD_VERSION_KEY = "Card Version";
constexpr const char* TOP_KEY = "Top";
constexpr const char* LEFT_KEY = "Left";

int lowByte(int value) {
    return value & 0xFF;
}

bool writeNumber(ProfileFile& profile, const char* section, const char* key, int value) {
    return profile.writeString(section, key, std::to_string(value));
}

} // namespace

void readDataLocation(const ProfileFile& profile, Settings& settings) {
    settings.dataDrive =
        static_cast<std::uint8_t>(lowByte(profile.getInt(DATA_LOCATION_SECTION, DRIVE_KEY, 0)));
    settings.removableFolder = profile.getString(DATA_LOCATION_SECTION, FOLDER_KEY, "");
}

void readRemainingSettings(const ProfileFile& profile, Settings& settings, int cardVersionCount) {
    settings.dateFormat = lowByte(profile.getInt(FORMAT_SECTION, DATE_FORMAT_KEY, 0));
    settings.lastNameFirst = lowByte(profile.getInt(FORMAT_SECTION, LAST_NAME_FIRST_KEY, 0));
    settings.cardVersion = lowByte(profile.getInt(FORMAT_SECTION, CARD_VERSION_KEY, 0));
    if (settings.cardVersion + 1 > cardVersionCount)
        settings.cardVersion = 0;
    settings.marginTop = profile.getString(MARGINS_SECTION, TOP_KEY, "0.00");
    settings.marginLeft = profile.getString(MARGINS_SECTION, LEFT_KEY, "0.20");
}

bool writeSettings(ProfileFile& profile, const Settings& settings) {
    bool ok = writeNumber(profile, FORMAT_SECTION, DATE_FORMAT_KEY, settings.dateFormat);
    ok &= writeNumber(profile, FORMAT_SECTION, LAST_NAME_FIRST_KEY, settings.lastNameFirst);
    ok &= writeNumber(profile, FORMAT_SECTION, CARD_VERSION_KEY, settings.cardVersion);
    ok &= profile.writeString(MARGINS_SECTION, TOP_KEY, settings.marginTop);
    ok &= profile.writeString(MARGINS_SECTION, LEFT_KEY, settings.marginLeft);
    ok &= writeNumber(profile, DATA_LOCATION_SECTION, DRIVE_KEY, settings.dataDrive);
    ok &= profile.writeString(DATA_LOCATION_SECTION, FOLDER_KEY, settings.removableFolder);
    return ok;
}

std::filesystem::path profileFileName(const std::filesystem::path& executable) {
    using Char = std::filesystem::path::value_type;
    const std::filesystem::path fileName = executable.filename();
    const auto& name = fileName.native();
    const std::size_t size = name.size();
    bool replace = size > 4 && name[size - 4] == Char('.');
    bool isIni = replace;
    const char ini[] = "ini";
    for (std::size_t i = 1; replace && i < 4; ++i) {
        const Char c = name[size - 4 + i];
        replace = c != Char('.');
        const Char lower = c >= Char('A') && c <= Char('Z') ? Char(c - 'A' + 'a') : c;
        isIni = isIni && lower == Char(ini[i - 1]);
    }
    std::filesystem::path result = executable;
    if (replace && !isIni) {
        auto text = executable.native();
        text.resize(text.size() - 4);
        result = text;
    }
    result += ".INI";
    return result;
}

} // namespace pelkorl
