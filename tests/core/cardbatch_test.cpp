// Which cards a batch prints and with what: the listed publishers in list order without
// those the print command skips, each with the name and mobile number the header pane
// chooses; and the month and total boxes the dialog enables, which decide what a card may
// print.
#include "card/cardbatch.h"
#include "card/formatting.h"
#include "card/publisherfilter.h"
#include "cardfixture.h"
#include "datafixture.h"
#include "recordingcanvas.h"
#include "records/extension.h"
#include "render/headerpreview.h"
#include "sampledata.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pelkorl;
using namespace pelkorl::test;
namespace sid = pelkorl::sample::sampleid;

namespace {

constexpr int JAN = 0, FEB = 1, AUG = 7, SEP = 8;

// Pioneer in the last month (baptized), unbaptized, blank names (baptized), baptized,
// first name only (unbaptized), the order of the file.
struct Congregation {
    int pioneer, unbaptized, blank, baptized, firstOnly;
};

Congregation fill(CardFixture& f) {
    sample::PublisherSpec pioneer = person("Ona", "Petrauskienė", 1);
    pioneer.baptismDate = "06152001";
    pioneer.months[AUG].status = sample::REGULAR_PIONEER;
    sample::PublisherSpec unbaptized = person("Šarūnas", "Vaitkus", 2);
    sample::PublisherSpec blank = person("   ", "  ", 3);
    blank.baptismDate = "06152001";
    sample::PublisherSpec baptized = person("Tomas", "Žukauskas", 4);
    baptized.baptismDate = "06152001";
    sample::PublisherSpec firstOnly = person("Rūta", "", 5);
    Congregation c{};
    c.pioneer = f.addPublisher(pioneer);
    c.unbaptized = f.addPublisher(unbaptized);
    c.blank = f.addPublisher(blank);
    c.baptized = f.addPublisher(baptized);
    c.firstOnly = f.addPublisher(firstOnly);
    return c;
}

struct FilterCase {
    const char* name;
    ListFilter filter;
    std::vector<int Congregation::*> expected;
};

class BatchRecords : public ::testing::TestWithParam<FilterCase> {};

} // namespace

