#include "settings/startupdata.h"

#include "card/cardlayout.h"
#include "records/datalocation.h"
#include "settings/layoutfile.h"
#include "settings/profile.h"

#include <system_error>

namespace pelkorl {

void takeClock(CardState& state, int year, int month) {
    state.lastMonth = month <= 1 ? 11 : month - 2;
    state.currentYear = year;
}

void applyRemainingSettings(CardState& state, const Settings& settings) {
    state.dateFormat = settings.dateFormat;
    state.lastNameFirst = settings.lastNameFirst;
    state.cardVersion = settings.cardVersion;
    state.marginTop = settings.marginTop;
    state.marginLeft = settings.marginLeft;
    state.printForm = settings.printForm;
}

bool loadCardLayout(CardState& state, const std::filesystem::path& folder) {
    const bool loaded = loadLayout(state.layout, state.cardVersion, folder);
    if (!loaded)
        setLayoutDefaults(state.layout, state.cardVersion);
    state.columnSet = columnSetOf(state.cardVersion);
    state.fontCharset = FONT_CHARSET_BALTIC;
    return loaded;
}

DataLocation dataLocationOf(const std::filesystem::path& currentFolder, const Settings& settings,
                            int startDrive) {
    DataLocation location;
    location.currentFolder = currentFolder;
    location.removableFolder = removableDataFolder(settings.removableFolder);
    location.dataDrive = settings.dataDrive;
    location.startDrive = startDrive;
    return location;
}

StartupLoad loadStartupData(const StartupInput& input, PublisherData& data, CardState& state,
                            Settings& settings) {
    state.data = &data;
    takeClock(state, input.year, input.month);

    const Profile profile = ProfileFile(input.settingsFile).read();
    readDataLocation(profile, settings);
    const DataLocation location = dataLocationOf(input.currentFolder, settings, input.startDrive);
    if (location.dataDrive != 0) {
        std::error_code error;
        if (location.removableFolder.empty() ||
            !std::filesystem::is_directory(location.removableFolder, error))
            return StartupLoad::LocationMissing;
    }

    const auto report = input.showMessage ? input.showMessage : [](const std::string&) {
    };
    if (!allocateRecordStore(data.store, report))
        return StartupLoad::NoMemory;
    StartState start = StartState::Running;
    loadPublisherData(data, location, start, input.passwordPrompt);
    if (start == StartState::Aborted)
        return StartupLoad::PasswordRefused;
    state.useLongName = 1;

    readRemainingSettings(profile, settings, cardVersionCount());
    applyRemainingSettings(state, settings);
    loadCardLayout(state, input.currentFolder);
    return StartupLoad::Loaded;
}

} // namespace pelkorl
