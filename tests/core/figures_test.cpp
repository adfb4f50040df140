// Monthly figures by kind: both encodings, the year each month is read from, the quarter
// hours, the totals, the remarks cell, and the congregation's totals records.
#include "card/figures.h"
#include "cardfixture.h"
#include "datafixture.h"
#include "records/records.h"
#include "text/codepage.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

constexpr int JAN = 0, FEB = 1, MAR = 2, APR = 3, MAY = 4, AUG = 7, SEP = 8, OCT = 9, NOV = 10,
              DEC = 11;

std::vector<int> literatureKinds(const CardState& s, int j, int m) {
    std::vector<int> v;
    for (int kind = 0; kind < LITERATURE_KINDS; ++kind)
        v.push_back(literatureFigure(s, j, m, kind));
    return v;
}

std::vector<int> placementKinds(const CardState& s, int j, int m) {
    std::vector<int> v;
    for (int kind = 0; kind < PLACEMENT_KINDS; ++kind)
        v.push_back(placementFigure(s, j, m, kind));
    return v;
}

class Figures : public ::testing::Test {
protected:
    CardFixture f;
};

} // namespace

// Every byte of the month at 0xFF sets the highest bit of every packed field at once.
TEST_F(Figures, AllBitsSetReadEveryFieldAtItsWidth) {
    const int j = f.addPublisher(person("Jonas", "Petrauskas"));
    for (std::size_t offset :
         {field::MONTH_STATUS, field::FIGURES_216, field::FIGURES_228, field::HOURS,
          field::FIGURES_252, field::FIGURES_264, field::FIGURES_276, field::FIGURES_288}) {
        f.current(j).bytes[offset + MAR] = 0xFF;
        f.current(j).bytes[offset + MAY] = 0xFF;
    }
    f.current(j).setU16(field::PLACEMENTS_MONTHS, 1u << MAY);

    EXPECT_EQ(literatureKinds(f.state, j, MAR),
              (std::vector<int>{255, 4095, 255, 63, 4095, 1023, 63}));
    EXPECT_EQ(placementKinds(f.state, j, MAY), (std::vector<int>{4095, 4095, 255, 1023, 63}));
    // The literature month seen through the placements set.
    EXPECT_EQ(placementKinds(f.state, j, MAR),
              (std::vector<int>{255 + 4095 + 4095, 0, 255, 1023, 63}));
    // Neighbouring months stay empty.
    EXPECT_EQ(literatureKinds(f.state, j, FEB), std::vector<int>(7, 0));
    EXPECT_EQ(placementKinds(f.state, j, APR), std::vector<int>(5, 0));
}

struct IsolatedField {
    const char* name;
    sample::MonthSpec month;
    std::vector<int> literature; // kinds 0-6 read in the literature encoding
    std::vector<int> placements; // kinds 0-4 as the placements set shows them
};

void PrintTo(const IsolatedField& c, std::ostream* os) {
    *os << c.name;
}

class IsolatedFields : public ::testing::TestWithParam<IsolatedField> {};

// One field at its largest value, all others zero: it reads back alone, no bit spills over.
TEST_P(IsolatedFields, ReadAloneAtTheirLargestValue) {
    CardFixture f;
    sample::PublisherSpec p = person("Ona", "Petrauskienė");
    p.months[OCT] = GetParam().month;
    const int j = f.addPublisher(p);
    EXPECT_EQ(literatureKinds(f.state, j, OCT), GetParam().literature);
    EXPECT_EQ(placementKinds(f.state, j, OCT), GetParam().placements);
    EXPECT_EQ(f.current(j).serviceStatus(OCT), 0);
}

sample::MonthSpec literatureMonth(std::uint16_t sample::MonthSpec::*figure, std::uint16_t value) {
    sample::MonthSpec m;
    m.*figure = value;
    return m;
}

sample::MonthSpec placementMonth(std::uint16_t sample::MonthSpec::*figure, std::uint16_t value) {
    sample::MonthSpec m = literatureMonth(figure, value);
    m.placementEncoding = true;
    return m;
}

