#include "settings/settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelkorl {
namespace {

constexpr const char* DRIVE_KEY = "Drive";
constexpr const char* FOLDER_KEY = "Folder";
constexpr const char* DATE_FORMAT_KEY = "Alt Date Format";
constexpr const char* LAST_NAME_FIRST_KEY = "Last Name First";
constexpr const char* CARD_VERSION_KEY = "Card Version";
constexpr const char* TOP_KEY = "Top";
constexpr const char* LEFT_KEY = "Left";
constexpr const char* PRINT_FORM_KEY = "Print Form";
constexpr const char* FILL_FORM_KEY = "S-21 Form";

int lowByte(int value) {
    return value & 0xFF;
}

struct SettingValue {
    const char* section;
    const char* key;
    std::string value;
};

// Every setting in the order it is written.
std::vector<SettingValue> settingValues(const Settings& settings) {
    std::vector<SettingValue> values = {
        {FORMAT_SECTION, DATE_FORMAT_KEY, std::to_string(settings.dateFormat)},
        {FORMAT_SECTION, LAST_NAME_FIRST_KEY, std::to_string(settings.lastNameFirst)},
        {FORMAT_SECTION, CARD_VERSION_KEY, std::to_string(settings.cardVersion)},
        {MARGINS_SECTION, TOP_KEY, settings.marginTop},
        {MARGINS_SECTION, LEFT_KEY, settings.marginLeft},
        {FORMAT_SECTION, PRINT_FORM_KEY, settings.printForm ? "1" : "0"},
        {DATA_LOCATION_SECTION, DRIVE_KEY, std::to_string(settings.dataDrive)},
        {DATA_LOCATION_SECTION, FOLDER_KEY, settings.removableFolder},
    };
    // Files written before the form could be filled stay as they were until one is chosen.
    if (!settings.fillFormFile.empty())
        values.push_back({FORMAT_SECTION, FILL_FORM_KEY, settings.fillFormFile});
    return values;
}

} // namespace

void readDataLocation(const Profile& profile, Settings& settings) {
    settings.dataDrive =
        static_cast<std::uint8_t>(lowByte(profile.getInt(DATA_LOCATION_SECTION, DRIVE_KEY, 0)));
    settings.removableFolder = profile.getString(DATA_LOCATION_SECTION, FOLDER_KEY, "");
}

void readRemainingSettings(const Profile& profile, Settings& settings, int cardVersionCount) {
    settings.dateFormat = lowByte(profile.getInt(FORMAT_SECTION, DATE_FORMAT_KEY, 0));
    settings.lastNameFirst = lowByte(profile.getInt(FORMAT_SECTION, LAST_NAME_FIRST_KEY, 0));
    settings.cardVersion = lowByte(profile.getInt(FORMAT_SECTION, CARD_VERSION_KEY, 0));
    if (settings.cardVersion + 1 > cardVersionCount)
        settings.cardVersion = 0;
    settings.marginTop = profile.getString(MARGINS_SECTION, TOP_KEY, "0.00");
    settings.marginLeft = profile.getString(MARGINS_SECTION, LEFT_KEY, "0.20");
    settings.printForm = profile.getInt(FORMAT_SECTION, PRINT_FORM_KEY, 0) != 0;
    settings.fillFormFile = profile.getString(FORMAT_SECTION, FILL_FORM_KEY, "");
}

bool storeSettings(Profile& profile, const Settings& settings) {
    bool ok = true;
    for (const SettingValue& setting : settingValues(settings))
        ok &= profile.setString(setting.section, setting.key, setting.value);
    return ok;
}

ProfileWrite writeSettings(ProfileFile& file, const Settings& settings) {
    // One write per key, as the profile services make them: a disk that fills up half way
    // keeps the keys already written.
    ProfileWrite result = ProfileWrite::Written;
    for (const SettingValue& setting : settingValues(settings)) {
        const ProfileWrite written = file.writeString(setting.section, setting.key, setting.value);
        if (result == ProfileWrite::Written ||
            (result == ProfileWrite::Refused && written != ProfileWrite::Written))
            result = written;
    }
    return result;
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
