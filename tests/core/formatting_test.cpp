// Names, dates and the baptized test made from record fields.
#include "card/formatting.h"
#include "records/publisherdata.h"
#include "testfiles.h"

#include <gtest/gtest.h>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

// A store whose publisher 1 has the given names and raw 9-byte date fields.
RecordStore storeWith(const std::string& first, const std::string& last,
                      const std::string& baptism = {}, const std::string& birth = {}) {
    RecordStore store;
    store.currentRecords.resize(2);
    store.currentCount = 2;
    Person p;
    p.firstName = first;
    p.lastName = last;
    store.currentRecords[1] = publisherRecord(p, false);
    auto& bytes = store.currentRecords[1].bytes;
    std::copy(baptism.begin(), baptism.end(), bytes.begin() + field::BAPTISM_DATE);
    std::copy(birth.begin(), birth.end(), bytes.begin() + field::BIRTH_DATE);
    return store;
}

} // namespace

TEST(Formatting, Names) {
    const RecordStore store = storeWith("Jonas", "\xDE"
                                                 "emaitis");
    EXPECT_EQ(formatName(store, 1, true), "\xDE"
                                          "emaitis, Jonas");
    EXPECT_EQ(formatName(store, 1, false), "Jonas \xDE"
                                           "emaitis");
    for (int record : {0, -1, 2, 311})
        EXPECT_EQ(formatName(store, record, true), "") << record;
    const RecordStore noFirst = storeWith("", "Kairys");
    EXPECT_EQ(formatName(noFirst, 1, true), "Kairys, ");
    EXPECT_EQ(formatName(noFirst, 1, false), " Kairys");
}

struct DateCase {
    std::string stored; // the 9 bytes of the field, NULs included
    int format;
    std::string expected;
};

void PrintTo(const DateCase& c, std::ostream* os) {
    *os << c.stored;
}

class Dates : public ::testing::TestWithParam<DateCase> {};

TEST_P(Dates, FollowTheFormat) {
    const DateCase& c = GetParam();
    const RecordStore store = storeWith("A", "B", c.stored, "ignored!");
    EXPECT_EQ(formatDate(store, 1, BAPTISM_DATE, c.format), c.expected);
    const RecordStore births = storeWith("A", "B", "ignored!", c.stored);
    EXPECT_EQ(formatDate(births, 1, BIRTH_DATE, c.format), c.expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Formatting, Dates,
    ::testing::Values(DateCase{"01312002", 0, "01/31/2002"}, DateCase{"01312002", 1, "31/01/2002"},
                      DateCase{"01312002", 2, "Sau 31, 2002"},
                      DateCase{"01312002", 3, "31 Sau, 2002"},
                      DateCase{"01312002", 7, "31 Sau, 2002"},
                      DateCase{"12312002", 1, "31/12/2002"},
                      DateCase{"12312002", 2, "Grd 31, 2002"}, DateCase{"013102  ", 0, "01/31/02"},
                      DateCase{"013102  ", 2, "Sau 31, 02"}, DateCase{"1231\0\0\0\0"s, 0, ""},
                      DateCase{"        ", 0, ""}, DateCase{"", 2, ""},
                      DateCase{"  1231 5", 0, "/12/31 5"}, DateCase{"05011999X", 0, "05/01/1999"},
                      DateCase{"00312002", 2, " 31, 2002"}, DateCase{"13312002", 3, "31 , 2002"},
                      DateCase{"AB312002", 2, " 31, 2002"}, DateCase{"-1312002", 2, " 31, 2002"}));

TEST(Formatting, DatesOfNoPublisherOrNoSuchField) {
    const RecordStore store = storeWith("A", "B", "01312002", "01312002");
    EXPECT_EQ(formatDate(store, 1, 2, 0), "");
    EXPECT_EQ(formatDate(store, 0, BAPTISM_DATE, 0), "");
    EXPECT_EQ(formatDate(store, 2, BIRTH_DATE, 0), "");
}

TEST(Formatting, Baptized) {
    const std::pair<std::string, bool> cases[] = {{"1999    ", false}, {"  1999  ", false},
                                                  {"01311999", true},  {" 1 1999 ", true},
                                                  {"", false},         {"\t\t\t\t12345", true}};
    for (const auto& [date, baptized] : cases)
        EXPECT_EQ(isBaptized(storeWith("A", "B", date), 1), baptized) << date;
    EXPECT_FALSE(isBaptized(storeWith("A", "B", "01311999"), 2));
}

TEST(Formatting, TrimBlanks) {
    const std::pair<std::string, std::string> cases[] = {{"  a b \t\r\n", "a b"},
                                                         {"", ""},
                                                         {" \t ", ""},
                                                         {"\v\fx\v", "x"},
                                                         {"\xA0x\xA0", "\xA0x\xA0"}};
    for (auto [text, expected] : cases) {
        trimBlanks(text);
        EXPECT_EQ(text, expected);
    }
}
