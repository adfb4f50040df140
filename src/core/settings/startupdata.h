#pragma once
// The reading half of the program's start-up, shared by the main dialog and the command-line
// printer: the clock, the settings file, the publisher data of both years and the layout of
// the card version, in the order the main dialog takes them. Nothing here writes a file.
#include "card/cardstate.h"
#include "records/publisherdata.h"
#include "settings/settings.h"

#include <filesystem>
#include <functional>
#include <string>

namespace pelkorl {

// lastMonth (the calendar month before `month`, 0 = January; January gives December) and
// currentYear. `month` is 1-12.
void takeClock(CardState& state, int year, int month);

// The settings read after the list is filled: date format, name order, card version, margins.
void applyRemainingSettings(CardState& state, const Settings& settings);

// The layout file of state.cardVersion in `folder`, or the version's defaults when the file
// does not give a whole layout; then the column set and the font character set. True when
// the file gave the layout.
bool loadCardLayout(CardState& state, const std::filesystem::path& folder);

// Where the publisher files are read from for these settings.
DataLocation dataLocationOf(const std::filesystem::path& currentFolder, const Settings& settings,
                            int startDrive);

enum class StartupLoad {
    Loaded,
    NoMemory,        // the record store could not be had
    LocationMissing, // the data location of the settings is not there (drive A: missing)
    PasswordRefused, // protected data and the password was not given
};

struct StartupInput {
    std::filesystem::path settingsFile; // read only
    std::filesystem::path currentFolder;
    int startDrive = 0;
    int year = 2000;
    int month = 1; // 1-12
    PasswordPrompt passwordPrompt;
    std::function<void(const std::string&)> showMessage;
};

// The whole reading for a run without the dialog: clock, data location, record store,
// publisher data, remaining settings and layout into `data`, `state` and `settings`
// (state.data points at `data` afterwards). A data location on drive A: counts as missing
// when its folder is not there; unlike the dialog, nothing is created to test it.
StartupLoad loadStartupData(const StartupInput& input, PublisherData& data, CardState& state,
                            Settings& settings);

} // namespace pelkorl
