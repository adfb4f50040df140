// Remarks files: month tables, slots, lookups in both service years.
#include "datafixture.h"
#include "records/remarks.h"

#include <optional>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

const std::filesystem::path PREVIOUS_FOLDER = std::filesystem::path("Roll") / "Rv7_8";

// Current publishers 1-4 have ids 11, 500, 10 and 501.
std::vector<Person> congregation() {
    std::vector<Person> people;
    for (std::uint16_t id : {11, 500, 10, 501}) {
        Person p;
        p.id = id;
        p.firstName = "V" + std::to_string(id);
        people.push_back(p);
    }
    return people;
}

using Expected = std::tuple<int, int, std::optional<std::string>>; // j, m, remark

struct RemarkCase {
    std::string name;
    std::string file;
    std::vector<Expected> expected;
};

void PrintTo(const RemarkCase& c, std::ostream* os) {
    *os << c.name;
}

class Remarks : public DataFolderTestP<RemarkCase> {};

} // namespace

TEST_P(Remarks, ShowWhatTheFileHolds) {
    write("tdat7.bin", publisherFile(" ", false, congregation()));
    write("remark7.dat", GetParam().file);
    load();
    for (const auto& [j, m, remark] : GetParam().expected)
        EXPECT_EQ(remarkFor(data, j, m, false, 3), remark) << j << "/" << m;
}

const std::string FULL(36, 'r');

INSTANTIATE_TEST_SUITE_P(
    RemarksFile, Remarks,
    ::testing::Values(
        RemarkCase{"FirstAndLastMonth",
                   remarkRecordBytes("Sausis", 1, 500) + remarkRecordBytes("Gruodis", 12, 500),
                   {{2, 0, "Sausis"}, {2, 11, "Gruodis"}, {2, 1, std::nullopt}}},
        RemarkCase{"MonthsZeroAndThirteen",
                   remarkRecordBytes("a", 0, 500) + remarkRecordBytes("b", 13, 500),
                   {{2, 0, std::nullopt},
                    {2, 11, std::nullopt},
                    {2, 12, std::nullopt},
                    {2, -1, std::nullopt}}},
        RemarkCase{"IdsBelowEleven",
                   remarkRecordBytes("ten", 2, 10) + remarkRecordBytes("eleven", 2, 11),
                   {{3, 1, std::nullopt}, {1, 1, "eleven"}}},
        RemarkCase{"FullLengthText", remarkRecordBytes(FULL + "Z", 4, 501), {{4, 3, FULL}}},
        RemarkCase{"LaterRemarkWins",
                   remarkRecordBytes("first", 4, 500) + remarkRecordBytes("other", 4, 999) +
                       remarkRecordBytes("second", 4, 500) + remarkRecordBytes("x", 4, 11),
                   {{2, 3, "second"}, {1, 3, "x"}}},
        RemarkCase{"EmptyText", remarkRecordBytes("", 4, 500), {{2, 3, std::nullopt}}},
        RemarkCase{"TrailingPartialRecord",
                   remarkRecordBytes("kept", 5, 501) + "partial",
                   {{4, 4, "kept"}}},
        RemarkCase{"NoSuchPublisher",
                   remarkRecordBytes("x", 5, 501),
                   {{0, 4, std::nullopt}, {5, 4, std::nullopt}, {-3, 4, std::nullopt}}}),
    [](const auto& info) { return info.param.name; });

TEST_F(DataFolderTest, UnknownIdsTakeNoSlotAndAMonthHolds253) {
    write("tdat7.bin", publisherFile(" ", false, congregation()));
    std::string file = remarkRecordBytes("nobody", 1, 999);
    for (int n = 1; n <= 253; ++n)
        file += remarkRecordBytes("r" + std::to_string(n), 1, 500);
    file += remarkRecordBytes("late", 1, 501);
    write("remark7.dat", file);
    load();
    loadMonthRemarks(data, ServiceYear::Current, 0);
    EXPECT_EQ(data.currentRemarks.slotCount, 254);
    EXPECT_EQ(data.currentRemarks.records[1].remarkText(), "r1");
    EXPECT_EQ(current(2).remarkSlot(0), 253);
    EXPECT_EQ(remarkFor(data, 2, 0, false, 3), "r253");
    EXPECT_EQ(remarkFor(data, 4, 0, false, 3), std::nullopt);
}

