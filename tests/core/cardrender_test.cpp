// The printed card on the recording surface: every position to the device unit, the header
// marks, which rows print, the columns of each set, the remarks and the total row.
#include "card/figures.h"
#include "cardfixture.h"
#include "recordingcanvas.h"
#include "records/remarks.h"
#include "render/cardrender.h"
#include "render/pagegeometry.h"
#include "render/tablepreview.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

constexpr int JAN = 0, FEB = 1, AUG = 7, SEP = 8, OCT = 9, DEC = 11;

// At 300 dpi with version 0's defaults and margins 0.00 / 0.20.
constexpr int Y0 = 396;
constexpr int ROW_HEIGHT = 49;
constexpr int TOTAL_Y = 984;
constexpr int PLACEMENTS_X = 360, VIDEO_X = 540, HOURS_X = 750, RETURN_VISITS_X = 930,
              STUDIES_X = 1080, REMARKS_X = 1140;

using Drawn = std::tuple<std::string, int, int>; // text, x, y handed to the canvas

std::vector<Drawn> drawn(const std::vector<TextCall>& texts) {
    std::vector<Drawn> out;
    for (const TextCall& t : texts)
        out.emplace_back(t.text, t.at.x, t.at.y);
    return out;
}

std::vector<TextCall> textsAt(const RecordingCanvas& canvas, int y) {
    std::vector<TextCall> out;
    for (const TextCall& t : canvas.texts())
        if (t.at.y == y)
            out.push_back(t);
    return out;
}

sample::PublisherSpec jonas() {
    sample::PublisherSpec p = person("Jonas", "Petrauskas", 101);
    p.address = "Laisv\xEBs al. 1, Kaunas"; // Windows-1257 ė
    p.homePhone = "8 37 200101";
    p.mobilePhone = "+370 600 00101";
    p.birthDate = "03151970";
    p.baptismDate = "06201990";
    p.anointed = true;
    p.appointment = sample::ELDER;
    p.male = true;
    p.months[SEP] = {.placementEncoding = true,
                     .hours = 10,
                     .returnVisits = 5,
                     .bibleStudies = 1,
                     .placements = 12,
                     .videoShowings = 3};
    p.months[OCT] = {.placementEncoding = true, .hours = 12, .quarterHours = 3};
    p.months[AUG] = {.status = sample::REGULAR_PIONEER, .placementEncoding = true, .hours = 70};
    return p;
}

class CardRender : public ::testing::Test {
protected:
    void SetUp() override {
        j = f.addPublisher(jonas());
        f.select(j);
        f.state.monthChecked.fill(true);
    }
    CardFixture f;
    int j = 0;
    RecordingCanvas canvas{300, 300};
};

} // namespace

TEST(PageGeometry, MarginsInDeviceUnits) {
    CardState s;
    s.marginTop = "0.00";
    s.marginLeft = "0.20";
    computeMargins(s, 600, 600);
    EXPECT_EQ(s.topMarginDev, 0);
    EXPECT_EQ(s.leftMarginDev, 120);
    computeMargins(s, 300, 300);
    EXPECT_EQ(s.leftMarginDev, 60);
    s.marginTop = "9.99";
    s.marginLeft = "1.25";
    computeMargins(s, 600, 300);
    EXPECT_EQ(s.topMarginDev, 2997);
    EXPECT_EQ(s.leftMarginDev, 750);
    computeMargins(s, -5, 0);
    EXPECT_EQ(s.leftMarginDev, 0);
    EXPECT_EQ(s.topMarginDev, 0);
    // The 11/23 card counts from the paper's corner: the device's origin is taken back there
    // (a printable area 11.62 pt in at 600 dpi), the settings' margins play no part.
    s.deviceOriginX = 96;
    s.deviceOriginY = 97;
    computeMargins(s, 600, 600);
    EXPECT_EQ(s.leftMarginDev, 750);
    s.columnSet = ColumnSet::Ministry;
    computeMargins(s, 600, 600);
    EXPECT_EQ(s.leftMarginDev, -96);
    EXPECT_EQ(s.topMarginDev, -97);
}

TEST(PageGeometry, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(mulDiv(10, 300, 72), 42);
    EXPECT_EQ(mulDiv(10, 600, 72), 83);
    EXPECT_EQ(mulDiv(10, 96, 72), 13);
    EXPECT_EQ(mulDiv(10, 90, 72), 13);
    EXPECT_EQ(mulDiv(-10, 90, 72), -13);
    EXPECT_EQ(mulDiv(10, 90, -72), -13);
    EXPECT_EQ(mulDiv(10, 72, 72), 10);
    EXPECT_EQ(mulDiv(1, 1, 0), -1);
    EXPECT_EQ(mulDiv(2000000000, 2000000000, 1), -1);
    EXPECT_EQ(mulDiv(2000000000, 2000000000, 2000000000), 2000000000);
}

