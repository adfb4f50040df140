// Extension file: record count, lookups, failed lookups and the letter bits.
#include "datafixture.h"
#include "records/extension.h"

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

std::string extensionFile(int records) {
    std::string bytes;
    for (int n = 0; n < records; ++n)
        bytes += extensionRecordBytes(static_cast<std::uint16_t>(1000 + n),
                                      "Vardas Nr" + std::to_string(n));
    return bytes;
}

} // namespace

// File size in bytes -> extensionCount.
class ExtensionSizes : public DataFolderTestP<std::pair<std::size_t, int>> {};

TEST_P(ExtensionSizes, CountsWholeRecordsUpTo601) {
    write("xten7.dat", std::string(GetParam().first, '\x07'));
    freeze();
    data.extensionCount = 55;
    countExtensionRecords(data);
    EXPECT_EQ(data.extensionCount, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Extension, ExtensionSizes,
    ::testing::ValuesIn(std::vector<std::pair<std::size_t, int>>{
        {0, 0}, {191, 0}, {192 * 5, 5}, {192 * 5 + 100, 5}, {192 * 601, 601}, {192 * 700, 601}}));

TEST_F(DataFolderTest, ExtensionFileMissingOrAFolder) {
    for (bool asFolder : {false, true}) {
        if (asFolder)
            std::filesystem::create_directory(folder() / "xten7.dat");
        data.extensionCount = 9;
        countExtensionRecords(data);
        EXPECT_EQ(data.extensionCount, 0);
    }
}

struct LookupCase {
    std::string name;
    std::string file;     // the extension file
    std::uint16_t id;     // of the publisher
    std::uint16_t index;  // his extensionIndex
    int bits;             // loadExtension's answer
    std::string longName; // currentExtension afterwards
    std::uint16_t indexAfter;
};

void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << c.name;
}

class Lookups : public DataFolderTestP<LookupCase> {};

TEST_P(Lookups, AnswerAndKeepOrClearTheIndex) {
    const LookupCase& c = GetParam();
    Person p;
    p.id = c.id;
    p.firstName = "V";
    p.extensionIndex = c.index;
    // A plain publisher file does not change how extension texts are read.
    write("tdat7.bin", publisherFile(" ", true, {p}));
    write("xten7.dat", c.file);
    load();
    EXPECT_EQ(loadExtension(data, 1), c.bits);
    EXPECT_EQ(data.currentExtension.longName(), c.longName);
    EXPECT_EQ(current(1).extensionIndex(), c.indexAfter);
    if (c.indexAfter == 0) { // later lookups stop early and find nothing again
        EXPECT_EQ(loadExtension(data, 1), 0);
    }
}

const std::string LETTERS(64, 'z');

INSTANTIATE_TEST_SUITE_P(
    Extension, Lookups,
    ::testing::Values(
        LookupCase{"Found", extensionFile(5), 1002, 2, 1, "Vardas Nr2", 2},
        LookupCase{"NoIndex", extensionFile(5), 1002, 0, 0, "", 0},
        LookupCase{"IndexEqualsCount", extensionFile(5), 1005, 5, 0, "", 0},
        LookupCase{"IndexAboveCount", extensionFile(5), 1006, 6, 0, "", 0},
        LookupCase{"OtherId", extensionFile(5), 77, 3, 0, "", 0},
        LookupCase{"DigitsOnly",
                   extensionFile(2) + extensionRecordBytes(20, "12-34 (5)", "", "Kita"), 20, 2, 0,
                   "12-34 (5)", 2},
        LookupCase{"LetterInSecondText", extensionFile(2) + extensionRecordBytes(20, "123", "b"),
                   20, 2, 2, "123", 2},
        LookupCase{"BothTexts", extensionFile(2) + extensionRecordBytes(20, "A", "b"), 20, 2, 3,
                   "A", 2},
        LookupCase{"BalticLettersDoNotCount",
                   extensionFile(2) + extensionRecordBytes(20, "\xE0\xE8\xE6"), 20, 2, 0,
                   "\xE0\xE8\xE6", 2},
        LookupCase{"LongNameFillsItsField",
                   extensionFile(2) +
                       extensionRecordBytes(20, LETTERS + "XY", std::string(60, 'c')),
                   20, 2, 3, LETTERS, 2},
        LookupCase{"Record700OfAFile", extensionFile(700), 1600, 600, 1, "Vardas Nr600", 600},
        LookupCase{"Record601OfAFile", extensionFile(700), 1601, 601, 0, "", 0},
        LookupCase{"Record650OfAFile", extensionFile(700), 1650, 650, 0, "", 0}),
    [](const auto& info) { return info.param.name; });

TEST_F(DataFolderTest, FailedLookupsLeaveNoOtherPublishersName) {
    Person a, b;
    a.id = 1001;
    a.extensionIndex = 1;
    b.id = 1002;
    b.extensionIndex = 2;
    write("tdat7.bin", publisherFile(" ", false, {a, b}));
    write("xten7.dat", extensionFile(2) + std::string(100, 'x'));
    load();
    EXPECT_EQ(loadExtension(data, 1), 1);
    EXPECT_EQ(data.currentExtension.extensionText2(), "");
    EXPECT_EQ(loadExtension(data, 2), 0); // == count
    EXPECT_EQ(data.currentExtension.longName(), "");
    EXPECT_EQ(loadExtension(data, 1), 1);
    for (int j : {0, -1, 3, 400})
        EXPECT_EQ(loadExtension(data, j), 0) << j;
    EXPECT_EQ(data.currentExtension.longName(), "");
}

TEST_F(DataFolderTest, FileShortenedAfterCountingFailsTheFetch) {
    Person a;
    a.id = 1003;
    a.extensionIndex = 3;
    write("tdat7.bin", publisherFile(" ", true, {a}));
    write("xten7.dat", extensionFile(5));
    load();
    write("xten7.dat", extensionFile(3) + "short");
    freeze();
    EXPECT_EQ(loadExtension(data, 1), 0);
    EXPECT_EQ(current(1).extensionIndex(), 0);
}
