// pelkorl's command line: what it answers without a window, what it refuses, and the
// toolkit's options it leaves to QApplication.
#include "app/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelkorl;

namespace {

struct Case {
    const char* name;
    std::vector<std::string> args;
    AppAction action;
    const char* folder; // nullptr: none given
    const char* error;  // part of the error text, with AppAction::Usage
};

class AppCommandLine : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(AppCommandLine, IsReadAsItSays) {
    const Case& c = GetParam();
    const AppArguments parsed = parseAppArguments(c.args);
    EXPECT_EQ(parsed.action, c.action);
    if (c.action == AppAction::Run) {
        EXPECT_EQ(parsed.folder.value_or("(none)"), c.folder ? c.folder : "(none)");
    }
    EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, AppCommandLine,
    ::testing::Values(
        Case{"nothing", {}, AppAction::Run, nullptr, ""},
        Case{"folder", {"/data/susirinkimas"}, AppAction::Run, "/data/susirinkimas", ""},
        Case{"help", {"/data", "--help"}, AppAction::Help, nullptr, ""},
        Case{"shortHelp", {"-h"}, AppAction::Help, nullptr, ""},
        Case{"version", {"--version", "--bogus"}, AppAction::Version, nullptr, ""},
        Case{"toolkitOptionsPassedOver",
             {"-style", "fusion", "--platform", "offscreen", "-reverse", "-stylesheet=a.qss",
              "/data"},
             AppAction::Run,
             "/data",
             ""},
        Case{"dashedFolderAfterEnd", {"--", "-data"}, AppAction::Run, "-data", ""},
        Case{"unknownOption",
             {"--bogus", "/data"},
             AppAction::Usage,
             nullptr,
             "unknown option '--bogus'"},
        Case{"flagWithValue", {"-reverse=1"}, AppAction::Usage, nullptr, "unknown option"},
        Case{"toolkitValueMissing", {"-style"}, AppAction::Usage, nullptr, "needs a value"},
        Case{"twoFolders",
             {"a", "b"},
             AppAction::Usage,
             nullptr,
             "more than one data folder given: 'a' and 'b'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AppUsage, NamesTheFolderAndOptions) {
    const std::string usage = appUsage();
    for (const char* part : {"DATA_FOLDER", "--help", "--version"})
        EXPECT_NE(usage.find(part), std::string::npos) << part;
    EXPECT_EQ(appVersion().rfind("pelkorl ", 0), 0u);
}