TEST_F(CardRender, HeaderItemsInTheirOrderAtTheirPositions) {
    drawCardHeader(canvas, f.state);
    EXPECT_EQ(drawn(canvas.texts()),
              (std::vector<Drawn>{
                  {"Jonas Petrauskas", 240, 66},
                  {"Laisvės al. 1, Kaunas", 150, 114},
                  {"8 37 200101", 210, 171},
                  {"+370 600 00101", 810, 171},
                  {"03/15/1970", 1335, 171},
                  {"x", 1230, 225}, // elder
                  {"06/20/1990", 210, 243},
                  {"P", 960, 243},
                  {"x", 1230, 258}, // regular pioneer in August, the last month
              }));
    for (const TextCall& t : canvas.texts()) {
        EXPECT_EQ(t.font, (FontSpec{"Arial", -41, WEIGHT_NORMAL, CHARSET_DEFAULT}));
        EXPECT_EQ(t.align, (TextAlign{HorizontalAlign::Left, VerticalAlign::Top, false}));
        EXPECT_EQ(t.box.left, t.at.x);
        EXPECT_EQ(t.box.top, t.at.y);
    }
    // The surface gets its font back.
    EXPECT_EQ(canvas.font(), stockVariableFont());
}

TEST_F(CardRender, HeaderAtSixHundredDotsPerInch) {
    RecordingCanvas fine(600, 600);
    drawCardHeader(fine, f.state);
    EXPECT_EQ(f.state.leftMarginDev, 120);
    EXPECT_EQ(f.state.topMarginDev, 0);
    ASSERT_FALSE(fine.texts().empty());
    EXPECT_EQ(fine.texts()[0].at, (Point{480, 132}));
    EXPECT_EQ(fine.texts()[0].font.height, -83);
}

TEST_F(CardRender, HeaderUncheckedLeavesTheHeaderBlankButTheTablePrints) {
    f.state.printHeader = false;
    drawCard(canvas, f.state);
    for (const TextCall& t : canvas.texts())
        EXPECT_GE(t.at.y, Y0) << t.text;
    EXPECT_FALSE(textsAt(canvas, Y0).empty());
}

TEST_F(CardRender, HeaderReadsTheCurrentYearEvenWithThePreviousYearTicked) {
    sample::PublisherSpec old = jonas();
    old.address = "Kita g. 2";
    old.months[AUG].status = 0;
    f.link(j, f.addPrevious(old));
    f.state.previousYear = true;
    drawCardHeader(canvas, f.state);
    const auto texts = drawn(canvas.texts());
    EXPECT_EQ(std::get<0>(texts.at(1)), "Laisvės al. 1, Kaunas");
    EXPECT_EQ(texts.back(), (Drawn{"x", 1230, 258}));
}

struct SexCase {
    const char* name;
    bool markSex;
    bool male;
    bool female;
    const char* maleX; // x of the male mark in the layout
    std::vector<std::pair<int, int>> marks;
};

void PrintTo(const SexCase& c, std::ostream* os) {
    *os << c.name;
}

class SexMarks : public ::testing::TestWithParam<SexCase> {};

TEST_P(SexMarks, AtMostOneMark) {
    CardFixture f;
    sample::PublisherSpec p = person("Vardas", "Pavard\xEB");
    p.male = GetParam().male;
    p.female = GetParam().female;
    f.select(f.addPublisher(p));
    f.state.markSex = GetParam().markSex;
    f.state.layout.setHeaderX(static_cast<int>(HeaderItem::MaleMark), GetParam().maleX);
    RecordingCanvas canvas;
    drawCardHeader(canvas, f.state);
    std::vector<std::pair<int, int>> marks;
    for (const TextCall& t : canvas.texts())
        if (t.text == "x")
            marks.emplace_back(t.at.x, t.at.y);
    EXPECT_EQ(marks, GetParam().marks);
}

