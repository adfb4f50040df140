#include "settings/startfolder.h"

#include "card/cardlayout.h"
#include "records/datalocation.h"
#include "settings/settings.h"

#include <string>

namespace pelkorl {

namespace {

ProfileWrite rememberDataFolder(const SettingsLocation& settings, const Profile& read,
                                const std::filesystem::path& folder) {
    if (!prepareSettingsWrite(settings))
        return ProfileWrite::CannotCreate;
    ProfileFile file(settings.writeFile);
    // A first write to the user's own file takes every setting along, as a close would:
    // from then on that file is the one read.
    if (settings.readFile != settings.writeFile && file.read().bytes().empty()) {
        Settings values;
        readDataLocation(read, values);
        readRemainingSettings(read, values, cardVersionCount());
        const ProfileWrite copied = writeSettings(file, values);
        if (copied != ProfileWrite::Written)
            return copied;
    }
    return file.writeString(DATA_LOCATION_SECTION, DATA_FOLDER_KEY, folderSetting(folder));
}

} // namespace

StartFolder chooseStartFolder(const std::filesystem::path& startedIn,
                              const SettingsLocation& settings,
                              const std::function<std::filesystem::path()>& ask) {
    const Profile profile = ProfileFile(settings.readFile).read();
    Settings values;
    readDataLocation(profile, values);
    if (values.dataDrive != 0 || holdsPublisherFile(startedIn))
        return {startedIn};
    const std::string setting = profile.getString(DATA_LOCATION_SECTION, DATA_FOLDER_KEY, "");
    const std::filesystem::path remembered(std::u8string(setting.begin(), setting.end()));
    if (!remembered.empty() && holdsPublisherFile(remembered))
        return {remembered};
    const std::filesystem::path picked = ask ? ask() : std::filesystem::path();
    if (picked.empty())
        return {startedIn};
    return {picked, rememberDataFolder(settings, profile, picked)};
}

} // namespace pelkorl
