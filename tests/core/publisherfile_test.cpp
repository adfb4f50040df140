// Publisher file: reading, unshifting, the store, matching, the load and the figures.
#include "card/formatting.h"
#include "datafixture.h"
#include "records/extension.h"
#include "settings/layoutfile.h"

#include <algorithm>
#include <map>

#ifdef __unix__
#include <sys/stat.h>
#endif

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

const std::filesystem::path PREVIOUS = std::filesystem::path("Roll") / "Rv7_8" / "tdat7.bin";

std::span<const std::uint8_t> asBytes(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

Person person(std::uint16_t id, const std::string& first, const std::string& last) {
    Person p;
    p.id = id;
    p.firstName = first;
    p.lastName = last;
    return p;
}

} // namespace

TEST(RecordStore, AllocatesZeroFilledCapacityAndFrees) {
    RecordStore store;
    store.currentCount = 7;
    std::string message;
    ASSERT_TRUE(allocateRecordStore(store, [&](const std::string& m) { message = m; }));
    EXPECT_EQ(message, "");
    ASSERT_EQ(store.currentRecords.size(), 310u);
    ASSERT_EQ(store.previousRecords.size(), 310u);
    EXPECT_EQ(store.currentCount, 0);
    for (const auto& r : store.currentRecords)
        ASSERT_EQ(r.bytes, PublisherRecord{}.bytes);
    freeRecordStore(store);
    EXPECT_TRUE(store.currentRecords.empty());
    EXPECT_EQ(formatName(store, 1, true), ""); // nothing to read, nothing read
}

// File size in bytes -> records read.
class FileSizes : public DataFolderTestP<std::pair<std::size_t, int>> {};

