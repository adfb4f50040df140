#include "settings/profile.h"

#include "testfiles.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#ifdef __unix__
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace pelkorl {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;
using namespace std::string_literals;

// Entries directly in `folder`, to see that no temporary file is left behind.
std::size_t entryCount(const fs::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

// ---- reading texts ----

struct TextCase {
    const char* name;
    std::optional<std::string> file; // no file at all when empty
    const char* section;
    const char* key;
    std::string defaultValue;
    std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.name;
}

class ProfileText : public testing::TestWithParam<TextCase> {};

TEST_P(ProfileText, Reads) {
    const TextCase& c = GetParam();
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    if (c.file)
        writeBytes(file, *c.file);
    const ProfileFile profile(file);
    EXPECT_EQ(profile.getString(c.section, c.key, c.defaultValue), c.expected);
    EXPECT_EQ(fs::exists(file), c.file.has_value());
}

const TextCase TEXT_CASES[] = {
    {"CaseOfSectionAndKey", "[margins]\r\nTOP=1.00\r\n", "Margins", "Top", "d", "1.00"},
    {"BlanksAroundEverything", "  [ Margins ]  \r\n\t Top  =  1.5 \t\r\n", "Margins", "Top", "d",
     "1.5"},
    {"BlanksInCallersNames", "[Margins]\r\nTop=2\r\n", " Margins ", " Top ", "d", "2"},
    {"LineFeedOnly", "[A]\nx=1\n[Margins]\nTop=0.30\n", "Margins", "Top", "d", "0.30"},
    {"NoLineEndAtEnd", "[Margins]\r\nTop=0.40", "Margins", "Top", "d", "0.40"},
    {"ByteOrderMark", "\xEF\xBB\xBF[Margins]\r\nTop=0.50\r\n", "Margins", "Top", "d", "0.50"},
    {"KeyOfOtherSection", "[Other]\r\nTop=1\r\n[Margins]\r\nLeft=2\r\n", "Margins", "Top", "d",
     "d"},
    {"KeyBeforeAnySection", "Top=1\r\n[Margins]\r\n", "Margins", "Top", "d", "d"},
    {"FirstSectionOfName", "[Margins]\r\nLeft=1\r\n[Margins]\r\nTop=2\r\n", "Margins", "Top", "d",
     "d"},
    {"FirstKeyOfName", "[Margins]\r\nTop=1\r\ntop=2\r\n", "Margins", "Top", "d", "1"},
    {"CommentIsNoKey", "[Margins]\r\n;Top=9\r\n", "Margins", "Top", "d", "d"},
    {"KeyWithoutEquals", "[Margins]\r\nTop\r\n", "Margins", "Top", "d", "d"},
    {"EmptyValueIsNotDefault", "[Margins]\r\nTop=\r\n", "Margins", "Top", "d", ""},
    {"EqualsInValue", "[Margins]\r\nTop=a=b\r\n", "Margins", "Top", "d", "a=b"},
    {"DoubleQuotes", "[M]\r\nTop=\" 0.25 \"\r\n", "M", "Top", "d", " 0.25 "},
    {"SingleQuotes", "[M]\r\nTop='0.25'\r\n", "M", "Top", "d", "0.25"},
    {"OpeningQuoteOnly", "[M]\r\nTop=\"0.25\r\n", "M", "Top", "d", "\"0.25"},
    {"MixedQuotes", "[M]\r\nTop=\"0.25'\r\n", "M", "Top", "d", "\"0.25'"},
    {"LoneQuote", "[M]\r\nTop=\"\r\n", "M", "Top", "d", "\""},
    {"BackslashAndPercentLiteral", "[Data Location]\r\nFolder=C:\\data\\%USER%\\n\r\n",
     "Data Location", "Folder", "", "C:\\data\\%USER%\\n"},
    {"NulEndsValue", "[M]\r\nTop=ab\0cd\r\n"s, "M", "Top", "d", "ab"},
    {"NulLineElsewhere", "[M]\r\n\0junk\0\r\nTop=1\r\n"s, "M", "Top", "d", "1"},
    {"BracketWithoutClose", "[Margins\r\nTop=1\r\n", "Margins", "Top", "d", "d"},
    {"BrokenHeaderInsideSection", "[Margins]\r\n[Broken\r\nTop=1\r\n", "Margins", "Top", "d", "1"},
    {"HighBytesNotCaseFolded", "[M]\r\n\xDE=1\r\n", "M", "\xFE", "d", "d"},
    {"HighBytesMatchExactly", "[M]\r\n\xDE=1\r\n", "M", "\xDE", "d", "1"},
    {"NoFileGivesDefault", std::nullopt, "Margins", "Top", "0.00", "0.00"},
    {"DefaultLosesTrailingBlanks", std::nullopt, "Margins", "Top", "0.20 \t", "0.20"},
    {"EmptyFile", "", "Margins", "Top", "0.00", "0.00"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProfileText, testing::ValuesIn(TEXT_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- reading numbers ----

struct NumberCase {
    const char* name;
    std::optional<std::string> line; // the key's line in [S]; no line when empty
    int expected;                    // with the default 42
};

void PrintTo(const NumberCase& c, std::ostream* out) {
    *out << c.name;
}

class ProfileNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(ProfileNumber, Reads) {
    const NumberCase& c = GetParam();
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    writeBytes(file, "[S]\r\n" + c.line.value_or("Other=5") + "\r\n");
    EXPECT_EQ(ProfileFile(file).getInt("S", "K", 42), c.expected);
}

const NumberCase NUMBER_CASES[] = {
    {"Plain", "K=256", 256},
    {"Plain259", "K=259", 259},
    {"Negative", "K=-1", -1},
    {"Plus", "K=+5", 5},
    {"StopsAtNonDigit", "K= 7x", 7},
    {"NoDigitsGivesZero", "K=x", 0},
    {"SignOnlyGivesZero", "K=-", 0},
    {"Hexadecimal", "K=0x10", 16},
    {"HexadecimalUpperDigits", "K=0xFf", 255},
    {"NegativeHexadecimal", "K=-0x10", -16},
    {"CapitalXIsNotHex", "K=0X10", 0},
    {"LeadingZero", "K=08", 8},
    {"DecimalPoint", "K=1.5", 1},
    {"Quoted", "K=\"12\"", 12},
    {"EmptyGivesDefault", "K=", 42},
    {"NoEqualsGivesDefault", "K", 42},
    {"MissingGivesDefault", std::nullopt, 42},
    {"WrapsModulo2To32", "K=99999999999", 1215752191},
    {"TwoTo32IsZero", "K=4294967296", 0},
    {"TwoTo32PlusOne", "K=4294967297", 1},
    {"NegativeWraps", "K=-4294967297", -1},
    {"TwoTo31IsNegative", "K=2147483648", -2147483647 - 1},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProfileNumber, testing::ValuesIn(NUMBER_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileFile, TextIsCutToBuffer) {
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    writeBytes(file, "[S]\r\nLong=" + std::string(5000, 'a') + "\r\nShort=0.20\r\n");
    const ProfileFile profile(file);
    EXPECT_EQ(profile.getString("S", "Long", ""), std::string(4095, 'a'));
    EXPECT_EQ(profile.getString("S", "Long", "", 10), std::string(9, 'a'));
    EXPECT_EQ(profile.getString("S", "Short", "", 4), "0.2");
    EXPECT_EQ(profile.getString("S", "Short", "", 5), "0.20");
    EXPECT_EQ(profile.getString("S", "Short", "", 1), "");
    EXPECT_EQ(profile.getString("S", "Short", "", 0), "");
    EXPECT_EQ(profile.getString("S", "None", "abcdef", 4), "abc");
}

// ---- hostile files ----

TEST(ProfileFile, HostileFilesReadWithoutHarm) {
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    const ProfileFile profile(file);

    writeBytes(file, std::string(3'000'000, 'x') + "\r\n[S]\r\nK=1\r\n");
    EXPECT_EQ(profile.getInt("S", "K", 9), 1);

    writeBytes(file, "[S]\r\nK=" + std::string(3'000'000, '7'));
    EXPECT_EQ(profile.getString("S", "K", "").size(), 4095u);

    writeBytes(file, std::string(1'000'000, '['));
    EXPECT_EQ(profile.getInt("S", "K", 9), 9);

    writeBytes(file, std::string(1'000'000, '\n') + "[S]\nK=2");
    EXPECT_EQ(profile.getInt("S", "K", 9), 2);

    writeBytes(file, std::string(100'000, '\0'));
    EXPECT_EQ(profile.getString("S", "K", "d"), "d");

    writeBytes(file, "[S]\r\n[\r\n]\r\n=\r\n==\r\nK");
    EXPECT_EQ(profile.getInt("S", "K", 9), 9);
    EXPECT_EQ(ProfileFile(file).writeString("S", "K", "3"), ProfileWrite::Written);
    EXPECT_EQ(readBytes(file), "[S]\r\n[\r\n]\r\n=\r\n==\r\nK=3");
}

TEST(ProfileFile, TooLargeFileIsNeitherReadNorReplaced) {
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    writeBytes(file, "[S]\r\nK=1\r\n");
    fs::resize_file(file, ProfileFile::MAX_FILE_SIZE + 1);
    ProfileFile profile(file);
    EXPECT_EQ(profile.getInt("S", "K", 9), 9);
    EXPECT_EQ(profile.writeString("S", "K", "2"), ProfileWrite::Unreadable);
    EXPECT_EQ(fs::file_size(file), ProfileFile::MAX_FILE_SIZE + 1);
    EXPECT_EQ(readBytes(file).substr(0, 10), "[S]\r\nK=1\r\n");
    EXPECT_EQ(entryCount(folder.path()), 1u);
}

// ---- writing ----

struct WriteCase {
    const char* name;
    std::optional<std::string> before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.name;
}

class ProfileWrites : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrites, Writes) {
    const WriteCase& c = GetParam();
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    if (c.before)
        writeBytes(file, *c.before);
    ProfileFile profile(file);
    ASSERT_EQ(profile.writeString(c.section, c.key, c.value), ProfileWrite::Written);
    EXPECT_EQ(readBytes(file), c.after);
    // Nothing else is left in the folder.
    EXPECT_EQ(entryCount(folder.path()), 1u);
}

const WriteCase WRITE_CASES[] = {
    {"CreatesFileWithCrLf", std::nullopt, "Margins", "Top", "1.5", "[Margins]\r\nTop=1.5\r\n"},
    {"EmptyFile", "", "Margins", "Top", "1.5", "[Margins]\r\nTop=1.5\r\n"},
    {"ReplacesValueKeepsEverythingElse",
     "; settings\r\n[Format]\r\nCard Version=1\r\nodd line\r\n\r\n[Margins]\r\n  top = 0.50 "
     "\r\nLeft=0.20\r\n",
     "Margins", "Top", "1.00",
     "; settings\r\n[Format]\r\nCard Version=1\r\nodd line\r\n\r\n[Margins]\r\ntop=1.00\r\n"
     "Left=0.20\r\n"},
    {"ReplacesLastLineWithoutLineEnd", "[M]\r\nTop=1", "M", "Top", "2", "[M]\r\nTop=2"},
    {"ReplacesOnlyFirstOfTwoKeys", "[M]\nTop=1\nTop=9\n", "M", "TOP", "2", "[M]\nTop=2\nTop=9\n"},
    {"NewKeyAfterLastLineOfSection", "[Format]\r\nA=1\r\n\r\n[Margins]\r\nLeft=1\r\n", "Format",
     "B", "2", "[Format]\r\nA=1\r\nB=2\r\n\r\n[Margins]\r\nLeft=1\r\n"},
    {"NewKeyAfterComment", "[M]\r\n;Top=1\r\n", "M", "Top", "2", "[M]\r\n;Top=1\r\nTop=2\r\n"},
    {"NewKeyInFirstOfTwoSections", "[M]\r\nA=1\r\n[X]\r\n[M]\r\nB=1\r\n", "m", "C", "3",
     "[M]\r\nA=1\r\nC=3\r\n[X]\r\n[M]\r\nB=1\r\n"},
    {"NewKeyUnderHeaderWithoutLineEnd", "[Format]", "format", "A", "1", "[Format]\r\nA=1\r\n"},
    {"NewSectionAtEndLineFeed", "[Format]\nA=1\n", "Margins", "Top", "x",
     "[Format]\nA=1\n[Margins]\nTop=x\n"},
    {"NewSectionAfterLastLineWithoutEnd", "[Format]\nA=1", "Margins", "Top", "x",
     "[Format]\nA=1\n[Margins]\nTop=x\n"},
    {"NewSectionAfterBrokenHeader", "[Margins\r\nx", "Margins", "Top", "0",
     "[Margins\r\nx\r\n[Margins]\r\nTop=0\r\n"},
    {"SectionNameWithBlank", std::nullopt, "Data Location", "Drive", "0",
     "[Data Location]\r\nDrive=0\r\n"},
    {"CallersBlanksTrimmedValueBlanksQuoted", std::nullopt, " Margins ", " Top ", " 1 ",
     "[Margins]\r\nTop=\" 1 \"\r\n"},
    {"QuotedValueQuotedAgain", std::nullopt, "D", "Folder", "\"a\"", "[D]\r\nFolder=\"\"a\"\"\r\n"},
    {"QuotesRewrittenWhenTheyWouldBeStripped", "[M]\r\nTop= \"1\" \r\n", "M", "Top", "\"1\"",
     "[M]\r\nTop=\"\"1\"\"\r\n"},
    {"QuotedSameValueLeavesFile", "[M]\r\nTop=\"1\"\r\n", "M", "Top", "1", "[M]\r\nTop=\"1\"\r\n"},
    {"ValueBytesLiteral", std::nullopt, "D", "Folder", "C:\\a\\%b%\\n\xFE",
     "[D]\r\nFolder=C:\\a\\%b%\\n\xFE\r\n"},
    {"NulBytesOfOtherLinesKept", "[M]\r\nJunk\0\x01\r\n"s, "M", "Top", "1",
     "[M]\r\nJunk\0\x01\r\nTop=1\r\n"s},
    {"SameValueLeavesFile", "[M]\r\n Top = 1 \r\n", "M", "Top", "1", "[M]\r\n Top = 1 \r\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWrites, testing::ValuesIn(WRITE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
};

void PrintTo(const RefusedCase& c, std::ostream* out) {
    *out << c.name;
}

class ProfileRefusedWrite : public testing::TestWithParam<RefusedCase> {};

TEST_P(ProfileRefusedWrite, LeavesFilesAlone) {
    const RefusedCase& c = GetParam();
    TempFolder folder;
    const fs::path existing = folder.path() / "old.INI";
    const std::string oldBytes = "[M]\r\nTop=1\r\n";
    writeBytes(existing, oldBytes);
    EXPECT_EQ(ProfileFile(existing).writeString(c.section, c.key, c.value), ProfileWrite::Refused);
    EXPECT_EQ(readBytes(existing), oldBytes);
    const fs::path missing = folder.path() / "new.INI";
    EXPECT_EQ(ProfileFile(missing).writeString(c.section, c.key, c.value), ProfileWrite::Refused);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(entryCount(folder.path()), 1u);
}

const RefusedCase REFUSED_CASES[] = {
    {"EmptySection", " ", "Top", "1"},
    {"BracketInSection", "M]", "Top", "1"},
    {"LineBreakInSection", "M\r\nX", "Top", "1"},
    {"EmptyKey", "M", "", "1"},
    {"EqualsInKey", "M", "a=b", "1"},
    {"CommentKey", "M", ";Top", "1"},
    {"SectionLikeKey", "M", "[Top]", "1"},
    {"LineFeedInKey", "M", "T\nop", "1"},
    {"LineBreakInValue", "M", "Top", "1\r\n[X]"},
    {"CarriageReturnInValue", "M", "Top", "1\r2"},
    {"NulInValue", "M", "Top", "1\0002"s},
};

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRefusedWrite, testing::ValuesIn(REFUSED_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileFile, WrittenValuesReadBack) {
    TempFolder folder;
    ProfileFile profile(folder.path() / "p.INI");
    ASSERT_EQ(profile.writeString("Format", "Card Version", "1"), ProfileWrite::Written);
    ASSERT_EQ(profile.writeString("Margins", "Top", "0.35"), ProfileWrite::Written);
    ASSERT_EQ(profile.writeString("format", "card version", "257"), ProfileWrite::Written);
    EXPECT_EQ(profile.getInt("Format", "Card Version", 0), 257);
    EXPECT_EQ(profile.getString("Margins", "Top", ""), "0.35");
    EXPECT_EQ(readBytes(profile.path()),
              "[Format]\r\nCard Version=257\r\n[Margins]\r\nTop=0.35\r\n");
}

// Reading trims blanks and strips a pair of quotes; a value that either would change must
// still read back as it was written, into a new file and over an existing key.
class ProfileRoundTrip : public testing::TestWithParam<std::string> {};

TEST_P(ProfileRoundTrip, ValueReadsBackAsWritten) {
    TempFolder folder;
    ProfileFile profile(folder.path() / "p.INI");
    ASSERT_EQ(profile.writeString("Data Location", "Folder", GetParam()), ProfileWrite::Written);
    EXPECT_EQ(profile.getString("Data Location", "Folder", "none"), GetParam());
    ASSERT_EQ(profile.writeString("Data Location", "Folder", "x"), ProfileWrite::Written);
    ASSERT_EQ(profile.writeString("Data Location", "Folder", GetParam()), ProfileWrite::Written);
    EXPECT_EQ(profile.getString("Data Location", "Folder", "none"), GetParam());
    ASSERT_EQ(profile.writeString("Data Location", "Folder", GetParam()), ProfileWrite::Written);
    EXPECT_EQ(profile.getString("Data Location", "Folder", "none"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileRoundTrip,
                         testing::Values("/media/usb ", " /media/usb", "\t0.20", "0.20\x1a",
                                         "\"quoted\"", "'single'", "\"\"", "\"open ", "\"",
                                         "'mixed\"", " ", "plain"));

TEST(ProfileFile, WriteIntoMissingFolderFails) {
    TempFolder folder;
    ProfileFile profile(folder.path() / "none" / "p.INI");
    EXPECT_EQ(profile.writeString("M", "Top", "1"), ProfileWrite::CannotCreate);
    EXPECT_EQ(entryCount(folder.path()), 0u);
}

TEST(ProfileFile, FolderInPlaceOfFileIsNotReplaced) {
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    fs::create_directory(file);
    writeBytes(file / "inside", "x");
    ProfileFile profile(file);
    EXPECT_EQ(profile.getString("M", "Top", "d"), "d");
    EXPECT_EQ(profile.writeString("M", "Top", "1"), ProfileWrite::Unreadable);
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(entryCount(folder.path()), 1u);
}

#ifdef __unix__

TEST(ProfileFile, WriteKeepsPermissionsAndLinks) {
    TempFolder folder;
    const fs::path real = folder.path() / "real.INI";
    const fs::path link = folder.path() / "link.INI";
    writeBytes(real, "[M]\r\nTop=1\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, link);
    ASSERT_EQ(ProfileFile(link).writeString("M", "Top", "2"), ProfileWrite::Written);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(real), "[M]\r\nTop=2\r\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

// A write that fails half way (here: the file size limit) keeps the old file and leaves
// no temporary file. This works for every user, the superuser included.
TEST(ProfileFile, FailedWriteLeavesOldFileWhole) {
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    const std::string oldBytes = "[M]\r\n" + std::string(200, ';') + "\r\nTop=1\r\n";
    writeBytes(file, oldBytes);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* const oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ProfileWrite written = ProfileFile(file).writeString("M", "Top", "2");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(written, ProfileWrite::CannotWrite);
    EXPECT_EQ(readBytes(file), oldBytes);
    EXPECT_EQ(entryCount(folder.path()), 1u);
}

TEST(ProfileFile, ReadOnlyFolderLeavesOldFileWhole) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    writeBytes(file, "[M]\r\nTop=1\r\n");
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const ProfileWrite written = ProfileFile(file).writeString("M", "Top", "2");
    fs::permissions(folder.path(), fs::perms::owner_all);
    EXPECT_EQ(written, ProfileWrite::CannotCreate);
    EXPECT_EQ(readBytes(file), "[M]\r\nTop=1\r\n");
    EXPECT_EQ(entryCount(folder.path()), 1u);
}

TEST(ProfileFile, UnreadableFileIsNotReplaced) {
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser reads every file";
    TempFolder folder;
    const fs::path file = folder.path() / "p.INI";
    writeBytes(file, "[M]\r\nTop=1\r\nLeft=2\r\n");
    fs::permissions(file, fs::perms::owner_write);
    const ProfileWrite written = ProfileFile(file).writeString("M", "Top", "2");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(written, ProfileWrite::Unreadable);
    EXPECT_EQ(readBytes(file), "[M]\r\nTop=1\r\nLeft=2\r\n");
}

#endif

} // namespace
} // namespace pelkorl
