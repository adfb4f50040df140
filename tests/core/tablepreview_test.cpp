// The service table preview on the recording surface, in a pane of 525 x 199 pixels (the
// main dialog's 350 x 133 dialog units): the grid and captions of both column sets, which
// rows carry figures for each year, grey and black, the remarks clipped to their cell and
// the total row.
#include "card/figures.h"
#include "cardfixture.h"
#include "recordingcanvas.h"
#include "records/remarks.h"
#include "render/tablepreview.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

constexpr Rect PANE{0, 0, 525, 199};
constexpr int JAN = 0, FEB = 1, AUG = 7, SEP = 8, OCT = 9;

// Worked out by hand for PANE: rowH 14, xMonth 44; Placements colW 58, Literature 52.
constexpr int ROW_H = 14;
constexpr int MONTH_X = 44;
constexpr int TOTAL_Y = 183;
// Right edges of the Placements figures, entries 0-4.
constexpr int FIGURE_X[] = {106, 164, 222, 280, 338};
constexpr int REMARKS_X = 366;

// Top of the text line of table row r (0 = September).
constexpr int rowY(int r) {
    return (r + 1) * ROW_H + 1;
}

using Placed = std::tuple<std::string, int, int>;
using Segment = std::tuple<Point, Point>;

std::vector<Placed> placed(const std::vector<TextCall>& texts) {
    std::vector<Placed> out;
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

// Figures and remarks of a line: everything but its month name.
std::vector<TextCall> figuresAt(const RecordingCanvas& canvas, int y) {
    std::vector<TextCall> out;
    for (const TextCall& t : textsAt(canvas, y))
        if (t.at.x != MONTH_X)
            out.push_back(t);
    return out;
}

// Every month in the placement encoding: placements base + m, hours 20 + m.
sample::PublisherSpec everyMonth(std::uint16_t id, int base) {
    sample::PublisherSpec p = person("Povilas", "Grigas", id);
    for (int m = 0; m < 12; ++m) {
        auto& month = p.months[static_cast<std::size_t>(m)];
        month.placementEncoding = true;
        month.placements = static_cast<std::uint16_t>(base + m);
        month.hours = static_cast<std::uint16_t>(20 + m);
    }
    return p;
}

class TablePreview : public ::testing::Test {
protected:
    void paint() {
        canvas.clear();
        drawTablePreview(canvas, PANE, f.state);
    }
    int select(const sample::PublisherSpec& p) {
        const int j = f.addPublisher(p);
        f.state.selectedRecord = j;
        return j;
    }

    CardFixture f;
    RecordingCanvas canvas{96, 96};
};

struct GridCase {
    const char* name;
    ColumnSet set;
    std::vector<int> verticals;
    std::vector<Placed> captions; // column captions and the remarks caption
};

class TableGrid : public TablePreview, public ::testing::WithParamInterface<GridCase> {};

} // namespace

TEST_P(TableGrid, FrameLinesCaptionsAndMonths) {
    const GridCase c = GetParam();
    f.state.columnSet = c.set;
    f.state.selectedRecord = -1;
    f.state.lastMonth = AUG;
    paint();

    const auto rectangles = canvas.rectangles();
    ASSERT_EQ(rectangles.size(), 1u);
    EXPECT_EQ(rectangles[0].rect, PANE);
    EXPECT_EQ(rectangles[0].pen, BLACK);
    EXPECT_EQ(rectangles[0].brush, WHITE);

    std::vector<Segment> expected;
    for (int x : c.verticals)
        expected.emplace_back(Point{x, 0}, Point{x, 199});
    for (int j = 1; j <= 13; ++j)
        expected.emplace_back(Point{0, j * ROW_H}, Point{525, j * ROW_H});
    std::vector<Segment> lines;
    for (const LineCall& l : canvas.lines()) {
        EXPECT_EQ(l.pen, BLACK);
        lines.emplace_back(l.from, l.to);
    }
    EXPECT_EQ(lines, expected);

    std::vector<Placed> texts = c.captions;
    texts.emplace_back("2027", MONTH_X, 1);
    const char* months[] = {"Rgs", "Spa", "Lap", "Grd", "Sau", "Vas",
                            "Kov", "Bal", "Geg", "Bir", "Lie", "Rgp"};
    for (int r = 0; r < 12; ++r)
        texts.emplace_back(months[r], MONTH_X, rowY(r));
    texts.emplace_back("Iš Viso", MONTH_X, TOTAL_Y);
    EXPECT_EQ(placed(canvas.texts()), texts);
    for (const TextCall& t : canvas.texts()) {
        EXPECT_EQ(t.color, GREY) << t.text;
        EXPECT_EQ(t.align.horizontal, HorizontalAlign::Right) << t.text;
        EXPECT_EQ(t.box.right, t.at.x) << t.text;
        EXPECT_EQ(t.font, stockVariableFont());
        EXPECT_TRUE(t.transparent);
    }
}