TEST_P(FileSizes, CountsWholeRecordsUpToCapacity) {
    const auto [size, expected] = GetParam();
    std::string bytes;
    for (std::size_t r = 0; r * RECORD_SIZE < size; ++r)
        bytes +=
            fileBytes({publisherRecord(person(static_cast<std::uint16_t>(r), "V", "P"), false)});
    bytes.resize(size);
    EXPECT_EQ(readPublisherRecords(asBytes(bytes), data.store.currentRecords), expected);
    EXPECT_EQ(data.store.currentRecords.size(), 310u);
    if (expected > 1) {
        EXPECT_EQ(current(expected - 1).publisherId(), expected - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PublisherFile, FileSizes,
    ::testing::ValuesIn(std::vector<std::pair<std::size_t, int>>{
        {0, 0}, {335, 0}, {336, 1}, {336 * 3 + 100, 3}, {336 * 310, 310}, {336 * 400 + 7, 310}}));

TEST_F(DataFolderTest, UnreadableFilesReadAsMissing) {
    std::filesystem::create_directories(folder() / "tdat7.bin");
    std::filesystem::create_directories(folder() / PREVIOUS);
    write("small.bin", std::string(336 * 5, 'x'));
#ifdef __unix__
    // A pipe is turned away at once instead of waiting for a writer.
    ASSERT_EQ(mkfifo((folder() / "pipe.bin").c_str(), 0600), 0);
#endif
    freeze();
    Bytes bytes{1, 2, 3};
    EXPECT_EQ(readFilePart(folder() / "tdat7.bin", 0, 1000, bytes), ReadError::NotRegular);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(readFilePart(folder() / "nothing.bin", 0, 1000, bytes), ReadError::Missing);
    EXPECT_EQ(readFilePart({}, 0, 1000, bytes), ReadError::Missing);
#ifdef __unix__
    EXPECT_EQ(readFilePart(folder() / "pipe.bin", 0, 1000, bytes), ReadError::NotRegular);
#endif
    EXPECT_EQ(readFilePart(folder() / "small.bin", 336 * 4 + 300, 1000, bytes), ReadError::None);
    EXPECT_EQ(bytes.size(), 36u);
    EXPECT_EQ(readFilePart(folder() / "small.bin", 336 * 9, 1000, bytes), ReadError::None);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(readWholeFile(folder() / "small.bin", 336 * 5 - 1, bytes), ReadError::TooLarge);
    EXPECT_EQ(readWholeFile(folder() / "small.bin", 336 * 5, bytes), ReadError::None);
    std::vector<PublisherRecord> small(2);
    EXPECT_EQ(readPublisherRecords(bytes, small), 2);
    EXPECT_FALSE(previousFileUsable(readFilePart, folder()));
    EXPECT_EQ(load(), StartState::Running);
    EXPECT_EQ(data.store.currentCount, 1);
}

// Previous-year file size -> usable.
class PreviousSizes : public DataFolderTestP<std::pair<std::size_t, bool>> {};

TEST_P(PreviousSizes, NeedsMoreThan500Bytes) {
    write(PREVIOUS, std::string(GetParam().first, '\0'));
    freeze();
    EXPECT_EQ(previousFileUsable(readFilePart, folder()), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(PublisherFile, PreviousSizes,
                         ::testing::ValuesIn(std::vector<std::pair<std::size_t, bool>>{
                             {0, false}, {336, false}, {500, false}, {501, true}, {672, true}}));

TEST_F(DataFolderTest, MissingCurrentFileGivesOpenHeader) {
    data.store.currentRecords[0].bytes.fill(0x55);
    EXPECT_EQ(load(), StartState::Running);
    EXPECT_EQ(data.store.currentCount, 1);
    EXPECT_TRUE(prompted.empty());
    EXPECT_EQ(HeaderRecord(current(0)).dataPassword(), " ");
    EXPECT_TRUE(HeaderRecord(current(0)).textsPlain());
    EXPECT_EQ(current(0).bytes[100], 0);
}

TEST_F(DataFolderTest, UnallocatedStoreLoadsNothing) {
    freeRecordStore(data.store);
    write("tdat7.bin", publisherFile(" ", true, {person(20, "A", "B")}));
    EXPECT_EQ(load(), StartState::Running);
    EXPECT_EQ(data.store.currentCount, 0);
}

TEST_F(DataFolderTest, PlainFileKeepsTextsShiftedFileIsUnshifted) {
    Person p = person(20, "Jonas\xCC", "Petraitis");
    p.address = "Gatv\xEB 1";
    p.homePhone = "123";
    p.mobilePhone = "86123";
    p.spareText = "x";
    p.baptismDate = "01312002";
    p.birthDate = "12311960";
    for (bool plain : {true, false}) {
        write("tdat7.bin", publisherFile("slaptas", plain, {p}));
        prompted.clear();
        load();
        ASSERT_EQ(data.store.currentCount, 2);
        EXPECT_EQ(prompted, std::vector<std::string>{"slaptas"}) << plain;
        const PublisherRecord& r = current(1);
        EXPECT_EQ(r.firstName(), "Jonas\xCC");
        EXPECT_EQ(r.lastName(), "Petraitis");
        EXPECT_EQ(r.address(), "Gatv\xEB 1");
        EXPECT_EQ(r.homePhone() + r.mobilePhone() + r.spareText(), "12386123x");
        EXPECT_EQ(r.baptismDate() + r.birthDate(), "0131200212311960");
    }
}

// (field offset, position of a stored 204, kept as it is)
class KeptBytes : public ::testing::TestWithParam<std::tuple<std::size_t, std::size_t, bool>> {};

TEST_P(KeptBytes, FollowTheFieldRule) {
    const auto [offset, position, kept] = GetParam();
    std::vector<PublisherRecord> records(2);
    for (std::size_t i = 0; i <= position; ++i)
        records[1].bytes[offset + i] = static_cast<std::uint8_t>('x' + i + TEXT_SHIFT);
    records[1].bytes[offset + position] = KEPT_BYTE;
    unshiftTexts(records, 2);
    EXPECT_EQ(records[1].bytes[offset + position],
              kept ? KEPT_BYTE : static_cast<std::uint8_t>(KEPT_BYTE - position - TEXT_SHIFT));
    if (position > 0) {
        EXPECT_EQ(records[1].bytes[offset + position - 1], 'x');
    }
}

INSTANTIATE_TEST_SUITE_P(
    PublisherFile, KeptBytes,
    ::testing::Values(
        std::tuple{field::FIRST_NAME, 0, true}, std::tuple{field::FIRST_NAME, 19, true},
        std::tuple{field::LAST_NAME, 0, true}, std::tuple{field::LAST_NAME, 12, true},
        std::tuple{field::ADDRESS, 0, true}, std::tuple{field::ADDRESS, 29, true},
        std::tuple{field::ADDRESS, 30, false}, std::tuple{field::ADDRESS, 61, false},
        std::tuple{field::HOME_PHONE, 0, false}, std::tuple{field::HOME_PHONE, 13, false},
        std::tuple{field::MOBILE_PHONE, 14, false}, std::tuple{field::SPARE_TEXT, 3, false},
        std::tuple{field::BAPTISM_DATE, 7, false}, std::tuple{field::BIRTH_DATE, 0, false}));

TEST_F(DataFolderTest, FullFieldsStayInsideTheirFields) {
    Person p = person(20, std::string(21, 'F'), std::string(21, 'L'));
    p.address = std::string(63, 'a');
    p.homePhone = std::string(15, '1');
    p.mobilePhone = std::string(15, '2');
    p.spareText = std::string(15, '3');
    p.baptismDate = "011520009";
    p.birthDate = "021519609";
    for (bool plain : {true, false}) {
        write("tdat7.bin", publisherFile(std::string(21, 'p'), plain, {p}));
        prompted.clear();
        load();
        const PublisherRecord& r = current(1);
        EXPECT_EQ(r.firstName(), std::string(20, 'F')) << plain;
        EXPECT_EQ(r.lastName(), std::string(20, 'L'));
        EXPECT_EQ(r.address(), std::string(62, 'a'));
        EXPECT_EQ(r.homePhone(), std::string(14, '1'));
        EXPECT_EQ(r.mobilePhone(), std::string(15, '2'));
        EXPECT_EQ(r.spareText(), std::string(15, '3'));
        EXPECT_EQ(r.baptismDate() + r.birthDate(), "0115200002151960");
        EXPECT_EQ(prompted, std::vector<std::string>{std::string(20, 'p')});
    }
}

TEST(HeaderRecord, PasswordWithoutTerminatorIsBoundedByItsField) {
    PublisherRecord header = headerRecord("", true);
    std::fill_n(header.bytes.begin() + 2, 21, 'q');
    header.bytes[23] = 'A';
    header.bytes[24] = 'Z';
    EXPECT_EQ(HeaderRecord(header).dataPassword(), std::string(21, 'q'));
    RecordStore store;
    store.currentRecords = {header};
    std::string asked;
    EXPECT_FALSE(checkDataPassword(store, [&](const std::string& p) {
        asked = p;
        return false;
    }));
    EXPECT_EQ(asked, std::string(21, 'q'));
    EXPECT_FALSE(checkDataPassword(store, nullptr));
}

TEST_F(DataFolderTest, RefusedPasswordAbortsAndSkipsPreviousYear) {
    write("tdat7.bin", publisherFile("x", false, {person(20, "A", "B")}));
    write(PREVIOUS, publisherFile(" ", true, {person(20, "A", "B")}));
    EXPECT_EQ(load(StartState::Running, false), StartState::Aborted);
    EXPECT_EQ(data.store.previousCount, 0);
    EXPECT_EQ(current(1).previousLink(), 0);
    prompted.clear();
    EXPECT_EQ(load(StartState::Aborted, true),
              StartState::Aborted); // already aborted: not asked again
    EXPECT_TRUE(prompted.empty());
    EXPECT_EQ(load(StartState::Running, true), StartState::Running);
    EXPECT_EQ(data.store.previousCount, 2);
    EXPECT_EQ(current(1).previousLink(), 1);
}

TEST_F(DataFolderTest, OneHeaderFileIsNoPublishersAndNoPreviousYear) {
    write("tdat7.bin", publisherFile(" ", false, {}));
    write(PREVIOUS, publisherFile(" ", true, {}));
    load();
    EXPECT_EQ(data.store.currentCount, 1);
    EXPECT_EQ(data.store.previousCount, 0);
}

TEST_F(DataFolderTest, RemovableFolderServesOnlyThePublisherFile) {
    write("tdat7.bin", publisherFile(" ", true, {person(20, "Here", "X")}));
    write("removable/tdat7.bin", publisherFile(" ", true, {person(20, "There", "X")}));
    write("removable/xten7.dat", std::string(192 * 3, '\0'));
    location.dataDrive = 1;
    load();
    EXPECT_EQ(current(1).firstName(), "There");
    EXPECT_EQ(data.extensionCount, 0);
    location.startDrive = 1; // already the current drive: no prefix
    load();
    EXPECT_EQ(current(1).firstName(), "Here");
    location.startDrive = 0;
    location.removableFolder.clear();
    load();
    EXPECT_EQ(data.store.currentCount, 1);
}

// How the files of a data folder are found: in any letter case (data copied from Windows),
// the exact spelling first, and only as regular files: a pipe, a folder or a link loop
// counts as missing and never blocks the load, and gives way to another spelling that is a
// regular file (a folder on the way).
enum class Entry { Data, Other, Pipe, Folder, LinkLoop, BrokenLink };

struct FoundCase {
    std::string name;
    std::vector<std::pair<std::string, Entry>> entries; // relative path -> what is there
    std::string firstName;                              // of publisher 1; "" for none
    bool extras; // long name, remark, previous year and layout found
};

class FoundFiles : public DataFolderTestP<FoundCase> {
protected:
    bool noLinks = false; // the system makes no symbolic links (Windows without the right)

    void make(const std::string& relative, Entry entry) {
        const std::filesystem::path file = folder() / relative;
        std::filesystem::create_directories(file.parent_path());
        std::string name = file.filename().string();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        Person p = person(500, entry == Entry::Other ? "Other" : "Jonas", "P");
        p.extensionIndex = 1;
        switch (entry) {
        case Entry::Data:
        case Entry::Other:
            if (name == "xten7.dat")
                write(relative, std::string(192, '\0') + extensionRecordBytes(500, "Jonas Ilgas"));
            else if (name == "remark7.dat")
                write(relative, remarkRecordBytes("Pastaba", 1, 500));
            else if (name == "cplot.dat")
                write(relative, std::string(CARD_LAYOUT_SIZE, '1'));
            else
                write(relative, publisherFile(" ", true, {p}));
            break;
        case Entry::Pipe:
#ifdef __unix__
            ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
#endif
            break;
        case Entry::Folder:
            std::filesystem::create_directory(file);
            break;
        case Entry::LinkLoop:
        case Entry::BrokenLink: {
            std::error_code error;
            std::filesystem::create_symlink(
                entry == Entry::LinkLoop ? file.filename() : std::filesystem::path("gone"), file,
                error);
            noLinks = noLinks || error;
            break;
        }
        }
    }
};

// Two names of the row (or of folders on their way) that differ only in letter case: a file
// system that ignores case holds one of them only (Windows).
bool needsTwoSpellings(const FoundCase& row) {
    std::map<std::string, std::string> spellings; // folded -> as written
    for (const auto& entry : row.entries) {
        std::string prefix;
        for (const auto& part : std::filesystem::path(entry.first)) {
            prefix += (prefix.empty() ? "" : "/") + part.string();
            std::string folded = prefix;
            std::transform(folded.begin(), folded.end(), folded.begin(),
                           [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
            const auto [at, added] = spellings.emplace(folded, prefix);
            if (!added && at->second != prefix)
                return true;
        }
    }
    return false;
}

TEST_P(FoundFiles, AnyCaseExactFirstRegularOnly) {
    if (needsTwoSpellings(GetParam())) {
        write("case-probe", "");
        const bool oneFile = std::filesystem::exists(folder() / "CASE-PROBE");
        std::filesystem::remove(folder() / "case-probe");
        if (oneFile)
            GTEST_SKIP() << "names that differ only in letter case are one file here";
    }
    for (const auto& [relative, entry] : GetParam().entries)
        make(relative, entry);
    if (noLinks)
        GTEST_SKIP() << "no symbolic links here";
    load();
    EXPECT_EQ(current(1).firstName(), GetParam().firstName);
    const bool extras = GetParam().extras;
    EXPECT_EQ(loadExtension(data, 1) != 0, extras);
    EXPECT_EQ(current(1).remarkSlot(0) != 0, extras);
    EXPECT_EQ(current(1).previousLink() != 0, extras);
    CardLayout layout;
    EXPECT_EQ(loadLayout(layout, 0, folder()), extras);
    // Written back under the name it was found as; nothing else is written (TearDown).
    if (extras) {
        EXPECT_EQ(saveLayout(layout, 0, folder()), WriteResult::Written);
    }
}

std::vector<std::pair<std::string, Entry>> everyFile(const std::vector<std::string>& names,
                                                     Entry entry) {
    std::vector<std::pair<std::string, Entry>> entries;
    for (const std::string& name : names)
        entries.emplace_back(name, entry);
    return entries;
}

const std::vector<std::string> LOWER = {"tdat7.bin", "xten7.dat", "remark7.dat",
                                        "Roll/Rv7_8/tdat7.bin", "cplot.dat"};

// Each file as `unusable` under its own name and as data in capitals beside it.
std::vector<std::pair<std::string, Entry>> unusableBeforeData(Entry unusable) {
    std::vector<std::pair<std::string, Entry>> entries = everyFile(LOWER, unusable);
    for (const char* name :
         {"TDAT7.BIN", "XTEN7.DAT", "REMARK7.DAT", "Roll/Rv7_8/TDAT7.BIN", "CPLOT.DAT"})
        entries.emplace_back(name, Entry::Data);
    return entries;
}

INSTANTIATE_TEST_SUITE_P(
    DataFolder, FoundFiles,
    ::testing::Values(FoundCase{"as named", everyFile(LOWER, Entry::Data), "Jonas", true},
                      FoundCase{"upper case",
                                everyFile({"TDAT7.BIN", "XTEN7.DAT", "REMARK7.DAT",
                                           "ROLL/RV7_8/TDAT7.BIN", "CPLOT.DAT"},
                                          Entry::Data),
                                "Jonas", true},
                      FoundCase{"mixed case",
                                everyFile({"Tdat7.Bin", "xTen7.dat", "Remark7.DAT",
                                           "roll/rv7_8/Tdat7.bin", "Cplot.dat"},
                                          Entry::Data),
                                "Jonas", true},
                      FoundCase{"exact spelling wins",
                                {{"TDAT7.BIN", Entry::Data}, {"tdat7.bin", Entry::Other}},
                                "Other",
                                false},
                      FoundCase{"first other spelling in byte order",
                                {{"Tdat7.bin", Entry::Other}, {"TDAT7.BIN", Entry::Data}},
                                "Jonas",
                                false},
#ifdef __unix__
                      FoundCase{"pipes", everyFile(LOWER, Entry::Pipe), "", false},
#endif
                      FoundCase{"folders", everyFile(LOWER, Entry::Folder), "", false},
                      FoundCase{"link loops", everyFile(LOWER, Entry::LinkLoop), "", false},
                      // "Roll" a file, the previous year's folder spelled "roll/rv7_8".
                      FoundCase{"folders before files",
                                {{"tdat7.bin", Entry::Folder},
                                 {"TDAT7.BIN", Entry::Data},
                                 {"xten7.dat", Entry::Folder},
                                 {"XTEN7.DAT", Entry::Data},
                                 {"remark7.dat", Entry::Folder},
                                 {"REMARK7.DAT", Entry::Data},
                                 {"cplot.dat", Entry::Folder},
                                 {"CPLOT.DAT", Entry::Data},
                                 {"Roll", Entry::Other},
                                 {"roll/rv7_8/tdat7.bin", Entry::Data}},
                                "Jonas",
                                true},
                      FoundCase{"broken links before files", unusableBeforeData(Entry::BrokenLink),
                                "Jonas", true},
                      FoundCase{"link loops before files", unusableBeforeData(Entry::LinkLoop),
                                "Jonas", true}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

struct MatchCase {
    std::string name;
    Person now;
    std::vector<Person> before;
    int link;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
    *os << c.name;
}

class Matching : public DataFolderTestP<MatchCase> {};

TEST_P(Matching, LinksByIdAndOneName) {
    const MatchCase& c = GetParam();
    // A link stored in the file is never used.
    PublisherRecord now = publisherRecord(c.now, true);
    now.setPreviousLink(1);
    write("tdat7.bin", fileBytes({headerRecord(" ", false), now}));
    write(PREVIOUS, publisherFile(" ", false, c.before));
    load();
    EXPECT_EQ(current(1).previousLink(), c.link);
    EXPECT_EQ(&linkedPreviousRecord(data.store, 1),
              c.link ? &data.store.previousRecords[static_cast<std::size_t>(c.link)]
                     : &linkedPreviousRecord(data.store, 0));
}

INSTANTIATE_TEST_SUITE_P(
    PublisherFile, Matching,
    ::testing::Values(
        MatchCase{"SameFirstName", person(20, "Ona", "A"), {person(20, "Ona", "B")}, 1},
        MatchCase{"SameLastName",
                  person(20, "Ona", "A"),
                  {person(5, "x", "y"), person(20, "Eva", "A")},
                  2},
        MatchCase{"BothNamesChanged", person(20, "Ona", "A"), {person(20, "Eva", "B")}, 0},
        MatchCase{"CaseDiffers", person(20, "Ona", "A"), {person(20, "ona", "a")}, 0},
        MatchCase{"IdZeroNeverMatches", person(0, "Ona", "A"), {person(0, "Ona", "A")}, 0},
        MatchCase{"OtherId", person(20, "Ona", "A"), {person(21, "Ona", "A")}, 0},
        MatchCase{"LaterWins",
                  person(20, "Ona", "A"),
                  {person(20, "Ona", "X"), person(20, "Ona", "Y"), person(20, "Eva", "Z")},
                  2}),
    [](const auto& info) { return info.param.name; });

TEST(PublisherRecord, UnlinkedPreviousYearFiguresAreZero) {
    RecordStore store;
    store.currentRecords.resize(3);
    store.previousRecords.resize(3);
    store.currentCount = 3;
    store.previousCount = 2;
    store.previousRecords[0].bytes.fill(0xFF);
    store.previousRecords[1].bytes[field::HOURS] = 7;
    store.currentRecords[1].setPreviousLink(1);
    store.currentRecords[2].setPreviousLink(2); // beyond the loaded records
    EXPECT_EQ(literatureFigures(linkedPreviousRecord(store, 1), 0).hours, 7);
    for (int j : {0, 2, 3, -1}) {
        EXPECT_EQ(literatureFigures(linkedPreviousRecord(store, j), 0).hours, 0) << j;
        EXPECT_EQ(linkedPreviousRecord(store, j).serviceStatus(0), 0);
    }
}

TEST(PublisherRecord, FiguresFollowBothBitLayouts) {
    PublisherRecord r;
    const int m = 4;
    auto set = [&](std::size_t offset, std::uint8_t v) {
        r.bytes[offset + m] = v;
    };
    set(field::FIGURES_216, 0x11);
    set(field::FIGURES_228, 0x22);
    set(field::MONTH_STATUS, 0xAE); // brochures 0xA, magazines 0x3, status 2
    set(field::HOURS, 250);
    set(field::FIGURES_252, 0x85); // subscriptions 5, return visits 0x2
    set(field::FIGURES_264, 0x33);
    set(field::FIGURES_276, 0xC4);
    set(field::FIGURES_288, 0x67); // Bible studies 0x27, magazines 0x1; placements 6, videos 7
    set(field::QUARTER_HOURS, 0xFE);
    r.bytes[field::HOURS + m + 1] = 99; // the next month stays out
    const LiteratureFigures l = literatureFigures(r, m);
    EXPECT_EQ(std::vector<int>({l.books, l.brochures, l.hours, l.subscriptions, l.magazines,
                                l.returnVisits, l.bibleStudies}),
              std::vector<int>({0x11, 0xA22, 250, 5, 0xD33, 0x2C4, 0x27}));
    const PlacementFigures p = placementFigures(r, m);
    EXPECT_EQ(
        std::vector<int>({p.placements, p.videoShowings, p.hours, p.returnVisits, p.bibleStudies}),
        std::vector<int>({0x611, 0x722, 250, 0x385, 0x33}));
    EXPECT_EQ(r.serviceStatus(m), 2);
    EXPECT_EQ(r.quarterHours(m), 2);
    EXPECT_EQ(literatureFigures(r, 12).hours, 0);
    EXPECT_EQ(placementFigures(r, -1).hours, 0);
}