using M = sample::MonthSpec;
INSTANTIATE_TEST_SUITE_P(
    BothEncodings, IsolatedFields,
    ::testing::Values(
        IsolatedField{
            "books", literatureMonth(&M::books, 255), {255, 0, 0, 0, 0, 0, 0}, {255, 0, 0, 0, 0}},
        IsolatedField{"brochures",
                      literatureMonth(&M::brochures, 4095),
                      {0, 4095, 0, 0, 0, 0, 0},
                      {4095, 0, 0, 0, 0}},
        IsolatedField{
            "hours", literatureMonth(&M::hours, 255), {0, 0, 255, 0, 0, 0, 0}, {0, 0, 255, 0, 0}},
        IsolatedField{"subscriptions",
                      literatureMonth(&M::subscriptions, 63),
                      {0, 0, 0, 63, 0, 0, 0},
                      {0, 0, 0, 0, 0}},
        IsolatedField{"magazines",
                      literatureMonth(&M::magazines, 4095),
                      {0, 0, 0, 0, 4095, 0, 0},
                      {4095, 0, 0, 0, 0}},
        IsolatedField{"returnVisits",
                      literatureMonth(&M::returnVisits, 1023),
                      {0, 0, 0, 0, 0, 1023, 0},
                      {0, 0, 0, 1023, 0}},
        IsolatedField{"bibleStudies",
                      literatureMonth(&M::bibleStudies, 63),
                      {0, 0, 0, 0, 0, 0, 63},
                      {0, 0, 0, 0, 63}},
        // Placement months read as literature bytes: only the low bytes land in books etc.
        IsolatedField{"placements",
                      placementMonth(&M::placements, 4095),
                      {255, 0, 0, 0, 768, 0, 48},
                      {4095, 0, 0, 0, 0}},
        IsolatedField{"videoShowings",
                      placementMonth(&M::videoShowings, 4095),
                      {0, 255, 0, 0, 0, 0, 15},
                      {0, 4095, 0, 0, 0}},
        IsolatedField{"placementHours",
                      placementMonth(&M::hours, 255),
                      {0, 0, 255, 0, 0, 0, 0},
                      {0, 0, 255, 0, 0}},
        IsolatedField{"placementReturnVisits",
                      placementMonth(&M::returnVisits, 1023),
                      {0, 0, 0, 63, 0, 960, 0},
                      {0, 0, 0, 1023, 0}},
        IsolatedField{"placementBibleStudies",
                      placementMonth(&M::bibleStudies, 63),
                      {0, 0, 0, 0, 63, 0, 0},
                      {0, 0, 0, 0, 63}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Figures, LiteratureMonthShownWithPlacementsSumsTheLiterature) {
    sample::PublisherSpec p = person("Tomas", "Žukauskas");
    p.months[SEP] = {.books = 3,
                     .brochures = 7,
                     .hours = 12,
                     .subscriptions = 2,
                     .magazines = 40,
                     .returnVisits = 9,
                     .bibleStudies = 2};
    const int j = f.addPublisher(p);
    f.state.columnSet = ColumnSet::Placements;
    EXPECT_EQ(columnFigure(f.state, j, SEP, KIND_PLACEMENTS), 3 + 7 + 40);
    EXPECT_EQ(columnFigure(f.state, j, SEP, KIND_VIDEO_SHOWINGS), 0);
    EXPECT_FALSE(cellText(f.state, j, SEP, KIND_VIDEO_SHOWINGS).drawn);
    EXPECT_EQ(columnFigure(f.state, j, SEP, KIND_RETURN_VISITS), 9);
    EXPECT_EQ(columnFigure(f.state, j, SEP, KIND_BIBLE_STUDIES), 2);
    f.state.columnSet = ColumnSet::Literature;
    EXPECT_EQ(columnFigure(f.state, j, SEP, KIND_MAGAZINES), 40);
    EXPECT_EQ(columnFigure(f.state, j, SEP, KIND_SUBSCRIPTIONS), 2);
}

TEST_F(Figures, KindsAndMonthsOutsideTheirRangesReadZero) {
    sample::PublisherSpec p = person("Rūta", "Žukauskienė");
    for (auto& m : p.months)
        m = {.books = 1, .hours = 1, .returnVisits = 1, .bibleStudies = 1};
    const int j = f.addPublisher(p);
    for (int kind : {-1, 7, 100})
        EXPECT_EQ(literatureFigure(f.state, j, SEP, kind), 0) << kind;
    for (int kind : {-1, 5, 6})
        EXPECT_EQ(placementFigure(f.state, j, SEP, kind), 0) << kind;
    for (int m : {-1, 12})
        EXPECT_EQ(literatureFigure(f.state, j, m, KIND_HOURS), 0) << m;
    // No such publisher, no store at all.
    EXPECT_EQ(literatureFigure(f.state, 5, SEP, KIND_HOURS), 0);
    EXPECT_EQ(literatureFigure(f.state, 0, SEP, KIND_HOURS), 0);
    EXPECT_EQ(literatureFigure(f.state, -1, SEP, KIND_HOURS), 0);
    CardState empty;
    EXPECT_EQ(placementFigure(empty, 1, SEP, KIND_HOURS), 0);
    EXPECT_EQ(columnTotal(empty, 1, KIND_HOURS, 12), "0");
    EXPECT_EQ(remarksText(empty, 1, SEP), "");
}

TEST(RowsDone, CountsTheRowsFromSeptemberThroughLastMonth) {
    const int expected[12] = {5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3, 4};
    for (int m = 0; m < 12; ++m)
        EXPECT_EQ(rowsDone(m), expected[m]) << m;
    EXPECT_EQ(monthOfRow(0), SEP);
    EXPECT_EQ(monthOfRow(4), JAN);
    EXPECT_EQ(monthOfRow(11), AUG);
    for (int r = 0; r < 12; ++r)
        EXPECT_EQ(rowOfMonth(monthOfRow(r)), r);
}

struct YearChoice {
    int lastMonth;
    std::set<int> previousMonths; // calendar months read from the previous-year record
};

void PrintTo(const YearChoice& c, std::ostream* os) {
    *os << "lastMonth " << c.lastMonth;
}

class PreviousYearChoice : public ::testing::TestWithParam<YearChoice> {};

// Current record: 1 book every month; previous record: 2 books every month.
TEST_P(PreviousYearChoice, MonthsComeFromTheRightYear) {
    CardFixture f;
    sample::PublisherSpec now = person("Mindaugas", "Kazlauskas", 105);
    sample::PublisherSpec before = now;
    for (auto& m : now.months)
        m = {.books = 1};
    for (auto& m : before.months)
        m = {.books = 2};
    const int j = f.addPublisher(now);
    f.link(j, f.addPrevious(before));
    f.state.lastMonth = GetParam().lastMonth;

    for (int m = 0; m < 12; ++m) {
        f.state.previousYear = false;
        EXPECT_EQ(literatureFigure(f.state, j, m, KIND_BOOKS), 1) << "current year, month " << m;
        f.state.previousYear = true;
        const int expected = GetParam().previousMonths.count(m) ? 2 : 1;
        EXPECT_EQ(literatureFigure(f.state, j, m, KIND_BOOKS), expected) << "month " << m;
        EXPECT_EQ(&figureRecord(f.state, j, m),
                  expected == 2 ? &f.data.store.previousRecords[1] : &f.current(j));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLastMonth, PreviousYearChoice,
                         ::testing::Values(YearChoice{0, {8, 9, 10, 11, 0}},
                                           YearChoice{1, {8, 9, 10, 11, 0, 1}},
                                           YearChoice{2, {8, 9, 10, 11, 0, 1, 2}},
                                           YearChoice{3, {8, 9, 10, 11, 0, 1, 2, 3}},
                                           YearChoice{4, {8, 9, 10, 11, 0, 1, 2, 3, 4}},
                                           YearChoice{5, {8, 9, 10, 11, 0, 1, 2, 3, 4, 5}},
                                           YearChoice{6, {8, 9, 10, 11, 0, 1, 2, 3, 4, 5, 6}},
                                           YearChoice{7, {8, 9, 10, 11, 0, 1, 2, 3, 4, 5, 6, 7}},
                                           YearChoice{8, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
                                           YearChoice{9, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
                                           YearChoice{10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                                           YearChoice{11, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}),
                         [](const auto& info) {
                             return "lastMonth" + std::to_string(info.param.lastMonth);
                         });

TEST_F(Figures, WithoutAPreviousRecordPreviousMonthsReadZero) {
    sample::PublisherSpec p = person("Šarūnas", "Vaitkus", 107);
    for (auto& m : p.months)
        m = {.books = 4, .hours = 9, .quarterHours = 2};
    // Record 0 of the previous year (its header) holds bytes that must not show as figures.
    std::fill(f.data.store.previousRecords[0].bytes.begin() + field::MONTH_STATUS,
              f.data.store.previousRecords[0].bytes.begin() + field::QUARTER_HOURS + 12, 0x11);
    const int j = f.addPublisher(p);
    f.state.previousYear = true;
    f.state.lastMonth = FEB;
    EXPECT_EQ(literatureFigure(f.state, j, JAN, KIND_BOOKS), 0);
    EXPECT_EQ(quarterCount(f.state, j, JAN), 0);
    EXPECT_EQ(remarksText(f.state, j, JAN), "");
    EXPECT_EQ(literatureFigure(f.state, j, MAR, KIND_BOOKS), 4);
}

struct StampCase {
    const char* name;
    int lastMonth;
    int currentYear;
    int calendarMonth; // whose stamp is set
    int stamp;
    int row;
    bool available;
};

void PrintTo(const StampCase& c, std::ostream* os) {
    *os << c.name;
}

class MonthAvailable : public ::testing::TestWithParam<StampCase> {};

TEST_P(MonthAvailable, ReadsTheStampOfTheRowsCalendarMonth) {
    CardFixture f;
    const StampCase& c = GetParam();
    sample::YearStamps stamps{};
    stamps[static_cast<std::size_t>(c.calendarMonth)] = static_cast<std::uint8_t>(c.stamp);
    f.setPreviousStamps(stamps);
    f.state.lastMonth = c.lastMonth;
    f.state.currentYear = c.currentYear;
    EXPECT_EQ(monthAvailable(f.state, c.row), c.available);
}

INSTANTIATE_TEST_SUITE_P(
    Stamps, MonthAvailable,
    ::testing::Values(
        // Started in March 2027: rows before 6 need the stamp 26 (2026).
        StampCase{"SeptemberStampedLastYear", FEB, 2027, SEP, 26, 0, true},
        StampCase{"SeptemberStampedTwoYearsAgo", FEB, 2027, SEP, 25, 0, false},
        StampCase{"RowZeroDoesNotReadJanuary", FEB, 2027, JAN, 26, 0, false},
        StampCase{"JanuaryIsRowFour", FEB, 2027, JAN, 26, 4, true},
        StampCase{"FebruaryIsRowFive", FEB, 2027, FEB, 26, 5, true},
        StampCase{"RowsFromRowsDoneAlways", FEB, 2027, SEP, 0, 6, true},
        StampCase{"AugustRowAlways", FEB, 2027, SEP, 0, 11, true},
        // Started in January: two years before.
        StampCase{"JanuaryStartTwoYearsBefore", DEC, 2027, SEP, 25, 0, true},
        StampCase{"JanuaryStartLastYearRefused", DEC, 2027, SEP, 26, 0, false},
        StampCase{"StartedInSeptemberEveryRowNeedsAStamp", AUG, 2027, AUG, 26, 11, true},
        StampCase{"StartedInSeptemberUnstamped", AUG, 2027, AUG, 0, 11, false},
        StampCase{"StampsWrapAtTwoHundredFiftySix", FEB, 2256, SEP, 255, 0, true},
        StampCase{"RowOutOfRange", FEB, 2027, SEP, 26, 12, false},
        StampCase{"NegativeRow", FEB, 2027, SEP, 26, -1, false}),
    [](const auto& info) { return std::string(info.param.name); });

// placementFigure hands monthAvailable the row of its calendar month.
TEST_F(Figures, PreviousYearPlacementsNeedTheirMonthsStamp) {
    sample::PublisherSpec now = person("Eglė", "Kazlauskienė", 106);
    sample::PublisherSpec before = now;
    before.months[JAN] = {.placementEncoding = true, .hours = 10, .placements = 7};
    before.months[SEP] = {.books = 1, .hours = 20};
    const int j = f.addPublisher(now);
    f.link(j, f.addPrevious(before));
    f.state.previousYear = true;
    f.state.lastMonth = FEB;
    f.state.currentYear = 2027;

    sample::YearStamps stamps{};
    stamps[JAN] = 26; // January admitted
    stamps[SEP] = 25; // September (row 0) not
    f.setPreviousStamps(stamps);
    EXPECT_EQ(placementFigure(f.state, j, JAN, KIND_PLACEMENTS), 7);
    EXPECT_EQ(placementFigure(f.state, j, JAN, KIND_HOURS), 10);
    EXPECT_EQ(placementFigure(f.state, j, SEP, KIND_HOURS), 0);
    EXPECT_EQ(placementFigure(f.state, j, SEP, KIND_PLACEMENTS), 0);
    // The literature readers do not look at the stamps.
    EXPECT_EQ(literatureFigure(f.state, j, SEP, KIND_HOURS), 20);

    stamps[JAN] = 25;
    stamps[MAY] = 26; // the stamp January would read if it were taken as a row
    f.setPreviousStamps(stamps);
    EXPECT_EQ(placementFigure(f.state, j, JAN, KIND_PLACEMENTS), 0);
}

TEST(QuarterText, FractionsAndTheLeadingZero) {
    EXPECT_EQ(quarterText(0, false), "");
    EXPECT_EQ(quarterText(0, true), "");
    EXPECT_EQ(quarterText(1, false), ",25");
    EXPECT_EQ(quarterText(2, false), ",5");
    EXPECT_EQ(quarterText(3, false), ",75");
    EXPECT_EQ(quarterText(1, true), "0,25");
    EXPECT_EQ(quarterText(3, true), "0,75");
    EXPECT_EQ(quarterText(4, false), "");
    EXPECT_EQ(quarterText(-1, true), "");
}

struct HoursCell {
    int hours;
    int quarters; // the whole byte stored; only bits 0-1 count
    const char* text;
    bool drawn;
};

void PrintTo(const HoursCell& c, std::ostream* os) {
    *os << c.hours << " h + " << c.quarters << " q";
}

class HoursCells : public ::testing::TestWithParam<HoursCell> {};

TEST_P(HoursCells, WholeHoursAndQuarters) {
    for (ColumnSet set : {ColumnSet::Placements, ColumnSet::Literature}) {
        CardFixture f;
        f.state.columnSet = set;
        sample::PublisherSpec p = person("Rimantas", "Savickas", 130);
        p.months[OCT] = {.hours = static_cast<std::uint16_t>(GetParam().hours),
                         .quarterHours = static_cast<std::uint8_t>(GetParam().quarters)};
        const int j = f.addPublisher(p);
        const CellText cell = cellText(f.state, j, OCT, KIND_HOURS);
        EXPECT_EQ(cell.drawn, GetParam().drawn);
        if (GetParam().drawn) {
            EXPECT_EQ(cell.text, GetParam().text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cells, HoursCells,
    ::testing::Values(HoursCell{12, 3, "12,75", true}, HoursCell{0, 1, "0,25", true},
                      HoursCell{0, 0, "", false}, HoursCell{5, 0, "5", true},
                      HoursCell{0, 2, "0,5", true}, HoursCell{255, 3, "255,75", true},
                      HoursCell{7, 0xFC, "7", true}, HoursCell{0, 0xFD, "0,25", true}));

TEST_F(Figures, ZeroFiguresLeaveTheirBoxesEmpty) {
    sample::PublisherSpec p = person("Saulius", "Žilinskas", 124);
    p.months[OCT] = {.placementEncoding = true, .hours = 4, .returnVisits = 0, .placements = 11};
    const int j = f.addPublisher(p);
    EXPECT_TRUE(cellText(f.state, j, OCT, KIND_PLACEMENTS).drawn);
    EXPECT_EQ(cellText(f.state, j, OCT, KIND_PLACEMENTS).text, "11");
    EXPECT_FALSE(cellText(f.state, j, OCT, KIND_RETURN_VISITS).drawn);
    EXPECT_FALSE(cellText(f.state, j, OCT, KIND_VIDEO_SHOWINGS).drawn);
    EXPECT_FALSE(cellText(f.state, j, 3, KIND_HOURS).drawn);
}

struct TotalCase {
    const char* name;
    int kind;
    int lastMonth;
    int count;
    std::vector<std::pair<int, int>> months; // (calendar month, hours) with 1 quarter per 10
    std::vector<int> quarters;               // per listed month
    const char* total;
};

void PrintTo(const TotalCase& c, std::ostream* os) {
    *os << c.name;
}

class ColumnTotals : public ::testing::TestWithParam<TotalCase> {};

TEST_P(ColumnTotals, AddFromLastMonthBackwards) {
    CardFixture f;
    const TotalCase& c = GetParam();
    sample::PublisherSpec p = person("Laima", "Urbonienė", 110);
    for (std::size_t i = 0; i < c.months.size(); ++i) {
        auto& month = p.months[static_cast<std::size_t>(c.months[i].first)];
        month.placementEncoding = true;
        month.hours = static_cast<std::uint16_t>(c.months[i].second);
        month.placements = static_cast<std::uint16_t>(c.months[i].second * 2);
        month.quarterHours = static_cast<std::uint8_t>(c.quarters[i]);
    }
    const int j = f.addPublisher(p);
    f.state.lastMonth = c.lastMonth;
    EXPECT_EQ(columnTotal(f.state, j, c.kind, c.count), c.total);
}

INSTANTIATE_TEST_SUITE_P(
    Totals, ColumnTotals,
    ::testing::Values(TotalCase{"ThreeThreeTwoQuartersMakeTwoHours",
                                KIND_HOURS,
                                AUG,
                                12,
                                {{SEP, 10}, {OCT, 10}, {DEC, 10}},
                                {3, 3, 2},
                                "32"},
                      TotalCase{"ThreeTwoQuartersMakeOneHourAndAQuarter",
                                KIND_HOURS,
                                AUG,
                                12,
                                {{SEP, 10}, {OCT, 10}},
                                {3, 2},
                                "21,25"},
                      TotalCase{"OneQuarterAlone", KIND_HOURS, AUG, 12, {{MAR, 0}}, {1}, "0,25"},
                      TotalCase{"HalfAnHour", KIND_HOURS, AUG, 12, {{MAR, 120}}, {2}, "120,5"},
                      TotalCase{"NothingAtAll", KIND_HOURS, AUG, 12, {}, {}, "0"},
                      TotalCase{"EveryMonthFullToTheTop",
                                KIND_HOURS,
                                MAR,
                                12,
                                {{0, 255},
                                 {1, 255},
                                 {2, 255},
                                 {3, 255},
                                 {4, 255},
                                 {5, 255},
                                 {6, 255},
                                 {7, 255},
                                 {8, 255},
                                 {9, 255},
                                 {10, 255},
                                 {11, 255}},
                                {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},
                                "3069"},
                      TotalCase{"PlacementsIgnoreQuarters",
                                KIND_PLACEMENTS,
                                AUG,
                                12,
                                {{SEP, 10}, {OCT, 10}},
                                {3, 3},
                                "40"},
                      TotalCase{"ZeroPlacements", KIND_PLACEMENTS, AUG, 12, {}, {}, "0"},
                      // Three months back from February: February, January, December.
                      TotalCase{"CountStepsBackOverTheNewYear",
                                KIND_HOURS,
                                FEB,
                                3,
                                {{FEB, 1}, {JAN, 2}, {DEC, 4}, {NOV, 100}},
                                {0, 0, 1, 0},
                                "7,25"}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// Publishers and remarks in files, loaded as the program loads them.
class Remarks : public DataFolderTest {
protected:
    void writeFiles(const sample::PublisherSpec& now, const sample::PublisherSpec& before,
                    const std::vector<sample::RemarkSpec>& currentRemarks,
                    const std::vector<sample::RemarkSpec>& previousRemarks) {
        ASSERT_TRUE(sample::writePublisherFile(folder() / "tdat7.bin",
                                               sample::encodeHeader(" ", false),
                                               {sample::encodePublisher(now, false)}));
        ASSERT_TRUE(sample::writeRemarksFile(folder() / "remark7.dat", currentRemarks));
        const auto roll = folder() / "Roll" / "Rv7_8";
        std::filesystem::create_directories(roll);
        ASSERT_TRUE(sample::writePublisherFile(roll / "tdat7.bin", sample::encodeHeader(" ", false),
                                               {sample::encodePublisher(before, false)}));
        ASSERT_TRUE(sample::writeRemarksFile(roll / "remark7.dat", previousRemarks));
        ASSERT_EQ(load(), StartState::Running);
        state.data = &data;
        state.lastMonth = FEB;
        state.currentYear = 2027;
    }
    CardState state;
};

} // namespace

TEST_F(Remarks, AuxiliaryPioneerPrefixAndRemark) {
    sample::PublisherSpec now = person("Jūratė", "Šimkienė", 119);
    now.months[SEP] = {.status = sample::AUXILIARY_PIONEER, .brochures = 4095, .magazines = 4095};
    now.months[OCT] = {.status = sample::AUXILIARY_PIONEER};
    now.months[DEC] = {.status = sample::REGULAR_PIONEER};
    now.months[JAN] = {.status = 3};
    sample::PublisherSpec before = now;
    before.months = {};
    before.months[SEP] = {.status = sample::AUXILIARY_PIONEER};
    const std::string remark = "Ligonin\xEBje";                // "Ligoninėje"
    const std::string longRemark = std::string(36, 'z') + "!"; // 37 bytes stored
    writeFiles(now, before,
               {{remark, OCT + 1, 119}, {"Gruodis", DEC + 1, 119}, {longRemark, JAN + 1, 119}},
               {{"Praeiti metai", SEP + 1, 119}});
    const int j = 1;

    // The high figure bits in the status byte do not hide the status.
    EXPECT_EQ(remarksText(state, j, SEP), "Pag.pionierius ");
    EXPECT_EQ(remarksText(state, j, OCT), "Pag.pionierius " + remark);
    EXPECT_EQ(remarksText(state, j, DEC), "Gruodis");
    EXPECT_EQ(remarksText(state, j, JAN), std::string(36, 'z'));
    EXPECT_EQ(remarksText(state, j, MAR), "");

    // The previous year: September comes from the previous year's record and remarks.
    state.previousYear = true;
    EXPECT_EQ(remarksText(state, j, SEP), "Pag.pionierius Praeiti metai");
    EXPECT_EQ(remarksText(state, j, OCT), "");
}

namespace {

// A small congregation, started in March (rows September to February are this year's):
//   Ona       publisher: September, nothing in October, only quarter hours in November;
//             the previous year's March still in the current file.
//   Petras    regular pioneer from September; only a quarter hour in November.
//   Rasa      publisher in September (literature encoding), auxiliary pioneer in October,
//             regular pioneer in December: one category a month.
//   Jonas     regular pioneer status in December without any report.
//   Onutė     linked to Ona's previous-year record too: that record counts once.
// Previous year: Ona and Petras linked; Vytas left before this year (no current record);
// January's year stamp is missing.
struct Congregation {
    Congregation() {
        const bool P = true; // placement encoding
        sample::PublisherSpec ona = person("Ona", "Kairienė", 201);
        ona.months[SEP] = {.placementEncoding = P,
                           .hours = 10,
                           .returnVisits = 3,
                           .bibleStudies = 2,
                           .placements = 5};
        ona.months[NOV] = {.quarterHours = 2};
        ona.months[MAR] = {.placementEncoding = P, .hours = 4};
        sample::PublisherSpec petras = person("Petras", "Jonaitis", 202);
        petras.months[SEP] = {.status = sample::REGULAR_PIONEER,
                              .placementEncoding = P,
                              .hours = 50,
                              .bibleStudies = 1,
                              .quarterHours = 3};
        petras.months[OCT] = {.status = sample::REGULAR_PIONEER,
                              .placementEncoding = P,
                              .hours = 40,
                              .quarterHours = 2};
        petras.months[NOV] = {.status = sample::REGULAR_PIONEER, .quarterHours = 1};
        petras.months[DEC] = {.status = sample::REGULAR_PIONEER,
                              .placementEncoding = P,
                              .hours = 1,
                              .quarterHours = 2};
        sample::PublisherSpec rasa = person("Rasa", "Vaitkutė", 203);
        rasa.months[SEP] = {.books = 2, .hours = 5, .magazines = 4, .bibleStudies = 1};
        rasa.months[OCT] = {.status = sample::AUXILIARY_PIONEER,
                            .placementEncoding = P,
                            .hours = 30,
                            .bibleStudies = 2,
                            .quarterHours = 3};
        rasa.months[DEC] = {.status = sample::REGULAR_PIONEER,
                            .placementEncoding = P,
                            .hours = 60,
                            .quarterHours = 3};
        sample::PublisherSpec jonas = person("Jonas", "Kazlauskas", 204);
        jonas.months[DEC] = {.status = sample::REGULAR_PIONEER};
        const int a = f.addPublisher(ona);
        const int b = f.addPublisher(petras);
        f.addPublisher(rasa);
        f.addPublisher(jonas);
        const int e = f.addPublisher(person("Onutė", "Kairienė", 201));

        sample::PublisherSpec onaBefore = person("Ona", "Kairienė", 201);
        onaBefore.months[SEP] = {.placementEncoding = P, .hours = 7, .bibleStudies = 1};
        onaBefore.months[JAN] = {.placementEncoding = P, .hours = 5};
        sample::PublisherSpec petrasBefore = person("Petras", "Jonaitis", 202);
        petrasBefore.months[SEP] = {
            .status = sample::REGULAR_PIONEER, .placementEncoding = P, .hours = 70};
        sample::PublisherSpec vytas = person("Vytas", "Jokūbaitis", 299);
        vytas.months[SEP] = {.placementEncoding = P, .hours = 9, .bibleStudies = 4};
        const int pa = f.addPrevious(onaBefore);
        f.link(a, pa);
        f.link(e, pa);
        f.link(b, f.addPrevious(petrasBefore));
        f.addPrevious(vytas);
        sample::YearStamps stamps;
        stamps.fill(26); // 2026, the year before the start
        stamps[JAN] = 0;
        f.setPreviousStamps(stamps);
        f.state.lastMonth = FEB;
    }
    CardFixture f;
};

constexpr int REMARK = -1; // the month's remarks cell
constexpr int TOTAL = -2;  // the total row's hours, over the months the year shows

struct TotalsCell {
    const char* name;
    ColumnSet set;
    bool previousYear;
    TotalsRecord totals;
    int m;
    int kind;         // a figure kind, REMARK, or the total of column `totalKind`
    const char* text; // nullptr: the box stays empty
    int totalKind = KIND_HOURS;
};

void PrintTo(const TotalsCell& c, std::ostream* os) {
    *os << c.name;
}

class TotalsCells : public ::testing::TestWithParam<TotalsCell> {};

constexpr auto PL = ColumnSet::Placements;
constexpr auto LIT = ColumnSet::Literature;
constexpr auto MIN = ColumnSet::Ministry;
constexpr auto PUB = TotalsRecord::Publishers;
constexpr auto AUX = TotalsRecord::AuxiliaryPioneers;
constexpr auto REG = TotalsRecord::RegularPioneers;

} // namespace

TEST_P(TotalsCells, AddTheMonthsOfThePublishersCounted) {
    Congregation c;
    const TotalsCell& cell = GetParam();
    c.f.state.columnSet = cell.set;
    c.f.state.previousYear = cell.previousYear;
    const CardState state = totalsStateFor(c.f.state, cell.totals);
    const int unused = 3; // a totals record reads no publisher's own figures
    if (cell.kind == REMARK) {
        EXPECT_EQ(cp1257ToUtf8(remarksText(state, unused, cell.m)), cell.text);
    } else if (cell.kind == TOTAL) {
        const int months = cell.previousYear ? 12 : rowsDone(state.lastMonth);
        EXPECT_EQ(columnTotal(state, unused, cell.totalKind, months), cell.text);
    } else {
        const CellText text = cellText(state, unused, cell.m, cell.kind);
        EXPECT_EQ(text.drawn, cell.text != nullptr);
        if (cell.text) {
            EXPECT_EQ(text.text, cell.text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    SmallCongregation, TotalsCells,
    ::testing::Values(
        TotalsCell{"SepPublishersReports", PL, false, PUB, SEP, REMARK, "Pranešimų: 2"},
        // Rasa's literature month shows its books, brochures and magazines as placements.
        TotalsCell{"SepPublishersPlacements", PL, false, PUB, SEP, KIND_PLACEMENTS, "11"},
        TotalsCell{"SepPublishersStudies", PL, false, PUB, SEP, KIND_BIBLE_STUDIES, "3"},
        TotalsCell{"SepPublishersReturnVisits", PL, false, PUB, SEP, KIND_RETURN_VISITS, "3"},
        TotalsCell{"PublishersAddNoHours", PL, false, PUB, SEP, KIND_HOURS, nullptr},
        TotalsCell{"SepPioneerHours", PL, false, REG, SEP, KIND_HOURS, "50,75"},
        TotalsCell{"SepPioneerReports", PL, false, REG, SEP, REMARK, "Pranešimų: 1"},
        TotalsCell{"SepNoAuxiliary", PL, false, AUX, SEP, REMARK, "Pranešimų: 0"},
        TotalsCell{"SepNoAuxiliaryStudies", PL, false, AUX, SEP, KIND_BIBLE_STUDIES, nullptr},
        TotalsCell{"OctUnreportedPublisher", PL, false, PUB, OCT, REMARK, "Pranešimų: 0"},
        TotalsCell{"OctAuxiliaryHours", PL, false, AUX, OCT, KIND_HOURS, "30,75"},
        TotalsCell{"OctAuxiliaryStudies", PL, false, AUX, OCT, KIND_BIBLE_STUDIES, "2"},
        TotalsCell{"OctAuxiliaryReports", PL, false, AUX, OCT, REMARK, "Pranešimų: 1"},
        TotalsCell{"OctPioneerHours", PL, false, REG, OCT, KIND_HOURS, "40,5"},
        TotalsCell{"NovQuarterHoursAloneCount", PL, false, PUB, NOV, REMARK, "Pranešimų: 1"},
        TotalsCell{"NovPioneerQuarterHoursOnly", PL, false, REG, NOV, KIND_HOURS, "0,25"},
        // 1 h 2 q + 60 h 3 q; Jonas's status without a report does not count.
        TotalsCell{"DecQuartersCarry", PL, false, REG, DEC, KIND_HOURS, "62,25"},
        TotalsCell{"DecPioneerReports", PL, false, REG, DEC, REMARK, "Pranešimų: 2"},
        // 50,75 + 40,5 + 0,25 + 62,25 over September to February.
        TotalsCell{"PioneerHoursOfTheYear", PL, false, REG, SEP, TOTAL, "153,75"},
        TotalsCell{"PublisherStudiesOfTheYear", PL, false, PUB, SEP, TOTAL, "3",
                   KIND_BIBLE_STUDIES},
        TotalsCell{"MinistrySharedIsAMark", MIN, false, PUB, SEP, KIND_SHARED_IN_MINISTRY, "x"},
        TotalsCell{"MinistryNobodyShared", MIN, false, PUB, OCT, KIND_SHARED_IN_MINISTRY, nullptr},
        TotalsCell{"MinistryStudies", MIN, false, PUB, SEP, KIND_MINISTRY_STUDIES, "3"},
        TotalsCell{"MinistryPublishersNoHours", MIN, false, PUB, SEP, KIND_HOURS, nullptr},
        TotalsCell{"MinistryPioneerHours", MIN, false, REG, SEP, KIND_HOURS, "50,75"},
        TotalsCell{"MinistryAuxiliaryMark", MIN, false, AUX, OCT, KIND_AUXILIARY_PIONEER, "x"},
        TotalsCell{"MinistryNoAuxiliaryMarkForPioneers", MIN, false, REG, OCT,
                   KIND_AUXILIARY_PIONEER, nullptr},
        // Ona's placements read as books on the literature card, as her own card reads them.
        TotalsCell{"LiteratureBooks", LIT, false, PUB, SEP, KIND_BOOKS, "7"},
        // Vytas left; Onutė's link to Ona's record does not count her twice.
        TotalsCell{"PreviousSepReports", PL, true, PUB, SEP, REMARK, "Pranešimų: 1"},
        TotalsCell{"PreviousSepStudies", PL, true, PUB, SEP, KIND_BIBLE_STUDIES, "1"},
        TotalsCell{"PreviousSepPioneerHours", PL, true, REG, SEP, KIND_HOURS, "70"},
        TotalsCell{"PreviousJanuaryWithoutStamp", PL, true, PUB, JAN, REMARK, "Pranešimų: 0"},
        TotalsCell{"PreviousMarchFromTheCurrentFile", PL, true, PUB, MAR, REMARK, "Pranešimų: 1"},
        TotalsCell{"PreviousPioneerHoursOfTheYear", PL, true, REG, SEP, TOTAL, "70"}),
    [](const auto& info) { return std::string(info.param.name); });