INSTANTIATE_TEST_SUITE_P(Sets, TableGrid,
                         ::testing::Values(
                             // Five figure columns; "Pak.apl." has 8 characters and sits 4 pixels
                             // in; the remarks caption ends at 7/8 of the width.
                             GridCase{"Placements",
                                      ColumnSet::Placements,
                                      {58, 116, 174, 232, 290, 348},
                                      {{"Leid.", 108, 1},
                                       {"Video", 166, 1},
                                       {"Val.", 224, 1},
                                       {"Pak.apl.", 286, 1},
                                       {"B.stud.", 340, 1},
                                       {"Pastabos", 460, 1}}},
                             // Six columns without the subscriptions; the remarks caption at 9/10.
                             GridCase{"Literature",
                                      ColumnSet::Literature,
                                      {52, 104, 156, 208, 260, 312, 364},
                                      {{"Knyg.", 96, 1},
                                       {"Brš.", 148, 1},
                                       {"Val.", 200, 1},
                                       {"Žur.", 252, 1},
                                       {"P.apl.", 304, 1},
                                       {"B.Std.", 356, 1},
                                       {"Pastabos", 473, 1}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TablePreview, CurrentYearStartedInFebruary) {
    f.state.lastMonth = JAN; // R = 5: September to January
    select(everyMonth(134, 1));
    paint();
    // Rows September-January: placements m + 1 and hours 20 + m.
    const int months[] = {8, 9, 10, 11, 0};
    for (int r = 0; r < 5; ++r) {
        const int m = months[r];
        EXPECT_EQ(placed(figuresAt(canvas, rowY(r))),
                  (std::vector<Placed>{{std::to_string(m + 1), FIGURE_X[0], rowY(r)},
                                       {std::to_string(20 + m), FIGURE_X[2], rowY(r)}}))
            << r;
    }
    for (int r = 5; r < 12; ++r)
        EXPECT_TRUE(figuresAt(canvas, rowY(r)).empty()) << r;
    // Totals of the five months: 9+10+11+12+1 and 28+29+30+31+20.
    EXPECT_EQ(placed(figuresAt(canvas, TOTAL_Y)), (std::vector<Placed>{{"43", 106, TOTAL_Y},
                                                                       {"0", 164, TOTAL_Y},
                                                                       {"138", 222, TOTAL_Y},
                                                                       {"0", 280, TOTAL_Y},
                                                                       {"0", 338, TOTAL_Y}}));
    EXPECT_EQ(std::get<0>(placed(textsAt(canvas, 1)).back()), "2027");
}

TEST_F(TablePreview, PreviousYearShowsAllTwelveFromTheRightFile) {
    f.state.lastMonth = FEB; // R = 6
    f.state.previousYear = true;
    sample::YearStamps stamps;
    stamps.fill(sample::yearStamp(2026));
    f.setPreviousStamps(stamps);
    const int j = select(everyMonth(134, 100));
    f.link(j, f.addPrevious(everyMonth(134, 200)));
    paint();

    // September to February come from the previous-year record, March to August from the
    // current one (which still holds them).
    for (int r = 0; r < 12; ++r) {
        const int m = monthOfRow(r);
        const int expected = r < 6 ? 200 + m : 100 + m;
        const auto figures = figuresAt(canvas, rowY(r));
        ASSERT_FALSE(figures.empty()) << r;
        EXPECT_EQ(figures[0].text, std::to_string(expected)) << r;
    }
    // 208+209+210+211+200+201 + 102+...+107, and hours 20..31 once each.
    const auto totals = figuresAt(canvas, TOTAL_Y);
    ASSERT_EQ(totals.size(), 5u);
    EXPECT_EQ(totals[0].text, "1866");
    EXPECT_EQ(totals[2].text, "306");
    EXPECT_EQ(std::get<0>(placed(textsAt(canvas, 1)).back()), "2026");
}

TEST_F(TablePreview, CheckedMonthsBlackOthersGrey) {
    f.state.lastMonth = AUG;
    select(everyMonth(134, 1));
    f.state.monthChecked[1] = true;
    paint();
    for (int r = 0; r < 12; ++r) {
        const auto texts = textsAt(canvas, rowY(r));
        ASSERT_EQ(texts.size(), 3u) << r; // month name, placements, hours
        EXPECT_EQ(texts[0].color, GREY) << r;
        for (std::size_t i = 1; i < texts.size(); ++i)
            EXPECT_EQ(texts[i].color, r == 1 ? BLACK : GREY) << r;
    }
    EXPECT_EQ(textsAt(canvas, TOTAL_Y).back().color, GREY);
}

TEST_F(TablePreview, TotalBoxTurnsTotalsBlackAndZeroShows) {
    f.state.lastMonth = AUG;
    select(person("Irena", "Kavaliauskien\xEB", 140));
    for (bool ticked : {false, true}) {
        f.state.totalChecked = ticked;
        paint();
        const auto totals = textsAt(canvas, TOTAL_Y);
        ASSERT_EQ(totals.size(), 6u);
        EXPECT_EQ(totals[0].text, "Iš Viso");
        EXPECT_EQ(totals[0].color, GREY);
        for (std::size_t i = 1; i < totals.size(); ++i) {
            EXPECT_EQ(totals[i].text, "0");
            EXPECT_EQ(totals[i].color, ticked ? BLACK : GREY);
        }
        // No month has a figure: every line holds its month name alone.
        for (int r = 0; r < 12; ++r)
            EXPECT_TRUE(figuresAt(canvas, rowY(r)).empty());
    }
}

TEST_F(TablePreview, RemarksClippedToTheirCell) {
    f.state.lastMonth = AUG;
    sample::PublisherSpec p = person("Ona", "Petrauskien\xEB", 102);
    p.months[SEP].status = sample::AUXILIARY_PIONEER;
    const std::string longRemark(36, 'W');
    select(p);
    ASSERT_TRUE(
        sample::writeRemarksFile(f.folder.path() / "remark7.dat", {{longRemark, OCT + 1, 102}}));
    loadMonthRemarks(f.data, ServiceYear::Current, OCT);
    f.state.monthChecked[1] = true;
    paint();

    const auto september = figuresAt(canvas, rowY(0));
    ASSERT_EQ(september.size(), 1u);
    EXPECT_EQ(september[0].text, "Pag.pionierius ");

    const auto october = figuresAt(canvas, rowY(1));
    ASSERT_EQ(october.size(), 1u);
    const TextCall& remark = october[0];
    EXPECT_EQ(remark.text, longRemark);
    EXPECT_EQ(remark.at, (Point{REMARKS_X, rowY(1)}));
    EXPECT_EQ(remark.align.horizontal, HorizontalAlign::Left);
    EXPECT_EQ(remark.color, BLACK);
    ASSERT_TRUE(remark.clip);
    EXPECT_EQ(*remark.clip, (Rect{REMARKS_X, rowY(1), 525, rowY(2)}));
    // Wider than the cell (6 pixels a character here), so the clip is what cuts it.
    EXPECT_GT(remark.box.right, 525);
    // Nothing of it reaches the next line, and right alignment is back for November.
    EXPECT_TRUE(figuresAt(canvas, rowY(2)).empty());
    EXPECT_EQ(textsAt(canvas, rowY(2))[0].align.horizontal, HorizontalAlign::Right);
}

TEST_F(TablePreview, NoPublisherNoFiguresRemarksOrTotals) {
    f.state.lastMonth = AUG;
    f.addPublisher(everyMonth(134, 1));
    for (int selected : {-1, 0, 2, 400}) {
        f.state.selectedRecord = selected;
        paint();
        EXPECT_EQ(canvas.texts().size(), 6u + 1 + 12 + 1) << selected;
        EXPECT_EQ(canvas.texts().back().text, "Iš Viso");
        EXPECT_EQ(canvas.lines().size(), 6u + 13);
    }
}

TEST_F(TablePreview, HoursWithFractionTakeWholeHoursFromTheColumnSet) {
    // A previous-year month whose year stamp does not admit it reads 0 placements-wise,
    // though its hours byte holds 12: the preview shows 0,25 where the print shows 12,25.
    f.state.lastMonth = FEB;
    f.state.previousYear = true;
    f.state.monthChecked.fill(true);
    const int j = select(person("Rimantas", "Savickas", 130));
    sample::PublisherSpec before = person("Rimantas", "Savickas", 130);
    before.months[OCT] = {.placementEncoding = true, .hours = 12, .quarterHours = 1};
    before.months[SEP] = {.placementEncoding = true, .hours = 0, .quarterHours = 3};
    f.link(j, f.addPrevious(before));

    EXPECT_EQ(cellText(f.state, j, OCT, KIND_HOURS).text, "12,25");
    EXPECT_EQ(previewCellText(f.state, j, OCT, KIND_HOURS).text, "0,25");
    EXPECT_TRUE(previewCellText(f.state, j, OCT, KIND_HOURS).drawn);
    // Without whole hours the fraction stands alone with its leading zero, as printed.
    EXPECT_EQ(previewCellText(f.state, j, SEP, KIND_HOURS).text,
              cellText(f.state, j, SEP, KIND_HOURS).text);
    paint();
    EXPECT_EQ(placed(figuresAt(canvas, rowY(1))),
              (std::vector<Placed>{{"0,25", FIGURE_X[2], rowY(1)}}));

    // Admitted by the stamp, both agree.
    sample::YearStamps stamps;
    stamps.fill(sample::yearStamp(2026));
    f.setPreviousStamps(stamps);
    EXPECT_EQ(previewCellText(f.state, j, OCT, KIND_HOURS).text, "12,25");
    // The Literature set reads the literature encoding for both.
    f.setPreviousStamps({});
    f.state.columnSet = ColumnSet::Literature;
    EXPECT_EQ(previewCellText(f.state, j, OCT, KIND_HOURS).text, "12,25");
}

struct YearCase {
    int lastMonth;
    bool previousYear;
    int year;
};

class ServiceYearNumber : public ::testing::TestWithParam<YearCase> {};

TEST_P(ServiceYearNumber, EndsInTheRightCalendarYear) {
    CardState state;
    state.currentYear = 2027;
    state.lastMonth = GetParam().lastMonth;
    state.previousYear = GetParam().previousYear;
    EXPECT_EQ(serviceYearNumber(state), GetParam().year);
}

INSTANTIATE_TEST_SUITE_P(Months, ServiceYearNumber,
                         ::testing::Values(YearCase{8, false, 2028}, YearCase{10, false, 2028},
                                           YearCase{11, false, 2027}, YearCase{7, false, 2027},
                                           YearCase{0, false, 2027}, YearCase{8, true, 2027},
                                           YearCase{9, true, 2027}, YearCase{11, true, 2026},
                                           YearCase{3, true, 2026}));

TEST_F(TablePreview, EmptyPaneDrawsNothing) {
    select(everyMonth(134, 1));
    for (const Rect& r : {Rect{0, 0, 0, 199}, Rect{0, 0, 525, 0}, Rect{10, 10, 5, 5}}) {
        canvas.clear();
        drawTablePreview(canvas, r, f.state);
        EXPECT_TRUE(canvas.calls().empty());
    }
}

TEST_F(TablePreview, PreviewAndPrintAgreeOnEveryCell) {
    // The preview's figures are the print's, cell by cell, for a year of mixed months.
    f.state.lastMonth = AUG;
    f.state.monthChecked.fill(true);
    sample::PublisherSpec p = everyMonth(135, 3);
    p.months[JAN] = {.books = 4, .brochures = 5, .hours = 7, .magazines = 9, .quarterHours = 2};
    const int j = select(p);
    for (ColumnSet set : {ColumnSet::Placements, ColumnSet::Literature}) {
        f.state.columnSet = set;
        paint();
        const TableGeometry g = tableGeometry(525, 199, set);
        for (int r = 0; r < 12; ++r) {
            std::vector<Placed> expected;
            for (const PrintedColumn& c : printedColumns(set)) {
                const CellText cell = cellText(f.state, j, monthOfRow(r), c.kind);
                if (cell.drawn)
                    expected.emplace_back(cell.text, (c.entry + 2) * g.colW - 10, rowY(r));
            }
            EXPECT_EQ(placed(figuresAt(canvas, rowY(r))), expected) << r;
        }
    }
}