TEST_F(DataFolderTest, StaleSlotBytesShowNoRemark) {
    std::vector<PublisherRecord> records{headerRecord(" ", true)};
    for (const Person& p : congregation())
        records.push_back(publisherRecord(p, false));
    for (int m = 0; m < 12; ++m)
        records[4].bytes[field::REMARK_SLOT + m] = 1;
    write("tdat7.bin", fileBytes(records));
    write("remark7.dat", remarkRecordBytes("mine", 7, 500));
    load();
    EXPECT_EQ(remarkFor(data, 2, 6, false, 3), "mine");
    EXPECT_EQ(remarkFor(data, 4, 6, false, 3), std::nullopt);
    // The file changed since: his old slot must not show someone else's remark.
    write("remark7.dat", remarkRecordBytes("new", 7, 11) + remarkRecordBytes("x", 8, 500));
    freeze();
    EXPECT_EQ(remarkFor(data, 2, 6, false, 3), std::nullopt);
}

TEST_F(DataFolderTest, PreviousYearRemarksBelongToCurrentPublishers) {
    write("tdat7.bin", publisherFile(" ", false, congregation()));
    PublisherRecord previousHeader = headerRecord(" ", true);
    previousHeader.bytes[header::YEAR_STAMP + 2] = 24;
    write(PREVIOUS_FOLDER / "tdat7.bin",
          fileBytes({previousHeader, publisherRecord(congregation()[0], false)}));
    write(PREVIOUS_FOLDER / "remark7.dat",
          remarkRecordBytes("praeiti", 1, 501) + remarkRecordBytes("ruduo", 10, 501));
    write("remark7.dat", remarkRecordBytes("dabar", 1, 501));
    load();
    ASSERT_EQ(data.store.previousCount, 2);
    // April start (lastMonth 3): January is read from the previous year, May is not.
    EXPECT_EQ(remarkFor(data, 4, 0, true, 3), "praeiti");
    EXPECT_EQ(remarkFor(data, 4, 9, true, 3), "ruduo");
    EXPECT_EQ(remarkFor(data, 4, 0, false, 3), "dabar");
    EXPECT_EQ(remarkFor(data, 4, 9, false, 3), std::nullopt);
    EXPECT_EQ(remarkFor(data, 4, 0, true, 11), "praeiti");
    EXPECT_EQ(HeaderRecord(data.store.previousRecords[0]).yearStamp(2), 24);
}

TEST_F(DataFolderTest, UnreadableRemarksFilesShowNothing) {
    write("tdat7.bin", publisherFile(" ", false, congregation()));
    std::filesystem::create_directories(folder() / "remark7.dat");
    load();
    data.store.currentRecords[2].setRemarkSlot(0, 3);
    EXPECT_EQ(remarkFor(data, 2, 0, false, 3), std::nullopt);
    EXPECT_EQ(data.currentRemarks.slotCount, 1);
    EXPECT_EQ(current(2).remarkSlot(0), 0);
}

// (previousYear, lastMonth, m) -> from the previous year
class YearChoice : public ::testing::TestWithParam<std::tuple<bool, int, int, bool>> {};

TEST_P(YearChoice, FollowsTheServiceYear) {
    const auto [previousYear, lastMonth, m, expected] = GetParam();
    EXPECT_EQ(monthFromPreviousYear(previousYear, lastMonth, m), expected);
}

INSTANTIATE_TEST_SUITE_P(
    RemarksFile, YearChoice,
    ::testing::Values(std::tuple{false, 3, 0, false}, std::tuple{true, 3, 0, true},
                      std::tuple{true, 3, 3, true}, std::tuple{true, 3, 4, false},
                      std::tuple{true, 3, 7, false}, std::tuple{true, 3, 8, true},
                      std::tuple{true, 7, 7, true}, std::tuple{true, 9, 9, true},
                      std::tuple{true, 9, 10, false}, std::tuple{true, 11, 11, true}));

TEST(RemarksFile, FindPublisherById) {
    RecordStore store;
    store.currentRecords.resize(5);
    const std::uint16_t ids[] = {0, 9, 10, 700, 700};
    for (int j = 0; j < 5; ++j)
        store.currentRecords[static_cast<std::size_t>(j)].setU16(field::PUBLISHER_ID, ids[j]);
    store.currentCount = 5;
    EXPECT_EQ(findPublisherById(store, 9), 0);
    EXPECT_EQ(findPublisherById(store, 10), 2);
    EXPECT_EQ(findPublisherById(store, 700), 3);
    EXPECT_EQ(findPublisherById(store, 701), 0);
    store.currentCount = 1;
    EXPECT_EQ(findPublisherById(store, 700), 0);
    store.currentCount = 99; // more than the store holds
    EXPECT_EQ(findPublisherById(store, 12345), 0);
}
