// The reading half of start-up as the command-line printer runs it: the clock, the settings,
// the data location, both years' data with the password, and the layout of the card version.
// Nothing it reads is written.
#include "card/cardlayout.h"
#include "datafixture.h"
#include "sampledata.h"
#include "settings/layoutfile.h"
#include "settings/startfolder.h"
#include "settings/startupdata.h"

#include <gtest/gtest.h>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

constexpr const char* SETTINGS = "pelkorl.INI";

class StartupData : public DataFolderTest {
protected:
    StartupLoad run(const std::string& settings = {}, bool answer = true) {
        if (!settings.empty())
            write(SETTINGS, settings);
        freeze();
        StartupInput input;
        input.settingsFile = folder() / SETTINGS;
        input.currentFolder = folder();
        input.year = 2027;
        input.month = 9;
        input.passwordPrompt = [this, answer](const std::string& expected) {
            prompted.push_back(expected);
            return answer;
        };
        loaded = PublisherData{};
        state = CardState{};
        return loadStartupData(input, loaded, state, settingsRead);
    }

    PublisherData loaded;
    CardState state;
    Settings settingsRead;
};

} // namespace

TEST(TakeClock, LastMonthIsTheMonthBefore) {
    const struct {
        int month;
        int lastMonth;
    } cases[] = {{1, 11}, {2, 0}, {9, 7}, {10, 8}, {12, 10}};
    for (const auto& c : cases) {
        CardState state;
        takeClock(state, 2027, c.month);
        EXPECT_EQ(state.lastMonth, c.lastMonth) << c.month;
        EXPECT_EQ(state.currentYear, 2027);
    }
}

TEST_F(StartupData, WithoutSettingsTheDefaultsOfCardVersionZero) {
    ASSERT_TRUE(sample::writeSampleCongregation(folder(), 2027));
    ASSERT_EQ(run(), StartupLoad::Loaded);
    const sample::SampleCongregation sample = sample::buildSampleCongregation(2027);
    EXPECT_EQ(loaded.store.currentCount, static_cast<int>(sample.current.size()) + 1);
    EXPECT_GT(loaded.store.previousCount, 1);
    EXPECT_GT(loaded.extensionCount, 0);
    EXPECT_EQ(state.data, &loaded);
    EXPECT_EQ(state.lastMonth, 7);
    EXPECT_EQ(state.currentYear, 2027);
    EXPECT_EQ(state.cardVersion, 0);
    EXPECT_EQ(state.marginTop, "0.00");
    EXPECT_EQ(state.marginLeft, "0.20");
    EXPECT_EQ(state.dateFormat, 0);
    EXPECT_EQ(state.lastNameFirst, 0);
    EXPECT_EQ(state.useLongName, 1);
    CardLayout defaults;
    setLayoutDefaults(defaults, 0);
    EXPECT_EQ(state.layout, defaults);
    EXPECT_EQ(state.columnSet, columnSetOf(0));
    EXPECT_TRUE(prompted.empty());
}

TEST_F(StartupData, TheSettingsAndTheLayoutFileOfTheCardVersion) {
    ASSERT_TRUE(sample::writeSampleCongregation(folder(), 2027));
    CardLayout stored;
    setLayoutDefaults(stored, 1);
    stored.setHeaderX(0, "1.11");
    ASSERT_EQ(saveLayout(stored, 1, folder()), WriteResult::Written);
    ASSERT_EQ(run("[Format]\r\nAlt Date Format=2\r\nLast Name First=1\r\nCard Version=257\r\n"
                  "[Margins]\r\nTop=0.15\r\nLeft=0.05\r\n"),
              StartupLoad::Loaded);
    EXPECT_EQ(state.cardVersion, 1); // the low byte of 257
    EXPECT_EQ(state.dateFormat, 2);
    EXPECT_EQ(state.lastNameFirst, 1);
    EXPECT_EQ(state.marginTop, "0.15");
    EXPECT_EQ(state.marginLeft, "0.05");
    EXPECT_EQ(state.layout, stored);
    EXPECT_EQ(state.columnSet, columnSetOf(1));
}

TEST_F(StartupData, ACardVersionOutOfRangeIsVersionZero) {
    ASSERT_TRUE(sample::writeSampleCongregation(folder(), 2027));
    ASSERT_EQ(run("[Format]\nCard Version=3\n"), StartupLoad::Loaded);
    EXPECT_EQ(state.cardVersion, 0);
    CardLayout defaults;
    setLayoutDefaults(defaults, 0);
    EXPECT_EQ(state.layout, defaults);
}

