// The settings file's bytes: reading every setting and any key, then changes that must
// read back as written and leave every other key as it was.
//
// Input: a control byte (bit 0: no file at all, bits 1-7: a buffer size), the file as a
// part, a section and a key as parts, a value as the rest.
#include "fuzzsupport.h"
#include "settings/profile.h"
#include "settings/settings.h"

#include <string>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::fuzz;
namespace fs = std::filesystem;

namespace {

constexpr int CARD_VERSIONS = 2;
constexpr std::size_t NO_LIMIT = std::size_t(1) << 30;

struct Key {
    std::string section;
    std::string key;
};

const std::vector<Key> SETTING_KEYS = {
    {DATA_LOCATION_SECTION, "Drive"},    {DATA_LOCATION_SECTION, "Folder"},
    {FORMAT_SECTION, "Alt Date Format"}, {FORMAT_SECTION, "Last Name First"},
    {FORMAT_SECTION, "Card Version"},    {MARGINS_SECTION, "Top"},
    {MARGINS_SECTION, "Left"},
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

bool sameName(std::string_view a, std::string_view b) {
    const std::string x = trimmed(a);
    const std::string y = trimmed(b);
    if (x.size() != y.size())
        return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        };
        if (lower(x[i]) != lower(y[i]))
            return false;
    }
    return true;
}

Settings readAll(const Profile& profile) {
    Settings settings;
    readDataLocation(profile, settings);
    readRemainingSettings(profile, settings, CARD_VERSIONS);
    return settings;
}

bool sameSettings(const Settings& a, const Settings& b) {
    return a.dataDrive == b.dataDrive && a.dateFormat == b.dateFormat &&
           a.lastNameFirst == b.lastNameFirst && a.cardVersion == b.cardVersion &&
           a.marginTop == b.marginTop && a.marginLeft == b.marginLeft &&
           a.removableFolder == b.removableFolder;
}

// Raw values of the settings keys, as getString reads them.
std::vector<std::string> settingValues(const Profile& profile) {
    std::vector<std::string> values;
    for (const Key& k : SETTING_KEYS)
        values.push_back(profile.getString(k.section, k.key, "\x01missing", NO_LIMIT));
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzInput input(bytes, size);
    const std::uint8_t control = input.byte();
    const bool noFile = (control & 1) != 0;
    const std::size_t bufferSize = control >> 1;
    const std::string_view file = input.part();
    const std::string section(input.part());
    const std::string key(input.part());
    const std::string value(input.rest());

    const fs::path folder = "/program";
    FUZZ_CHECK(profileFileName(folder / "pelkorl.exe") == folder / "pelkorl.INI");
    // A missing file reads as an empty one.
    Profile profile(noFile ? std::string() : std::string(file));
    const Profile original = profile;

    const std::string text = profile.getString(section, key, value, bufferSize);
    FUZZ_CHECK(bufferSize == 0 ? text.empty() : text.size() < bufferSize);
    (void)profile.getInt(section, key, -1);

    // The settings as read are in range, and reading twice gives the same.
    const Settings settings = readAll(profile);
    FUZZ_CHECK(settings.dateFormat >= 0 && settings.dateFormat <= 255);
    FUZZ_CHECK(settings.lastNameFirst >= 0 && settings.lastNameFirst <= 255);
    FUZZ_CHECK(settings.cardVersion >= 0 && settings.cardVersion < CARD_VERSIONS);
    FUZZ_CHECK(settings.marginTop.size() < Profile::DEFAULT_BUFFER_SIZE);
    FUZZ_CHECK(settings.removableFolder.size() < Profile::DEFAULT_BUFFER_SIZE);
    FUZZ_CHECK(sameSettings(settings, readAll(profile)));
    FUZZ_CHECK(profile.bytes() == original.bytes());

    // One key written: it reads back as written, and no other setting moves.
    const std::vector<std::string> before = settingValues(profile);
    const bool written = profile.setString(section, key, value);
    if (written)
        FUZZ_CHECK(profile.getString(section, key, "\x01missing", NO_LIMIT) == value);
    else
        FUZZ_CHECK(profile.bytes() == original.bytes());
    const std::vector<std::string> after = settingValues(profile);
    for (std::size_t i = 0; i < SETTING_KEYS.size(); ++i) {
        if (!(sameName(SETTING_KEYS[i].section, section) && sameName(SETTING_KEYS[i].key, key)))
            FUZZ_CHECK(after[i] == before[i]);
    }

    // All settings stored, with the fuzzed texts in the text settings: when every value was
    // taken, they all read back.
    Settings changed = readAll(profile);
    changed.marginTop = value;
    changed.removableFolder = key;
    if (storeSettings(profile, changed))
        FUZZ_CHECK(sameSettings(readAll(profile), changed));
    changed = settings;
    if (storeSettings(profile, changed))
        FUZZ_CHECK(sameSettings(readAll(profile), changed));
    return 0;
}