INSTANTIATE_TEST_SUITE_P(
    VM, SexMarks,
    ::testing::Values(SexCase{"Unchecked", false, true, false, "5.20", {}},
                      SexCase{"Male", true, true, false, "5.20", {{1620, 0}}},
                      SexCase{"Female", true, false, true, "5.20", {{1620, 30}}},
                      SexCase{"Neither", true, false, false, "5.20", {}},
                      SexCase{"BothGoToFemale", true, true, true, "5.20", {{1620, 30}}},
                      SexCase{"MaleAtZeroIsOff", true, true, false, "0.00", {}},
                      SexCase{"MaleJustRightOfZero", true, true, false, "0.01", {{63, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct AppointmentCase {
    int appointment;
    std::vector<std::pair<int, int>> marks;
};

void PrintTo(const AppointmentCase& c, std::ostream* os) {
    *os << "appointment " << c.appointment;
}

class Appointments : public ::testing::TestWithParam<AppointmentCase> {};

TEST_P(Appointments, ElderOrServantNeverBoth) {
    CardFixture f;
    sample::PublisherSpec p = person("Tomas", "\xDEukauskas");
    p.appointment = static_cast<std::uint8_t>(GetParam().appointment);
    f.select(f.addPublisher(p));
    RecordingCanvas canvas;
    drawCardHeader(canvas, f.state);
    std::vector<std::pair<int, int>> marks;
    for (const TextCall& t : canvas.texts())
        if (t.text == "x")
            marks.emplace_back(t.at.x, t.at.y);
    EXPECT_EQ(marks, GetParam().marks);
    EXPECT_EQ(canvas.texts().at(0).text, "Tomas Žukauskas");
}

INSTANTIATE_TEST_SUITE_P(Header, Appointments,
                         ::testing::Values(AppointmentCase{0, {}},
                                           AppointmentCase{1, {{1425, 225}}},
                                           AppointmentCase{2, {{1230, 225}}},
                                           AppointmentCase{3, {}}));

struct AnointedCase {
    const char* name;
    const char* baptismDate;
    bool anointed;
    const char* expected; // "" for nothing
};

void PrintTo(const AnointedCase& c, std::ostream* os) {
    *os << c.name;
}

class AnointedMark : public ::testing::TestWithParam<AnointedCase> {};

TEST_P(AnointedMark, OnlyForTheBaptized) {
    CardFixture f;
    sample::PublisherSpec p = person("Ona", "Petrauskien\xEB");
    p.baptismDate = GetParam().baptismDate;
    p.anointed = GetParam().anointed;
    f.select(f.addPublisher(p));
    RecordingCanvas canvas;
    drawCardHeader(canvas, f.state);
    std::vector<Drawn> found;
    for (const TextCall& t : canvas.texts())
        if (t.text == "P" || t.text == "K.A.")
            found.emplace_back(t.text, t.at.x, t.at.y);
    if (std::string(GetParam().expected).empty())
        EXPECT_TRUE(found.empty());
    else
        EXPECT_EQ(found, (std::vector<Drawn>{{GetParam().expected, 960, 243}}));
}

INSTANTIATE_TEST_SUITE_P(Header, AnointedMark,
                         ::testing::Values(AnointedCase{"BaptizedAnointed", "06201990", true, "P"},
                                           AnointedCase{"BaptizedOtherSheep", "06201990", false,
                                                        "K.A."},
                                           AnointedCase{"UnbaptizedAnointed", "", true, ""},
                                           AnointedCase{"BlankBaptism", "        ", true, ""},
                                           AnointedCase{"YearOnlyBaptism", "1990    ", false, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardRender, AnointedMarkFollowsTheImmersionLineNotItsOwnY) {
    f.state.layout.setHeaderY(static_cast<int>(HeaderItem::AnointedMark), "2.00");
    drawCardHeader(canvas, f.state);
    auto find = [&](const std::string& text) {
        for (const TextCall& t : canvas.texts())
            if (t.text == text)
                return t.at;
        return Point{-1, -1};
    };
    EXPECT_EQ(find("P"), (Point{960, 243}));

    canvas.clear();
    f.state.layout.setHeaderY(static_cast<int>(HeaderItem::DateImmersed), "1.00");
    drawCardHeader(canvas, f.state);
    EXPECT_EQ(find("P"), (Point{960, 300}));
    EXPECT_EQ(find("06/20/1990"), (Point{210, 300}));
}

TEST_F(CardRender, PioneerMarkOnlyForTheLastMonth) {
    f.state.lastMonth = JAN; // a pioneer in August, not in January
    drawCardHeader(canvas, f.state);
    for (const TextCall& t : canvas.texts())
        EXPECT_NE(t.at, (Point{1230, 258}));
}

TEST_F(CardRender, TablePositionsOfTheDefaultLayout) {
    f.state.totalChecked = true;
    drawServiceTable(canvas, f.state);
    const std::vector<TextCall> september = textsAt(canvas, Y0);
    EXPECT_EQ(drawn(september), (std::vector<Drawn>{{"12", PLACEMENTS_X, Y0},
                                                    {"3", VIDEO_X, Y0},
                                                    {"10", HOURS_X, Y0},
                                                    {"5", RETURN_VISITS_X, Y0},
                                                    {"1", STUDIES_X, Y0}}));
    for (const TextCall& t : september) {
        EXPECT_EQ(t.box.right, t.at.x) << t.text;
        EXPECT_EQ(t.box.top, t.at.y);
        EXPECT_EQ(t.font, (FontSpec{"Arial", -42, WEIGHT_NORMAL, CHARSET_BALTIC}));
    }
    EXPECT_EQ(drawn(textsAt(canvas, Y0 + ROW_HEIGHT)),
              (std::vector<Drawn>{{"12,75", HOURS_X, 445}}));
    EXPECT_EQ(drawn(textsAt(canvas, TOTAL_Y)), (std::vector<Drawn>{{"12", PLACEMENTS_X, TOTAL_Y},
                                                                   {"3", VIDEO_X, TOTAL_Y},
                                                                   {"92,75", HOURS_X, TOTAL_Y},
                                                                   {"5", RETURN_VISITS_X, TOTAL_Y},
                                                                   {"1", STUDIES_X, TOTAL_Y}}));
    EXPECT_EQ(canvas.font(), stockVariableFont());
    EXPECT_EQ(canvas.textAlign(), TextAlign{});
}

TEST_F(CardRender, RemarksStartAtTheirColumnLeftAligned) {
    sample::PublisherSpec p = person("R\xFBta", "\xDEukauskien\xEB", 104);
    p.months[OCT] = {.status = sample::AUXILIARY_PIONEER, .hours = 30};
    p.months[DEC] = {.hours = 6};
    const int r = f.addPublisher(p);
    f.select(r);
    ASSERT_TRUE(sample::writeRemarksFile(f.folder.path() / "remark7.dat",
                                         {{"Ligonin\xEBje", DEC + 1, 104}}));
    loadMonthRemarks(f.data, ServiceYear::Current, DEC);
    drawServiceTable(canvas, f.state);

    const auto october = textsAt(canvas, Y0 + ROW_HEIGHT);
    ASSERT_EQ(october.size(), 2u);
    EXPECT_EQ(october[1].text, "Pag.pionierius ");
    EXPECT_EQ(october[1].at.x, REMARKS_X);
    EXPECT_EQ(october[1].box.left, REMARKS_X);
    EXPECT_EQ(october[1].align.horizontal, HorizontalAlign::Left);
    const auto december = textsAt(canvas, Y0 + 3 * ROW_HEIGHT);
    ASSERT_EQ(december.size(), 2u);
    EXPECT_EQ(december[0].align.horizontal, HorizontalAlign::Right);
    EXPECT_EQ(drawn(december),
              (std::vector<Drawn>{{"6", HOURS_X, 543}, {"Ligoninėje", REMARKS_X, 543}}));
}

TEST_F(CardRender, TotalRowOnlyWhenTicked) {
    CardFixture empty;
    empty.select(empty.addPublisher(person("Irena", "Kavaliauskien\xEB")));
    empty.state.monthChecked.fill(true);
    drawServiceTable(canvas, empty.state);
    EXPECT_TRUE(canvas.texts().empty());

    empty.state.totalChecked = true;
    drawServiceTable(canvas, empty.state);
    EXPECT_EQ(drawn(canvas.texts()), (std::vector<Drawn>{{"0", PLACEMENTS_X, TOTAL_Y},
                                                         {"0", VIDEO_X, TOTAL_Y},
                                                         {"0", HOURS_X, TOTAL_Y},
                                                         {"0", RETURN_VISITS_X, TOTAL_Y},
                                                         {"0", STUDIES_X, TOTAL_Y}}));
}

TEST_F(CardRender, LiteratureSetSkipsSubscriptionsAndPutsMagazinesAtEntryThree) {
    setLayoutDefaults(f.state.layout, 1);
    f.state.cardVersion = 1;
    f.state.columnSet = ColumnSet::Literature;
    sample::PublisherSpec p = person("Lina", "Grigien\xEB", 135);
    p.months[SEP] = {.books = 1,
                     .brochures = 2,
                     .hours = 3,
                     .subscriptions = 4,
                     .magazines = 5,
                     .returnVisits = 6,
                     .bibleStudies = 7};
    f.select(f.addPublisher(p));
    f.state.totalChecked = true;
    drawServiceTable(canvas, f.state);
    // Version 1 columns 0.62 1.19 1.90 2.45 3.00 3.60 plus the 0.20 margin.
    const std::vector<Drawn> expected = {{"1", 246, Y0}, {"2", 417, Y0}, {"3", 630, Y0},
                                         {"5", 795, Y0}, {"6", 960, Y0}, {"7", 1140, Y0}};
    EXPECT_EQ(drawn(textsAt(canvas, Y0)), expected);
    std::vector<Drawn> totals;
    for (const auto& [text, x, y] : expected)
        totals.emplace_back(text, x, TOTAL_Y);
    EXPECT_EQ(drawn(textsAt(canvas, TOTAL_Y)), totals);
}

struct RowsCase {
    const char* name;
    bool previousYear;
    int lastMonth;
    std::vector<int> checked; // rows whose boxes are ticked
    std::set<int> printed;
};

void PrintTo(const RowsCase& c, std::ostream* os) {
    *os << c.name;
}

class PrintedRows : public ::testing::TestWithParam<RowsCase> {};

// Hours 1 in every month of the current year, 2 in the previous one.
TEST_P(PrintedRows, OnlyReportedAndTickedRows) {
    CardFixture f;
    sample::PublisherSpec now = person("Aušra", "Jonaitien\xEB", 112);
    sample::PublisherSpec before = now;
    for (auto& m : now.months)
        m = {.hours = 1};
    for (auto& m : before.months)
        m = {.hours = 2};
    const int j = f.addPublisher(now);
    f.link(j, f.addPrevious(before));
    f.select(j);
    f.state.previousYear = GetParam().previousYear;
    f.state.lastMonth = GetParam().lastMonth;
    for (int r : GetParam().checked)
        f.state.monthChecked[static_cast<std::size_t>(r)] = true;

    RecordingCanvas canvas;
    drawServiceTable(canvas, f.state);
    std::set<int> rows;
    for (const TextCall& t : canvas.texts()) {
        EXPECT_EQ((t.at.y - Y0) % ROW_HEIGHT, 0);
        EXPECT_EQ(t.at.x, HOURS_X);
        rows.insert((t.at.y - Y0) / ROW_HEIGHT);
    }
    EXPECT_EQ(rows, GetParam().printed);
}

const std::vector<int> ALL_ROWS = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

INSTANTIATE_TEST_SUITE_P(
    Rows, PrintedRows,
    ::testing::Values(
        RowsCase{"StartedInFebruary", false, JAN, ALL_ROWS, {0, 1, 2, 3, 4}},
        RowsCase{
            "StartedInSeptember", false, AUG, ALL_ROWS, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        RowsCase{"StartedInOctober", false, SEP, ALL_ROWS, {0}},
        RowsCase{"OnlyTickedRows", false, AUG, {2, 5, 11}, {2, 5, 11}},
        RowsCase{"NothingTicked", false, AUG, {}, {}},
        RowsCase{"PreviousYearFromMarch", true, FEB, ALL_ROWS, {6, 7, 8, 9, 10, 11}},
        RowsCase{"PreviousYearTicked", true, FEB, {3, 7, 9}, {7, 9}},
        RowsCase{"PreviousYearStartedInSeptember", true, AUG, ALL_ROWS, {}},
        RowsCase{"PreviousYearStartedInJanuary", true, DEC, ALL_ROWS, {4, 5, 6, 7, 8, 9, 10, 11}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardRender, TheCardIsTheHeaderThenTheTable) {
    f.state.totalChecked = true;
    drawCard(canvas, f.state);
    RecordingCanvas header, table;
    drawCardHeader(header, f.state);
    drawServiceTable(table, f.state);
    std::vector<Drawn> both = drawn(header.texts());
    const std::vector<Drawn> rows = drawn(table.texts());
    both.insert(both.end(), rows.begin(), rows.end());
    EXPECT_EQ(drawn(canvas.texts()), both);
    EXPECT_EQ(canvas.texts().front().text, "Jonas Petrauskas");
}

TEST_F(CardRender, NoPublisherDrawsNoRecordData) {
    f.state.selectedRecord = -1;
    f.state.displayName.clear();
    f.state.mobileText.clear();
    drawCard(canvas, f.state);
    EXPECT_TRUE(canvas.texts().empty());
    f.state.data = nullptr;
    f.state.selectedRecord = 1;
    drawCard(canvas, f.state);
    EXPECT_TRUE(canvas.texts().empty());
}

namespace {

// Every call of a recording folded into one FNV-1a hash, so that a fixed card can be kept
// as one number.
struct Fingerprint {
    std::uint64_t value = 14695981039346656037ull;
    void add(std::string_view bytes) {
        for (const unsigned char c : bytes) {
            value ^= c;
            value *= 1099511628211ull;
        }
        value ^= 0xFF;
        value *= 1099511628211ull;
    }
    void add(long long n) { add(std::to_string(n)); }
    void add(const Rect& r) {
        add(r.left);
        add(r.top);
        add(r.right);
        add(r.bottom);
    }
    void add(const std::optional<Color>& c) { add(c ? static_cast<long long>(*c) : -1LL); }
};

std::uint64_t fingerprint(const RecordingCanvas& canvas) {
    Fingerprint h;
    for (const CanvasCall& call : canvas.calls()) {
        if (const auto* t = std::get_if<TextCall>(&call)) {
            h.add("text");
            h.add(t->text);
            h.add(t->box);
            h.add(t->baseline);
            h.add(t->font.face);
            h.add(t->font.height);
            h.add(t->font.weight);
            h.add(t->font.charset);
            h.add(static_cast<long long>(t->color));
            h.add(t->clip ? *t->clip : Rect{-1, -1, -1, -1});
        } else if (const auto* l = std::get_if<LineCall>(&call)) {
            h.add("line");
            h.add(Rect{l->from.x, l->from.y, l->to.x, l->to.y});
            h.add(l->pen);
        } else if (const auto* r = std::get_if<RectangleCall>(&call)) {
            h.add("rectangle");
            h.add(r->rect);
            h.add(r->pen);
            h.add(r->brush);
        } else if (const auto* fill = std::get_if<FillCall>(&call)) {
            h.add("fill");
            h.add(fill->rect);
            h.add(static_cast<long long>(fill->color));
        }
    }
    return h.value;
}

struct OldCardCase {
    const char* name;
    int version;
    int lastMonth;
    bool previousYear;
    bool printHeader;
    std::uint64_t card;    // drawCard at 300 dpi
    std::uint64_t preview; // drawTablePreview in a 700 x 266 pane
};

void PrintTo(const OldCardCase& c, std::ostream* os) {
    *os << c.name;
}

class OldCardVersions : public ::testing::TestWithParam<OldCardCase> {};

} // namespace

// Recorded before the November 2023 card came in: the older cards must not move a unit.
TEST_P(OldCardVersions, DrawExactlyAsRecorded) {
    const OldCardCase& c = GetParam();
    CardFixture f;
    sample::PublisherSpec p = jonas();
    p.months[DEC] = {.status = sample::AUXILIARY_PIONEER,
                     .books = 2,
                     .brochures = 3,
                     .hours = 50,
                     .subscriptions = 1,
                     .magazines = 40,
                     .returnVisits = 9,
                     .bibleStudies = 2,
                     .quarterHours = 2};
    p.months[FEB] = {.placementEncoding = true, .quarterHours = 1};
    const int j = f.addPublisher(p);
    ASSERT_TRUE(sample::writeRemarksFile(f.folder.path() / "remark7.dat",
                                         {{"Ligonin\xEBje", DEC + 1, 101}}));
    loadMonthRemarks(f.data, ServiceYear::Current, DEC);
    sample::PublisherSpec old = p;
    old.months[SEP].hours = 33;
    f.link(j, f.addPrevious(old));
    f.select(j);
    setLayoutDefaults(f.state.layout, c.version);
    f.state.cardVersion = c.version;
    f.state.columnSet = columnSetOf(c.version);
    f.state.lastMonth = c.lastMonth;
    f.state.previousYear = c.previousYear;
    f.state.printHeader = c.printHeader;
    f.state.markSex = true;
    f.state.totalChecked = true;
    f.state.monthChecked.fill(true);

    RecordingCanvas card(300, 300);
    drawCard(card, f.state);
    RecordingCanvas preview(96, 96);
    drawTablePreview(preview, Rect{0, 0, 700, 266}, f.state);
    EXPECT_EQ(fingerprint(card), c.card) << std::hex << fingerprint(card);
    EXPECT_EQ(fingerprint(preview), c.preview) << std::hex << fingerprint(preview);
}

INSTANTIATE_TEST_SUITE_P(
    Recorded, OldCardVersions,
    ::testing::Values(OldCardCase{"placementsAugust", 0, AUG, false, true, 0x9ff761b907b0d246,
                                  0x4c96aae031953217},
                      OldCardCase{"placementsPreviousFebruary", 0, FEB, true, true,
                                  0x429c02d7f5c72c32, 0xba4d6fc39420e41d},
                      OldCardCase{"literatureAugust", 1, AUG, false, true, 0x08639a94d710522b,
                                  0xd55033d3ef042933},
                      OldCardCase{"literatureJanuaryNoHeader", 1, JAN, false, false,
                                  0x318e6f1d6ea9547d, 0x009dc648ce4b20a3},
                      OldCardCase{"literaturePreviousDecember", 1, DEC, true, true,
                                  0x71d5ee21fdec1bce, 0x0a15ab1d74ecc501}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// Version 2 at 300 dpi, from the paper's corner whatever the margins (0.00 / 0.20): each
// mark starts at its position, the Bible studies and hours are centred on theirs.
constexpr int V2_Y0 = 852, V2_ROW = 82, V2_TOTAL_Y = 852 + 12 * 82;
constexpr int SHARED_X = 558, V2_STUDIES_X = 864, AUXILIARY_X = 1146, V2_HOURS_X = 1452;

// The middle of a text's box, rounded up.
int middle(const TextCall& t) {
    return (t.box.left + t.box.right + 1) / 2;
}

struct MinistryCase {
    const char* name;
    sample::MonthSpec september;
    std::vector<std::pair<std::string, int>> row; // text, x of a mark or middle of a figure
    const char* total;
    FieldAlign hours = FieldAlign::Centre; // the hours column's, as a form may set it
};

void PrintTo(const MinistryCase& c, std::ostream* os) {
    *os << c.name;
}

class MinistryColumns : public ::testing::TestWithParam<MinistryCase> {};

CardFixture& ministryCard(CardFixture& f) {
    setLayoutDefaults(f.state.layout, 2);
    f.state.cardVersion = 2;
    f.state.columnSet = columnSetOf(2);
    f.state.monthChecked.fill(true);
    f.state.totalChecked = true;
    return f;
}

} // namespace

TEST_P(MinistryColumns, ActivityStudiesAuxiliaryAndPioneerHours) {
    CardFixture f;
    sample::PublisherSpec p = person("Vardas", "Pavard\xEB");
    p.months[SEP] = GetParam().september;
    f.select(f.addPublisher(p));
    RecordingCanvas canvas;
    ministryCard(f).state.layout.setColumnAlign(MINISTRY_HOURS_ENTRY, GetParam().hours);
    drawServiceTable(canvas, f.state);
    // Where the hours stand: their middle, or the start or end of a left or right one.
    const auto hoursAt = [&](const TextCall& t) {
        const FieldAlign align = GetParam().hours;
        return align == FieldAlign::Centre ? middle(t)
               : align == FieldAlign::Left ? t.box.left
                                           : t.box.right;
    };
    std::vector<std::pair<std::string, int>> row;
    for (const TextCall& t : textsAt(canvas, V2_Y0)) {
        const bool hours = t.box.left > AUXILIARY_X;
        row.emplace_back(t.text, t.text == "x" ? t.at.x : hours ? hoursAt(t) : middle(t));
        EXPECT_EQ(t.box.top, V2_Y0) << t.text;
    }
    EXPECT_EQ(row, GetParam().row);
    const auto total = textsAt(canvas, V2_TOTAL_Y);
    ASSERT_EQ(total.size(), 1u); // the hours are the only total
    EXPECT_EQ(total[0].text, GetParam().total);
    EXPECT_EQ(hoursAt(total[0]), V2_HOURS_X);
    EXPECT_TRUE(textsAt(canvas, V2_Y0 + V2_ROW).empty()); // October: nothing reported
}

INSTANTIATE_TEST_SUITE_P(
    November2023Card, MinistryColumns,
    ::testing::Values(
        MinistryCase{"nothingReported", {}, {}, "0"},
        MinistryCase{"quarterHoursAloneAreActivity", {.quarterHours = 1}, {{"x", SHARED_X}}, "0"},
        MinistryCase{"magazinesAreActivity", {.magazines = 3}, {{"x", SHARED_X}}, "0"},
        MinistryCase{"subscriptionsAreActivity", {.subscriptions = 1}, {{"x", SHARED_X}}, "0"},
        MinistryCase{"videoShowingsAreActivity",
                     {.placementEncoding = true, .videoShowings = 2},
                     {{"x", SHARED_X}},
                     "0"},
        MinistryCase{"publisherHoursAreNotShown",
                     {.placementEncoding = true, .hours = 10, .bibleStudies = 2},
                     {{"x", SHARED_X}, {"2", V2_STUDIES_X}},
                     "0"},
        MinistryCase{"auxiliaryPioneerHoursWithoutThePrefix",
                     {.status = sample::AUXILIARY_PIONEER, .hours = 30, .quarterHours = 2},
                     {{"x", SHARED_X}, {"30,5", V2_HOURS_X}, {"x", AUXILIARY_X}},
                     "30,5"},
        MinistryCase{"regularPioneerHours",
                     {.status = sample::REGULAR_PIONEER, .hours = 70, .quarterHours = 3},
                     {{"x", SHARED_X}, {"70,75", V2_HOURS_X}},
                     "70,75"},
        // A form's own alignment: its hours start or end at the position.
        MinistryCase{"hoursAlignedLeftByTheForm",
                     {.status = sample::REGULAR_PIONEER, .hours = 70, .bibleStudies = 12},
                     {{"x", SHARED_X}, {"12", V2_STUDIES_X}, {"70", V2_HOURS_X}},
                     "70",
                     FieldAlign::Left},
        MinistryCase{"hoursAlignedRightByTheForm",
                     {.status = sample::REGULAR_PIONEER, .hours = 5, .quarterHours = 1},
                     {{"x", SHARED_X}, {"5,25", V2_HOURS_X}},
                     "5,25",
                     FieldAlign::Right},
        MinistryCase{"statusThreeIsNoPioneer",
                     {.status = 3, .hours = 5, .quarterHours = 1},
                     {{"x", SHARED_X}},
                     "0"},
        MinistryCase{"auxiliaryWithoutAReport",
                     {.status = sample::AUXILIARY_PIONEER},
                     {{"x", AUXILIARY_X}},
                     "0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MinistryHeader, HopeBoxesAppointmentPioneerAndServiceYear) {
    using Marks = std::vector<std::pair<int, int>>;
    struct Case {
        bool anointed;
        const char* baptism;
        std::uint8_t appointment;
        std::uint8_t augustStatus;
        bool previousYear;
        Marks marks;
        const char* year;
    };
    const Case cases[] = {
        // Anointed elder: the anointed box, the elder box.
        {true, "06201990", sample::ELDER, 0, false, {{2034, 417}, {81, 483}}, "2027"},
        // Other sheep, servant, regular pioneer in the last month; never a special pioneer.
        {false,
         "06201990",
         sample::MINISTERIAL_SERVANT,
         sample::REGULAR_PIONEER,
         false,
         {{1611, 417}, {345, 483}, {912, 483}},
         "2027"},
        // Unbaptized: no hope box; the previous service year is named.
        {true, "", 0, sample::AUXILIARY_PIONEER, true, {}, "2026"},
    };
    for (const Case& c : cases) {
        CardFixture f;
        sample::PublisherSpec p = person("Vardas", "Pavard\xEB");
        p.anointed = c.anointed;
        p.baptismDate = c.baptism;
        p.appointment = c.appointment;
        p.months[AUG].status = c.augustStatus;
        p.homePhone = "8 37 200101";
        p.address = "Kaunas";
        f.select(f.addPublisher(p));
        ministryCard(f).state.previousYear = c.previousYear;
        RecordingCanvas canvas;
        drawCardHeader(canvas, f.state);
        Marks marks;
        std::string year;
        for (const TextCall& t : canvas.texts()) {
            if (t.text == "x")
                marks.emplace_back(t.at.x, t.at.y);
            else if (middle(t) == 249 && t.at.y == 741) // centred on 0.83 in
                year = t.text;
            // No address or telephones on this card.
            EXPECT_NE(t.text, "Kaunas");
            EXPECT_NE(t.text, "8 37 200101");
        }
        EXPECT_EQ(marks, c.marks) << c.year << c.anointed;
        EXPECT_EQ(year, c.year);
    }
}

TEST(MinistryForm, RulesAndCaptionsFollowTheLayout) {
    CardFixture f;
    f.select(f.addPublisher(person("Vardas", "Pavard\xEB")));
    ministryCard(f).state.printForm = true;
    const auto verticalAt = [](const RecordingCanvas& canvas, int x) {
        for (const LineCall& l : canvas.lines())
            if (l.from.x == x && l.to.x == x && l.pen)
                return true;
        return false;
    };
    // The centred Bible studies' field is as wide on either side of its middle (2.88 in) as
    // from the shared in ministry's cell: its mark (5 pt wide) at 1.86 in in the middle, the
    // month column ending at 1.39 in. The auxiliary pioneer's cell (its mark at 3.82 in) is as
    // wide on either side; the hours reach the remarks' rule, 2 pt (8 dots) before their text
    // at 5.38 in, and so stand in the middle of their cell, within a point (4 dots) of 4.84 in.
    RecordingCanvas canvas;
    drawCard(canvas, f.state);
    const int afterShared = 2 * (558 + 10) - 417;
    const int afterStudies = 2 * 864 - afterShared;
    const int beforeHours = 2 * (1146 + 10) - afterStudies;
    EXPECT_TRUE(verticalAt(canvas, afterShared));
    EXPECT_TRUE(verticalAt(canvas, afterStudies));
    EXPECT_TRUE(verticalAt(canvas, beforeHours));
    EXPECT_TRUE(verticalAt(canvas, 1606));
    EXPECT_NEAR((beforeHours + 1606) / 2, 1452, 4);
    // Left-aligned ones start 2 pt in; the auxiliary pioneer's mark (3.82 in) stands in the
    // middle of its cell.
    f.state.layout.setColumnX(3, "4.50");
    f.state.layout.setColumnAlign(MINISTRY_STUDIES_ENTRY, FieldAlign::Left);
    f.state.layout.setColumnAlign(MINISTRY_HOURS_ENTRY, FieldAlign::Left);
    RecordingCanvas moved;
    drawCard(moved, f.state);
    EXPECT_TRUE(verticalAt(moved, 1342));
    EXPECT_TRUE(verticalAt(moved, 2 * (1146 + 10) - 1342));
    EXPECT_TRUE(verticalAt(moved, afterShared));
    // Without the box the same card draws no line at all.
    f.state.printForm = false;
    RecordingCanvas plain;
    drawCard(plain, f.state);
    EXPECT_TRUE(plain.lines().empty());
    EXPECT_TRUE(plain.rectangles().empty());
}
