#include "card/publisherfilter.h"

#include "records/publisherdata.h"
#include "sampledata.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pelkorl {
namespace {

TEST(PublisherFilter, PrefixComparesAsciiLettersWithoutCase) {
    struct Case {
        const char* text;
        const char* prefix;
        bool begins;
    };
    const Case cases[] = {
        {"Baltrus, Ona", "ba", true},
        {"Baltrus, Ona", "BALTRUS, o", true},
        {"Baltrus, Ona", "", true},
        {"Baltrus, Ona", "bo", false},
        {"Ba", "Bal", false},
        // Windows-1257: 0xD0 is "Š", 0xF0 is "š"; only ASCII letters fold.
        {"\xD0imkus, Petras", "s", false},
        {"\xD0imkus, Petras", "\xF0", false},
        {"\xD0imkus, Petras", "\xD0I", true},
        {"[x", "{", false},
        {"@x", "`", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(beginsWithIgnoringCase(c.text, c.prefix), c.begins)
            << c.text << " / " << c.prefix;
}

TEST(PublisherFilter, FilterCycleReturnsToAll) {
    EXPECT_EQ(nextListFilter(ListFilter::All), ListFilter::RegularPioneers);
    EXPECT_EQ(nextListFilter(ListFilter::RegularPioneers), ListFilter::Baptized);
    EXPECT_EQ(nextListFilter(ListFilter::Baptized), ListFilter::Unbaptized);
    EXPECT_EQ(nextListFilter(ListFilter::Unbaptized), ListFilter::All);
    EXPECT_EQ(nextListFilter(ListFilter(17)), ListFilter::All);
    EXPECT_EQ(filterNameId(ListFilter::All), 137);
    EXPECT_EQ(filterNameId(ListFilter::Unbaptized), 140);
}

class PublisherLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(allocateRecordStore(store, [](const std::string&) {}));
        add("Jonas", "Petrauskas", "06152001", 2);
        add("Ona", "Petrauskien\xEB", "", 2);
        add("Tomas", "\xDEukauskas", "06152001", 1);
        store.currentCount = 4;
    }

    void add(const std::string& first, const std::string& last, const std::string& baptism,
             std::uint8_t marchStatus) {
        sample::PublisherSpec p;
        p.firstName = first;
        p.lastName = last;
        p.baptismDate = baptism;
        p.months[2].status = marchStatus;
        const auto bytes = sample::encodePublisher(p, false);
        auto& record = store.currentRecords[static_cast<std::size_t>(++added)];
        std::memcpy(record.bytes.data(), bytes.data(), bytes.size());
    }

    RecordStore store;
    int added = 0;
};

TEST_F(PublisherLinesTest, LinesInFileOrderSurnameFirst) {
    const auto lines = publisherLines(store, ListFilter::All, 2);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].record, 1);
    EXPECT_EQ(lines[0].text, "Petrauskas, Jonas");
    EXPECT_EQ(lines[1].text, "Petrauskien\xEB, Ona");
    EXPECT_EQ(lines[2].text, "\xDEukauskas, Tomas");
}

TEST_F(PublisherLinesTest, StatusOfLastMonthDecides) {
    auto records = [this](ListFilter filter, int lastMonth) {
        std::vector<int> result;
        for (const auto& line : publisherLines(store, filter, lastMonth))
            result.push_back(line.record);
        return result;
    };
    EXPECT_EQ(records(ListFilter::RegularPioneers, 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(records(ListFilter::Baptized, 2), (std::vector<int>{3}));
    EXPECT_EQ(records(ListFilter::Unbaptized, 2), (std::vector<int>{2}));
    // In another month nobody pioneers.
    EXPECT_EQ(records(ListFilter::RegularPioneers, 3), (std::vector<int>{}));
    EXPECT_EQ(records(ListFilter::Baptized, 3), (std::vector<int>{1, 3}));
}

TEST_F(PublisherLinesTest, HeaderAndRecordsOutsideTheStoreNeverPass) {
    for (const ListFilter filter : {ListFilter::All, ListFilter::RegularPioneers,
                                    ListFilter::Baptized, ListFilter::Unbaptized}) {
        EXPECT_FALSE(passesListFilter(store, 0, filter, 2));
        EXPECT_FALSE(passesListFilter(store, 4, filter, 2));
        EXPECT_FALSE(passesListFilter(store, -1, filter, 2));
    }
    // A count beyond the store's records never reads past them.
    store.currentCount = RECORD_CAPACITY + 50;
    EXPECT_EQ(publisherLines(store, ListFilter::All, 2).size(),
              static_cast<std::size_t>(RECORD_CAPACITY - 1));
    freeRecordStore(store);
    store.currentCount = 4;
    EXPECT_TRUE(publisherLines(store, ListFilter::All, 2).empty());
}

} // namespace
} // namespace pelkorl