TEST_F(StartupData, ProtectedDataNeedTheirPassword) {
    ASSERT_TRUE(sample::writeSampleCongregation(folder(), 2027, {false, "Slaptas"}));
    EXPECT_EQ(run({}, false), StartupLoad::PasswordRefused);
    ASSERT_EQ(prompted.size(), 1u);
    EXPECT_EQ(prompted.front(), "Slaptas");
    EXPECT_EQ(run({}, true), StartupLoad::Loaded);
    EXPECT_GT(loaded.store.currentCount, 1);
}

TEST_F(StartupData, TheRemovableDriveMustBeThere) {
    ASSERT_TRUE(sample::writeSampleCongregation(folder(), 2027));
    const std::string settings =
        "[Data Location]\nDrive=1\nFolder=" + (folder() / "removable").string() + "\n";
    EXPECT_EQ(run(settings), StartupLoad::LocationMissing);
    EXPECT_EQ(run("[Data Location]\nDrive=1\n"), StartupLoad::LocationMissing);

#ifdef _WIN32
    // Drive A: itself stands for the removable media there; no folder of the settings counts.
    Settings onA;
    onA.removableFolder = (folder() / "removable").string();
    EXPECT_EQ(dataLocationOf(folder(), onA, 1).removableFolder, std::filesystem::path("a:\\"));
    GTEST_SKIP() << "drive A: is the removable location on Windows; a test cannot provide it";
#endif
    // There, it gives the current year's publisher file; the rest stays in the folder.
    ASSERT_TRUE(sample::writeSampleCongregation(folder() / "removable", 2027));
    std::filesystem::remove(folder() / "tdat7.bin");
    ASSERT_EQ(run(settings), StartupLoad::Loaded);
    EXPECT_GT(loaded.store.currentCount, 1);
    EXPECT_FALSE(std::filesystem::exists(folder() / "removable" / "ravon.tst"));
}

TEST_F(StartupData, AnEmptyFolderLoadsNoPublishers) {
    ASSERT_EQ(run(), StartupLoad::Loaded);
    EXPECT_EQ(loaded.store.currentCount, 1);
}

namespace {

namespace fs = std::filesystem;

// Where a start without a data folder works: a folder with data as it is, else the remembered
// data folder, else the one picked (then remembered).
struct StartCase {
    const char* name;
    const char* startedIn;  // "data", "empty" (no publisher file) or "drive A:" settings
    const char* remembered; // "data", "stale" or "" (none)
    const char* picked;     // "data" or "" (cancelled)
    const char* expected;   // "here", "data"
    int asks;               // questions over two starts
};

class StartFolderChoice : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartFolderChoice, AsksOnlyWithoutDataAndRemembers) {
    const StartCase& c = GetParam();
    TempFolder temp;
    const fs::path here = temp.path() / "here";
    const fs::path data = temp.path() / "data";
    fs::create_directories(here);
    writeBytes(data / "TDAT7.BIN", publisherFile(" ", true, {}));
    if (std::string(c.startedIn) == "data")
        writeBytes(here / "tdat7.bin", publisherFile(" ", true, {}));
    std::string ini;
    if (std::string(c.startedIn) == "drive A:")
        ini += "[Data Location]\r\nDrive=1\r\n";
    if (*c.remembered)
        ini += "[Data Location]\r\nData Folder=" +
               (temp.path() / (std::string(c.remembered) == "data" ? "data" : "gone")).string() +
               "\r\n";
    const SettingsLocation settings{temp.path() / "pelkorl.INI", temp.path() / "pelkorl.INI"};
    if (!ini.empty())
        writeBytes(settings.readFile, ini);
    int asked = 0;
    const auto ask = [&] {
        ++asked;
        return *c.picked ? data : fs::path();
    };
    const StartFolder first = chooseStartFolder(here, settings, ask);
    EXPECT_EQ(first.folder, std::string(c.expected) == "data" ? data : here);
    EXPECT_EQ(first.remembered, ProfileWrite::Written);
    // The next start goes to the same folder, asking again only when nothing was picked.
    EXPECT_EQ(chooseStartFolder(here, settings, ask).folder, first.folder);
    EXPECT_EQ(asked, c.asks);
}

INSTANTIATE_TEST_SUITE_P(StartFolder, StartFolderChoice,
                         ::testing::Values(StartCase{"dataHere", "data", "data", "data", "here", 0},
                                           StartCase{"driveA", "drive A:", "", "data", "here", 0},
                                           StartCase{"remembered", "empty", "data", "", "data", 0},
                                           StartCase{"picked", "empty", "stale", "data", "data", 1},
                                           StartCase{"cancelled", "empty", "", "", "here", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
