#include "settings/settings.h"

#include "testfiles.h"

#include <gtest/gtest.h>

#include <string>

namespace pelkorl {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

constexpr int CARD_VERSIONS = 2;

Settings readAll(const ProfileFile& file) {
    const Profile profile = file.read();
    Settings settings;
    readDataLocation(profile, settings);
    readRemainingSettings(profile, settings, CARD_VERSIONS);
    return settings;
}

TEST(Settings, NoFileGivesDefaultsAndCreatesNone) {
    TempFolder folder;
    const ProfileFile profile(folder.path() / "pelkorl.INI");
    Settings settings;
    settings.dataDrive = 7;
    settings.dateFormat = 3;
    settings.cardVersion = 1;
    settings.marginTop = "x";
    settings.removableFolder = "y";
    readDataLocation(profile.read(), settings);
    readRemainingSettings(profile.read(), settings, CARD_VERSIONS);
    EXPECT_EQ(settings.dataDrive, 0);
    EXPECT_EQ(settings.removableFolder, "");
    EXPECT_EQ(settings.dateFormat, 0);
    EXPECT_EQ(settings.lastNameFirst, 0);
    EXPECT_EQ(settings.cardVersion, 0);
    EXPECT_EQ(settings.marginTop, "0.00");
    EXPECT_EQ(settings.marginLeft, "0.20");
    EXPECT_FALSE(fs::exists(profile.path()));
}

TEST(Settings, WrittenInOrderAsNumbersAndTexts) {
    TempFolder folder;
    ProfileFile profile(folder.path() / "pelkorl.INI");
    Settings settings;
    settings.dataDrive = 1;
    settings.dateFormat = 2;
    settings.lastNameFirst = 1;
    settings.cardVersion = 1;
    settings.marginTop = "1.5";
    settings.marginLeft = "0.35";
    settings.printForm = true;
    settings.removableFolder = "/media/usb\\%x";
    EXPECT_EQ(writeSettings(profile, settings), ProfileWrite::Written);
    EXPECT_EQ(readBytes(profile.path()), "[Format]\r\n"
                                         "Alt Date Format=2\r\n"
                                         "Last Name First=1\r\n"
                                         "Card Version=1\r\n"
                                         "Print Form=1\r\n"
                                         "[Margins]\r\n"
                                         "Top=1.5\r\n"
                                         "Left=0.35\r\n"
                                         "[Data Location]\r\n"
                                         "Drive=1\r\n"
                                         "Folder=/media/usb\\%x\r\n");
    const Settings back = readAll(profile);
    EXPECT_EQ(back.dataDrive, settings.dataDrive);
    EXPECT_EQ(back.dateFormat, settings.dateFormat);
    EXPECT_EQ(back.lastNameFirst, settings.lastNameFirst);
    EXPECT_EQ(back.cardVersion, settings.cardVersion);
    EXPECT_EQ(back.marginTop, settings.marginTop);
    EXPECT_EQ(back.marginLeft, settings.marginLeft);
    EXPECT_TRUE(back.printForm);
    EXPECT_EQ(back.removableFolder, settings.removableFolder);
}

TEST(Settings, RewriteKeepsOtherContents) {
    TempFolder folder;
    const fs::path file = folder.path() / "pelkorl.INI";
    writeBytes(file, "; kept\r\n[Data Location]\r\nDrive=1\r\n\r\n[Format]\r\nCard Version=3\r\n"
                     "Extra=x\r\n\r\n[Other]\r\nTop=9\r\n");
    ProfileFile profile(file);
    Settings settings = readAll(profile);
    EXPECT_EQ(settings.cardVersion, 0);
    EXPECT_EQ(writeSettings(profile, settings), ProfileWrite::Written);
    EXPECT_EQ(readBytes(file), "; kept\r\n[Data Location]\r\nDrive=1\r\nFolder=\r\n\r\n[Format]\r\n"
                               "Card Version=0\r\nExtra=x\r\nAlt Date Format=0\r\n"
                               "Last Name First=0\r\nPrint Form=0\r\n\r\n[Other]\r\nTop=9\r\n"
                               "[Margins]\r\nTop=0.00\r\nLeft=0.20\r\n");
}

struct ReadCase {
    const char* name;
    const char* file;
    int dataDrive;
    int dateFormat;
    int lastNameFirst;
    int cardVersion;
    const char* marginTop;
    const char* marginLeft;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class SettingsRead : public testing::TestWithParam<ReadCase> {};

TEST_P(SettingsRead, KeepsLowByteAndChecksCardVersion) {
    const ReadCase& c = GetParam();
    TempFolder folder;
    const fs::path file = folder.path() / "pelkorl.INI";
    writeBytes(file, c.file);
    const Settings settings = readAll(ProfileFile(file));
    EXPECT_EQ(settings.dataDrive, c.dataDrive);
    EXPECT_EQ(settings.dateFormat, c.dateFormat);
    EXPECT_EQ(settings.lastNameFirst, c.lastNameFirst);
    EXPECT_EQ(settings.cardVersion, c.cardVersion);
    EXPECT_EQ(settings.marginTop, c.marginTop);
    EXPECT_EQ(settings.marginLeft, c.marginLeft);
}

const ReadCase READ_CASES[] = {
    {"LowBytes", "[Format]\nLast Name First=256\nAlt Date Format=259\n", 0, 3, 0, 0, "0.00",
     "0.20"},
    {"CardVersionOne", "[Format]\nCard Version=1\n", 0, 0, 0, 1, "0.00", "0.20"},
    {"CardVersionTwoIsZero", "[Format]\nCard Version=2\n", 0, 0, 0, 0, "0.00", "0.20"},
    {"CardVersionLowByte", "[Format]\nCard Version=257\n", 0, 0, 0, 1, "0.00", "0.20"},
    {"CardVersionNegative", "[Format]\nCard Version=-1\n", 0, 0, 0, 0, "0.00", "0.20"},
    {"NegativeKeepsLowByte", "[Format]\nAlt Date Format=-1\n", 0, 255, 0, 0, "0.00", "0.20"},
    {"DriveLowByte", "[Data Location]\nDrive=257\n", 1, 0, 0, 0, "0.00", "0.20"},
    {"DriveNegative", "[data location]\ndrive=-2\n", 254, 0, 0, 0, "0.00", "0.20"},
    {"MarginsUnvalidated", "[Margins]\nTop=1.5\nLeft=abc\n", 0, 0, 0, 0, "1.5", "abc"},
    {"EmptyMarginIsEmpty", "[Margins]\nTop=\n", 0, 0, 0, 0, "", "0.20"},
    {"KeysInWrongSection", "[Margins]\nDrive=1\nCard Version=1\n[Format]\nTop=2\n", 0, 0, 0, 0,
     "0.00", "0.20"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SettingsRead, testing::ValuesIn(READ_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Settings, CardVersionCountFromStringTable) {
    TempFolder folder;
    const fs::path file = folder.path() / "pelkorl.INI";
    writeBytes(file, "[Format]\r\nCard Version=2\r\n");
    Settings settings;
    readRemainingSettings(ProfileFile(file).read(), settings, 3);
    EXPECT_EQ(settings.cardVersion, 2);
    readRemainingSettings(ProfileFile(file).read(), settings, 0);
    EXPECT_EQ(settings.cardVersion, 0);
}

TEST(Settings, FailedWriteIsReported) {
    TempFolder folder;
    ProfileFile profile(folder.path() / "missing" / "pelkorl.INI");
    EXPECT_EQ(writeSettings(profile, Settings{}), ProfileWrite::CannotCreate);
    Settings settings;
    settings.marginTop = "1\n[X]";
    ProfileFile good(folder.path() / "pelkorl.INI");
    EXPECT_EQ(writeSettings(good, settings), ProfileWrite::Refused);
    // The other settings are still written.
    EXPECT_EQ(readAll(good).marginLeft, "0.20");
    EXPECT_NE(readBytes(good.path()).find("Drive=0"), std::string::npos);
}

struct NameCase {
    const char* executable;
    const char* expected;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.executable;
}

class SettingsFileName : public testing::TestWithParam<NameCase> {};

TEST_P(SettingsFileName, BesideTheExecutable) {
    EXPECT_EQ(profileFileName(GetParam().executable), fs::path(GetParam().expected));
}

const NameCase NAME_CASES[] = {
    {"/opt/x/pelkorl", "/opt/x/pelkorl.INI"},
    {"C:/x/PELKORL.EXE", "C:/x/PELKORL.INI"},
    {"/usr/bin/pelkorl.exe", "/usr/bin/pelkorl.INI"},
    {"a.b/pelkorl", "a.b/pelkorl.INI"},
    {"pelkorl.x", "pelkorl.x.INI"},
    {"pelkorl.ab", "pelkorl.ab.INI"},
    {"pelkorl.abcd", "pelkorl.abcd.INI"},
    {"pelkorl.a.b", "pelkorl.a.b.INI"},
    {"/opt/.exe", "/opt/.exe.INI"},
    {"x.exe", "x.INI"},
    {"/opt/pelkorl.ini", "/opt/pelkorl.ini.INI"},
    {"/opt/pelkorl.INI", "/opt/pelkorl.INI.INI"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SettingsFileName, testing::ValuesIn(NAME_CASES));

} // namespace
} // namespace pelkorl