TEST_P(BatchRecords, AreTheListedCardsInListOrderWithoutNamelessOnes) {
    CardFixture f;
    const Congregation c = fill(f);
    std::vector<int> expected;
    for (int Congregation::*member : GetParam().expected)
        expected.push_back(c.*member);
    EXPECT_EQ(batchRecords(f.data.store, GetParam().filter, AUG, 0), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, BatchRecords,
    ::testing::Values(FilterCase{"every",
                                 ListFilter::All,
                                 {&Congregation::pioneer, &Congregation::unbaptized,
                                  &Congregation::baptized, &Congregation::firstOnly}},
                      FilterCase{"pioneers", ListFilter::RegularPioneers, {&Congregation::pioneer}},
                      FilterCase{"baptized", ListFilter::Baptized, {&Congregation::baptized}},
                      FilterCase{"unbaptized",
                                 ListFilter::Unbaptized,
                                 {&Congregation::unbaptized, &Congregation::firstOnly}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BatchRecords, FollowTheLastMonthAndAnEmptyStore) {
    CardFixture f;
    const Congregation c = fill(f);
    // In February the pioneer of August is no pioneer: he is listed among the baptized.
    EXPECT_EQ(batchRecords(f.data.store, ListFilter::RegularPioneers, FEB, 0), std::vector<int>{});
    EXPECT_EQ(batchRecords(f.data.store, ListFilter::Baptized, FEB, 0),
              (std::vector<int>{c.pioneer, c.baptized}));

    CardFixture empty;
    EXPECT_TRUE(batchRecords(empty.data.store, ListFilter::All, AUG, 0).empty());
    RecordStore none;
    EXPECT_TRUE(batchRecords(none, ListFilter::All, AUG, 0).empty());
}

TEST(CardHasName, AsThePrintCommandDecides) {
    CardFixture f;
    const Congregation c = fill(f);
    EXPECT_TRUE(cardHasName(f.data.store, c.pioneer, 0));
    EXPECT_TRUE(cardHasName(f.data.store, c.firstOnly, 1)); // ", Rūta" is a name
    EXPECT_FALSE(cardHasName(f.data.store, c.blank, 0));
    // With the surname first the comma remains, and the print command prints it as a name.
    EXPECT_TRUE(cardHasName(f.data.store, c.blank, 1));
    EXPECT_EQ(batchRecords(f.data.store, ListFilter::All, AUG, 1),
              (std::vector<int>{c.pioneer, c.unbaptized, c.blank, c.baptized, c.firstOnly}));
    for (int outside : {-1, 0, f.data.store.currentCount, 400})
        EXPECT_FALSE(cardHasName(f.data.store, outside, 0)) << outside;
}

// The sample congregation as the program loads it, to compare the chosen texts with what
// the header pane itself chooses when it paints.
class CardOfSample : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ASSERT_TRUE(sample::writeSampleCongregation(folder(), 2027));
        ASSERT_EQ(load(), StartState::Running);
        state.data = &data;
        state.lastMonth = AUG;
        state.currentYear = 2027;
    }
    int indexOf(std::uint16_t id) const {
        for (int j = 1; j < data.store.currentCount; ++j)
            if (current(j).publisherId() == id)
                return j;
        return 0;
    }
    CardState state;
};

TEST_F(CardOfSample, LongNameOnlyWhenWantedAndNotEmpty) {
    const int elder = indexOf(sid::ANOINTED_ELDER);
    ASSERT_GT(elder, 0);
    ASSERT_NE(loadExtension(data, elder), 0);
    const std::string longName = data.currentExtension.longName();
    ASSERT_FALSE(longName.empty());
    state.useLongName = 1;
    EXPECT_EQ(cardStateFor(state, elder).displayName, longName);
    EXPECT_EQ(cardStateFor(state, elder).mobileText, current(elder).mobilePhone());
    state.useLongName = 0;
    state.lastNameFirst = 1;
    EXPECT_EQ(cardStateFor(state, elder).displayName, formatName(data.store, elder, true));

    const int emptyLongName = indexOf(sid::EMPTY_LONG_NAME);
    ASSERT_GT(emptyLongName, 0);
    state.useLongName = 1;
    state.lastNameFirst = 0;
    EXPECT_EQ(cardStateFor(state, emptyLongName).displayName,
              formatName(data.store, emptyLongName, false));

    // One card after another: no publisher's texts stay behind for the next.
    const CardState first = cardStateFor(state, elder);
    const CardState second = cardStateFor(state, emptyLongName);
    EXPECT_NE(first.displayName, second.displayName);
    EXPECT_EQ(second.mobileText, current(emptyLongName).mobilePhone());
    for (int outside : {-1, 0, data.store.currentCount}) {
        const CardState none = cardStateFor(first, outside);
        EXPECT_TRUE(none.displayName.empty()) << outside;
        EXPECT_TRUE(none.mobileText.empty()) << outside;
    }
}

TEST_F(CardOfSample, CardStateLeavesTheDialogsStateAlone) {
    const int elder = indexOf(sid::ANOINTED_ELDER);
    state.selectedRecord = 1;
    state.displayName = "Pasirinktas";
    state.mobileText = "+370";
    state.monthChecked[3] = true;
    state.totalChecked = true;
    state.markSex = true;
    state.previousYear = true;
    const CardState before = state;
    const CardState card = cardStateFor(state, elder);
    EXPECT_EQ(card.selectedRecord, elder);
    EXPECT_EQ(card.mobileText, current(elder).mobilePhone());
    EXPECT_EQ(card.monthChecked, before.monthChecked);
    EXPECT_TRUE(card.totalChecked && card.markSex && card.previousYear);
    EXPECT_EQ(card.data, &data);
    EXPECT_EQ(state.selectedRecord, 1);
    EXPECT_EQ(state.displayName, "Pasirinktas");
    EXPECT_EQ(state.mobileText, "+370");

    CardState detached = state;
    detached.data = nullptr;
    const CardState nothing = cardStateFor(detached, elder);
    EXPECT_TRUE(nothing.displayName.empty());
    EXPECT_TRUE(nothing.mobileText.empty());
}

namespace {

struct BoxCase {
    const char* name;
    int lastMonth;
    bool previousYear;
    bool stampsOfLastYear; // the previous-year file's stamps name the year before
    int rowsDone;          // rows from September through the last month
    bool total;
};

class EnabledBoxes : public ::testing::TestWithParam<BoxCase> {};

} // namespace

TEST_P(EnabledBoxes, AreEnabledAsTheDialogEnablesThem) {
    const BoxCase& c = GetParam();
    CardFixture f;
    f.state.lastMonth = c.lastMonth;
    f.state.currentYear = 2027;
    f.state.previousYear = c.previousYear;
    sample::YearStamps stamps{};
    if (c.stampsOfLastYear)
        stamps.fill(sample::yearStamp(2026));
    f.setPreviousStamps(stamps);
    const MonthBoxes boxes = enabledMonthBoxes(f.state);
    for (int row = 0; row < MONTH_ROWS; ++row) {
        const bool expected =
            c.previousYear ? c.stampsOfLastYear || row >= c.rowsDone : row < c.rowsDone;
        EXPECT_EQ(boxes.month[static_cast<std::size_t>(row)], expected) << row;
    }
    EXPECT_EQ(boxes.total, c.total);
}

INSTANTIATE_TEST_SUITE_P(
    Years, EnabledBoxes,
    ::testing::Values(
        // Current year: the rows from September through the last month.
        BoxCase{"february", JAN, false, false, 5, false},
        BoxCase{"september", AUG, false, false, 12, true},
        BoxCase{"october", SEP, false, false, 1, false},
        // Previous year: rows from rowsDone on always; earlier ones by their stamps.
        BoxCase{"previousWithoutStamps", FEB, true, false, 6, false},
        BoxCase{"previousWithStamps", FEB, true, true, 6, true},
        BoxCase{"previousInSeptember", AUG, true, false, 12, true},
        BoxCase{"previousInOctober", SEP, true, false, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });
