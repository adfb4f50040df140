// The command line of pelkorl-print: what each option sets, the command lines it refuses and
// why, the month lists, and how a --publisher text finds its publisher.
#include "cardfixture.h"
#include "cli/printoptions.h"
#include "records/extension.h"
#include "sampledata.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

using Args = std::vector<std::string>;
using Rows = std::array<bool, MONTH_ROWS>;

Rows rows(std::initializer_list<int> ticked) {
    Rows r{};
    for (int row : ticked)
        r[static_cast<std::size_t>(row)] = true;
    return r;
}

struct GoodCase {
    const char* name;
    Args args;
    std::function<void(const PrintToolOptions&)> check;
};

class GoodCommandLine : public ::testing::TestWithParam<GoodCase> {};

struct BadCase {
    const char* name;
    Args args;
    const char* message; // part of the error text
};

class BadCommandLine : public ::testing::TestWithParam<BadCase> {};

} // namespace

TEST_P(GoodCommandLine, SetsWhatItSays) {
    const ParsedOptions parsed = parsePrintToolOptions(GetParam().args);
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    GetParam().check(parsed.options);
}

INSTANTIATE_TEST_SUITE_P(
    Options, GoodCommandLine,
    ::testing::Values(
        GoodCase{"onePublisher",
                 {"data", "-p", "3", "-o", "a.pdf"},
                 [](const PrintToolOptions& o) {
                     EXPECT_EQ(o.dataFolder, "data");
                     EXPECT_EQ(o.publishers, Args{"3"});
                     EXPECT_FALSE(o.all);
                     EXPECT_EQ(o.output, "a.pdf");
                     // The program's start-up state of the check boxes.
                     EXPECT_EQ(o.months, Rows{});
                     EXPECT_TRUE(o.header);
                     EXPECT_FALSE(o.total || o.sexMark || o.previousYear || o.form);
                     EXPECT_FALSE(o.cardVersion.has_value());
                     EXPECT_EQ(o.resolution, PRINT_TOOL_RESOLUTION);
                     EXPECT_EQ(o.year, 0);
                     EXPECT_TRUE(o.settingsFile.empty());
                     EXPECT_FALSE(o.password.has_value());
                 }},
        GoodCase{"allWithValuesAfterEquals",
                 {"--data=data", "--all", "--filter=2", "--output=x.PDF", "--settings=s.ini"},
                 [](const PrintToolOptions& o) {
                     EXPECT_EQ(o.dataFolder, "data");
                     EXPECT_TRUE(o.all);
                     EXPECT_EQ(o.filter, ListFilter::Baptized);
                     EXPECT_EQ(o.output, "x.PDF");
                     EXPECT_EQ(o.settingsFile, "s.ini");
                 }},
        GoodCase{"everyCardOption",
                 {"-a", "data", "-o", "a.pdf", "--months", "Rgs-Grd,Rgp", "-m", "5", "--total",
                  "--previous-year", "--sex-mark", "--form", "--card-version", "2"},
                 [](const PrintToolOptions& o) {
                     EXPECT_EQ(o.months, rows({0, 1, 2, 3, 4, 11}));
                     EXPECT_TRUE(o.total && o.previousYear && o.sexMark && o.header && o.form);
                     EXPECT_EQ(o.cardVersion.value_or(-1), 2);
                 }},
        GoodCase{
            "severalPublishersInOrder",
            {"data", "-p", "Ona", "--publisher", "Jonas Petrauskas", "-o", "a.pdf", "--no-header"},
            [](const PrintToolOptions& o) {
                EXPECT_EQ(o.publishers, (Args{"Ona", "Jonas Petrauskas"}));
                EXPECT_FALSE(o.header);
            }},
        GoodCase{"folderAfterDoubleDash",
                 {"-a", "-o", "a.pdf", "--", "-data"},
                 [](const PrintToolOptions& o) {
                     EXPECT_EQ(o.dataFolder, "-data");
                 }},
        GoodCase{"passwordResolutionDate",
                 {"data", "-a", "-o", "a.pdf", "--password", "slaptas žodis", "--resolution", "300",
                  "--date", "2028-02-29"},
                 [](const PrintToolOptions& o) {
                     EXPECT_EQ(o.password.value_or(""), "slaptas žodis");
                     EXPECT_EQ(o.resolution, 300);
                     EXPECT_EQ(o.year, 2028);
                     EXPECT_EQ(o.month, 2);
                     EXPECT_EQ(o.day, 29);
                 }},
        GoodCase{"passwordFile",
                 {"data", "-a", "-o", "a.pdf", "--password-file", "pw.txt"},
                 [](const PrintToolOptions& o) {
                     EXPECT_EQ(o.passwordFile, "pw.txt");
                 }},
        GoodCase{"printerWithJobOptionsInOrder",
                 {"data", "-a", "--printer", "Kanceliarija", "-O", "InputSlot=BypassTray",
                  "--option=MediaType=ThickPaper2", "-O", "note=a=b", "-O", "empty="},
                 [](const PrintToolOptions& o) {
                     EXPECT_EQ(o.printer.value_or(""), "Kanceliarija");
                     EXPECT_TRUE(o.output.empty());
                     using Pairs = std::vector<std::pair<std::string, std::string>>;
                     EXPECT_EQ(o.jobOptions, (Pairs{{"InputSlot", "BypassTray"},
                                                    {"MediaType", "ThickPaper2"},
                                                    {"note", "a=b"},
                                                    {"empty", ""}}));
                 }},
        GoodCase{"helpWinsOverAnythingMissing",
                 {"--help"},
                 [](const PrintToolOptions& o) {
                     EXPECT_TRUE(o.help);
                 }},
        GoodCase{"shortHelp",
                 {"-a", "-h"},
                 [](const PrintToolOptions& o) {
                     EXPECT_TRUE(o.help);
                 }},
        GoodCase{"versionWinsOverAnythingMissing",
                 {"--version"},
                 [](const PrintToolOptions& o) {
                     EXPECT_TRUE(o.version);
                     EXPECT_FALSE(o.help);
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(BadCommandLine, IsRefusedWithAReason) {
    const ParsedOptions parsed = parsePrintToolOptions(GetParam().args);
    ASSERT_FALSE(parsed.ok());
    EXPECT_NE(parsed.error.find(GetParam().message), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    Options, BadCommandLine,
    ::testing::Values(
        BadCase{"nothing", {}, "no data folder given"},
        BadCase{"noCards", {"data", "-o", "a.pdf"}, "--publisher or --all"},
        BadCase{"bothChoices", {"data", "-a", "-p", "1", "-o", "a.pdf"}, "exclude each other"},
        BadCase{"filterWithoutAll",
                {"data", "-p", "1", "--filter", "1", "-o", "a.pdf"},
                "--filter chooses the cards of --all"},
        BadCase{
            "filterTooHigh", {"data", "-a", "--filter", "4", "-o", "a.pdf"}, "--filter takes 0"},
        BadCase{
            "filterNegative", {"data", "-a", "--filter", "-1", "-o", "a.pdf"}, "--filter takes 0"},
        BadCase{"filterWord", {"data", "-a", "--filter=two", "-o", "a.pdf"}, "not 'two'"},
        BadCase{"noOutput", {"data", "-a"}, "no output file given"},
        BadCase{"fillWithoutOutput", {"data", "-a", "--fill", "f.pdf"}, "--output-dir FOLDER"},
        BadCase{"fillBothOutputs",
                {"data", "-a", "--fill", "f.pdf", "-o", "a.pdf", "--output-dir", "d"},
                "exclude each other"},
        BadCase{"fillOnAPrinter", {"data", "-a", "--fill", "f.pdf", "--printer", "-"}, "--printer"},
        BadCase{"fillWithMonths",
                {"data", "-a", "--fill", "f.pdf", "-o", "a.pdf", "-m", "all"},
                "every reported month"},
        BadCase{"outputDirWithoutFill", {"data", "-a", "--output-dir", "d"}, "goes with --fill"},
        BadCase{
            "flattenWithoutFill", {"data", "-a", "-o", "a.pdf", "--flatten"}, "goes with --fill"},
        BadCase{"outputNotPdf", {"data", "-a", "-o", "tdat7.bin"}, "must end in .pdf"},
        BadCase{"outputOnlyExtension", {"data", "-a", "-o", "dir/.pdf"}, "must end in .pdf"},
        BadCase{"emptyOutput", {"data", "-a", "--output="}, "--output: the file name is empty"},
        BadCase{
            "unknownLong", {"data", "-a", "-o", "a.pdf", "--bogus"}, "unknown option '--bogus'"},
        BadCase{"unknownShort", {"-x", "data"}, "unknown option '-x'"},
        BadCase{"missingValue", {"data", "-a", "-o"}, "--output needs a value"},
        BadCase{"valueForAFlag", {"data", "--all=yes", "-o", "a.pdf"}, "--all takes no value"},
        BadCase{"twoFolders",
                {"data", "other", "-a", "-o", "a.pdf"},
                "more than one data folder given"},
        BadCase{"folderTwice",
                {"data", "--data", "other", "-a", "-o", "a.pdf"},
                "more than one data folder given"},
        BadCase{"sexMarkWithoutHeader",
                {"data", "-a", "-o", "a.pdf", "--no-header", "--sex-mark"},
                "--sex-mark"},
        BadCase{"cardVersionBeyondTheList",
                {"data", "-a", "-o", "a.pdf", "--card-version", "3"},
                "--card-version takes 0"},
        BadCase{"cardVersionWord",
                {"data", "-a", "-o", "a.pdf", "--card-version=two"},
                "--card-version takes 0"},
        BadCase{"twoPasswords",
                {"data", "-a", "-o", "a.pdf", "--password", "x", "--password-file", "f"},
                "exclude each other"},
        BadCase{"resolutionLow",
                {"data", "-a", "-o", "a.pdf", "--resolution", "71"},
                "--resolution takes"},
        BadCase{"resolutionHigh",
                {"data", "-a", "-o", "a.pdf", "--resolution", "2401"},
                "--resolution takes"},
        BadCase{"resolutionUnit",
                {"data", "-a", "-o", "a.pdf", "--resolution", "600dpi"},
                "--resolution takes"},
        BadCase{"noSuchDay", {"data", "-a", "-o", "a.pdf", "--date", "2027-02-29"}, "--date"},
        BadCase{"shortDate", {"data", "-a", "-o", "a.pdf", "--date", "2027-2-3"}, "--date"},
        BadCase{"rowTooHigh", {"data", "-a", "-o", "a.pdf", "-m", "13"}, "'13' is neither"},
        BadCase{"rowZero", {"data", "-a", "-o", "a.pdf", "-m", "0"}, "'0' is neither"},
        BadCase{"unknownMonth", {"data", "-a", "-o", "a.pdf", "-m", "Rgs,Xyz"}, "'Xyz'"},
        BadCase{"backwardRange", {"data", "-a", "-o", "a.pdf", "-m", "Rgp-Rgs"}, "runs backwards"},
        BadCase{"emptyItem", {"data", "-a", "-o", "a.pdf", "-m", "1,,2"}, "empty item"},
        BadCase{"emptyList", {"data", "-a", "-o", "a.pdf", "-m", " "}, "is empty"},
        BadCase{"optionWithoutEquals",
                {"data", "-a", "--printer", "-", "-O", "InputSlot"},
                "--option takes KEY=VALUE"},
        BadCase{"optionWithoutKey",
                {"data", "-a", "--printer", "-", "-O", "=BypassTray"},
                "--option takes KEY=VALUE"},
        BadCase{"optionForAFile",
                {"data", "-a", "-o", "a.pdf", "-O", "InputSlot=BypassTray"},
                "--option goes with --printer"},
        BadCase{"printerAndOutput",
                {"data", "-a", "-o", "a.pdf", "--printer", "-"},
                "exclude each other"},
        BadCase{"emptyPrinter", {"data", "-a", "--printer="}, "the printer name is empty"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MonthList, RowsNamesAndRanges) {
    const struct {
        const char* list;
        Rows expected;
    } cases[] = {
        {"all", rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})},
        {"1", rows({0})},
        {"12", rows({11})},
        {"Sep", rows({0})},
        {"sau", rows({4})},
        {"RGP", rows({11})},
        {"Rgs-Sau", rows({0, 1, 2, 3, 4})},
        {"jun-aug", rows({9, 10, 11})},
        {" 2 , 3 ", rows({1, 2})},
        {"5-5", rows({4})},
        {"Grd,1-2", rows({0, 1, 3})},
    };
    for (const auto& c : cases) {
        Rows r{};
        EXPECT_EQ(parseMonthList(c.list, r), "") << c.list;
        EXPECT_EQ(r, c.expected) << c.list;
    }
    // A second list adds to the first; a refused list changes nothing.
    Rows r = rows({7});
    EXPECT_EQ(parseMonthList("1", r), "");
    EXPECT_EQ(r, rows({0, 7}));
    EXPECT_NE(parseMonthList("2,99", r), "");
    EXPECT_EQ(r, rows({0, 7}));
}

TEST(FoldCase, LithuanianLettersAndAscii) {
    EXPECT_EQ(foldCase(sample::toCp1257("ŠARŪNAS ŽUKAUSKAS Ąžuolas Ėglė Į")),
              sample::toCp1257("šarūnas žukauskas ąžuolas ėglė į"));
    EXPECT_EQ(foldCase("\xD7\xF7[]@"), "\xD7\xF7[]@"); // × and ÷ are no letters
}

namespace {

class FindPublisher : public ::testing::Test {
protected:
    int add(const std::string& first, const std::string& last, std::uint16_t extension = 0) {
        sample::PublisherSpec p = person(sample::toCp1257(first), sample::toCp1257(last));
        p.extensionIndex = extension;
        p.publisherId = static_cast<std::uint16_t>(300 + f.data.store.currentCount);
        return f.addPublisher(p);
    }
    PublisherLookup find(const std::string& given) { return findPublisher(f.data, given); }
    CardFixture f;
};

} // namespace

TEST_F(FindPublisher, ByRecordNumber) {
    add("Jonas", "Petrauskas");
    const int ona = add("Ona", "Petrauskienė");
    EXPECT_EQ(find("2").record, ona);
    EXPECT_EQ(find(" 2 ").record, ona);
    for (const char* outside : {"0", "3", "99999999999"}) {
        const PublisherLookup none = find(outside);
        EXPECT_NE(none.error.find("the records go from 1 to 2"), std::string::npos) << outside;
    }
    CardFixture empty;
    EXPECT_NE(findPublisher(empty.data, "1").error.find("holds no publishers"), std::string::npos);
}

TEST_F(FindPublisher, ByNameInEveryFormCaseIgnored) {
    add("Jonas", "Petrauskas");
    const int tomas = add("Tomas", "Žukauskas");
    for (const char* name : {"Žukauskas, Tomas", "žukauskas, TOMAS", "Tomas Žukauskas",
                             "ŽUKAUSKAS TOMAS", "  Tomas Žukauskas  ", "Žuk", "tomas ž"}) {
        const PublisherLookup found = find(name);
        EXPECT_EQ(found.record, tomas) << name << ": " << found.error;
    }
    EXPECT_NE(find("Antanas").error.find("no publisher is named 'Antanas'"), std::string::npos);
    EXPECT_NE(find("   ").error.find("empty"), std::string::npos);
}

TEST_F(FindPublisher, AWholeNameBeatsTheStartOfAnother) {
    const int ona = add("Ona", "Kazlauskienė");
    const int marija = add("Ona Marija", "Kazlauskienė");
    EXPECT_EQ(find("Kazlauskienė, Ona").record, ona);
    EXPECT_EQ(find("Ona Marija Kazlauskienė").record, marija);
    // Only a start that both share: say which records fit.
    const PublisherLookup both = find("Kazlausk");
    EXPECT_EQ(both.record, 0);
    EXPECT_NE(both.error.find("fits several publishers: 1 ("), std::string::npos) << both.error;
    EXPECT_NE(both.error.find(" 2 ("), std::string::npos) << both.error;
}

TEST_F(FindPublisher, TwoPublishersOfOneNameNeedTheirNumbers) {
    add("Jonas", "Jonaitis");
    add("Jonas", "Jonaitis");
    const PublisherLookup found = find("Jonas Jonaitis");
    EXPECT_EQ(found.record, 0);
    EXPECT_NE(found.error.find("give the record number"), std::string::npos);
}

TEST_F(FindPublisher, ByLongName) {
    const std::uint16_t id = 301;
    ASSERT_TRUE(sample::writeExtensionFile(
        f.folder.path() / "xten7.dat",
        {sample::encodeExtension(id, sample::toCp1257("Jonas Antanas Petrauskas-Žemaitis"))}));
    countExtensionRecords(f.data);
    const int jonas = add("Jonas", "Petrauskas", 1);
    ASSERT_EQ(f.current(jonas).publisherId(), id);
    add("Jonas", "Petraitis");
    EXPECT_EQ(find("jonas antanas petrauskas-žemaitis").record, jonas);
}

TEST(ApplyCardOptions, TakesTheBoxesAndRefusesADisabledTotal) {
    CardFixture f;
    PrintToolOptions o;
    o.months = rows({0, 3});
    o.header = false;
    o.sexMark = true;
    f.state.lastMonth = 0; // started in February
    EXPECT_EQ(applyCardOptions(o, f.state), "");
    EXPECT_EQ(f.state.monthChecked, rows({0, 3}));
    EXPECT_FALSE(f.state.printHeader);
    EXPECT_FALSE(f.state.markSex); // no header, no mark
    EXPECT_FALSE(f.state.totalChecked);

    o.total = true;
    EXPECT_NE(applyCardOptions(o, f.state).find("--total"), std::string::npos);
    EXPECT_FALSE(f.state.totalChecked);
    f.state.lastMonth = 7; // started in September
    o.header = true;
    o.previousYear = true;
    o.form = true;
    EXPECT_EQ(applyCardOptions(o, f.state), "");
    EXPECT_TRUE(f.state.totalChecked && f.state.markSex && f.state.printHeader &&
                f.state.previousYear && f.state.printForm);
}

TEST(PrintToolUsage, ExplainsEveryOption) {
    const std::string usage = printToolUsage();
    for (const char* option :
         {"--publisher", "--all",      "--filter",        "--months",       "--total",
          "--no-header", "--sex-mark", "--previous-year", "--data",         "--settings",
          "--output",    "--password", "--password-file", "--resolution",   "--date",
          "--printer",   "--option",   "--form",          "--card-version", "--help",
          "--version",   "Exit status"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}
