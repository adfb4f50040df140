#include "render/cardform.h"

#include "card/cardstate.h"
#include "card/figures.h"
#include "render/pagegeometry.h"
#include "text/strings.h"
#include "text/textids.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace pelkorl {

namespace {

constexpr int NAME_CAPTION = 104;
constexpr int ADDRESS_CAPTION = 105;
constexpr int PHONE_CAPTION = 106;
constexpr int BIRTH_CAPTION = 107;
constexpr int BAPTISM_CAPTION = 108;
constexpr int HOPE_CAPTION = 109;
constexpr int MOBILE_CAPTION = 145;
constexpr int MALE_CAPTION = 150;
constexpr int FEMALE_CAPTION = 151;
constexpr int VERSION_CAPTION = 400;
constexpr int LITERATURE_CAPTION = 1012;
constexpr int PLACEMENTS_CAPTION = 1415;
constexpr int REMARKS_CAPTION = 1019;
constexpr int TOTAL_CAPTION = 1068;
constexpr int MONTH_NAME = 1203; // + calendar month

// Sizes in hundredths of an inch, and fonts in tenths of a point.
constexpr int CAPTION_ROW = 30;
constexpr int CARD_FOOT = 20;
constexpr int OLDER_CARD_WIDTH = 580; // the older cards keep no width in their layout
constexpr int MIN_MONTH_COLUMN = 40;
constexpr int NUMBER_PAD = 6;  // right-aligned figures end this far left of their rule
constexpr int CAPTION_GAP = 5; // between a caption and its writing line or box
constexpr int BOX = 12;
constexpr int MINISTRY_BOX = 14; // the branch's form has 10.4 pt boxes and room for them
constexpr int FRAME_PAD = 10;    // the 11/23 card's outline this far left of its first item
constexpr int TITLE_ROOM = 40;   // and this far above its name line
constexpr int SERVICE_YEAR_ROOM = 15;
constexpr int SERVICE_YEAR_LINE = 50;
constexpr int INSET = 5;
constexpr int DATA_TENTHS = 100; // the header's data font, as cardrender draws it
constexpr int CAPTION_TENTHS = 80;
constexpr int TABLE_CAPTION_TENTHS = 70;
constexpr int SMALL_TENTHS = 60;
constexpr int TITLE_TENTHS = 90;

constexpr TextAlign LEFT_TOP{HorizontalAlign::Left, VerticalAlign::Top, false};
constexpr TextAlign RIGHT_TOP{HorizontalAlign::Right, VerticalAlign::Top, false};
constexpr TextAlign LEFT_BOTTOM{HorizontalAlign::Left, VerticalAlign::Bottom, false};

// Arial's "x" (Liberation Sans has the same metrics): advance and height of its ink, in ems;
// and the 10 pt table text's cell, in points.
constexpr double X_ADVANCE_EMS = 0.5;
constexpr double X_HEIGHT_EMS = 1062.0 / 2048;
constexpr double TABLE_CELL_POINTS = 10 * 2288.0 / 2048;
// The 11/23 card's left- and right-aligned figures stand this far in from their fields'
// edges, in points.
constexpr double FIELD_INSET_POINTS = 2;

unsigned dpiOf(int dpi) {
    return static_cast<unsigned>(dpi > 0 ? dpi : 0);
}

// Where the writing line of a text datum at x starts: under the datum's start, middle or end.
int lineStart(int x, FieldAlign align, int length) {
    if (align == FieldAlign::Centre)
        return x - length / 2;
    return align == FieldAlign::Right ? x - length : x;
}

int hundredths(int dpi, int value) {
    return static_cast<int>(static_cast<long long>(dpi > 0 ? dpi : 0) * value / 100);
}

FontSpec font(int tenths, int dpiY, int weight = WEIGHT_NORMAL) {
    FontSpec f = pointFont("Arial", tenths, dpiY, CHARSET_BALTIC);
    f.weight = weight;
    return f;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        out.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    out.push_back(text.substr(from));
    return out;
}

void line(Canvas& canvas, int x1, int y1, int x2, int y2) {
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2, y2);
}

// How a header item looks on the form.
enum class Field {
    Text, // caption left of the data, writing line under it
    Box,  // a box around the mark, caption beside it
};

struct FormItem {
    int item;    // layout item whose position it takes
    int caption; // string id
    Field kind;
    int lineLength;    // hundredths, for text fields
    int lineItem = -1; // the item whose y the data use, when not its own
};

class FormPainter {
public:
    FormPainter(Canvas& canvas, CardState& state)
        : canvas_(canvas), state_(state), dpiX_(canvas.dpiX()), dpiY_(canvas.dpiY()) {}

    void draw();

private:
    int x(int item) const {
        return inchesToDevice(dpiOf(dpiX_), state_.layout.headerX(item)) + state_.leftMarginDev;
    }
    int y(int item) const {
        return inchesToDevice(dpiOf(dpiY_), state_.layout.headerY(item)) + state_.topMarginDev;
    }
    void drawHeader(const FormTable& table);
    void drawItem(const FormItem& item, int px, int py, const FormTable& table);
    void drawTable(const FormTable& table);
    void centred(const std::string& text, int left, int right, int top);

    Canvas& canvas_;
    CardState& state_;
    int dpiX_;
    int dpiY_;
};

void FormPainter::centred(const std::string& text, int left, int right, int top) {
    const double width = canvas_.textWidth(text);
    canvas_.textOut(static_cast<int>((left + right) / 2 - width / 2), top, text);
}

void FormPainter::drawItem(const FormItem& item, int px, int py, const FormTable& table) {
    // The caption shares the data's baseline.
    canvas_.selectFont(font(DATA_TENTHS, dpiY_));
    const FontMetrics data = canvas_.fontMetrics();
    const int baseline = py + static_cast<int>(data.ascent);
    canvas_.selectFont(font(CAPTION_TENTHS, dpiY_));
    const int captionTop = baseline - static_cast<int>(canvas_.fontMetrics().ascent);
    const std::string caption = loadText(item.caption);
    const int captionWidth = static_cast<int>(canvas_.textWidth(caption));
    const int gap = hundredths(dpiX_, CAPTION_GAP);

    if (item.kind == Field::Text) {
        const int lineY = py + static_cast<int>(data.height());
        const int length = hundredths(dpiX_, item.lineLength);
        const int start = lineStart(px, headerAlign(state_, item.item), length);
        const int end = std::min(start + length, table.right - hundredths(dpiX_, INSET));
        line(canvas_, start, lineY, end, lineY);
        if (start - gap - captionWidth >= table.left + gap) {
            canvas_.setTextAlign(RIGHT_TOP);
            canvas_.textOut(start - gap, captionTop, caption);
        } else {
            // No room on the left: a small caption stands on the data's top instead.
            canvas_.selectFont(font(SMALL_TENTHS, dpiY_));
            canvas_.setTextAlign(LEFT_BOTTOM);
            canvas_.textOut(start, py + hundredths(dpiY_, 2), caption);
        }
        return;
    }

    // The box is centred on the ink of the "x" drawn with its cell's top-left at (px, py).
    const int box = state_.columnSet == ColumnSet::Ministry ? MINISTRY_BOX : BOX;
    const double em = -font(DATA_TENTHS, dpiY_).height;
    const int centreX = px + static_cast<int>(em * X_ADVANCE_EMS / 2);
    const int centreY = baseline - static_cast<int>(em * X_HEIGHT_EMS / 2);
    const int side = hundredths(dpiX_, box);
    const int left = centreX - side / 2;
    const int top = centreY - hundredths(dpiY_, box) / 2;
    canvas_.rectangle(Rect{left, top, left + side, top + hundredths(dpiY_, box)});
    if (left + side + gap + captionWidth <= table.right - hundredths(dpiX_, INSET)) {
        canvas_.setTextAlign(LEFT_TOP);
        canvas_.textOut(left + side + gap, captionTop, caption);
    } else {
        canvas_.setTextAlign(RIGHT_TOP);
        canvas_.textOut(left - gap, captionTop, caption);
    }
}

void FormPainter::drawHeader(const FormTable& table) {
    using H = HeaderItem;
    const auto k = [](H item) {
        return static_cast<int>(item);
    };
    std::vector<FormItem> items;
    if (state_.columnSet == ColumnSet::Ministry) {
        items = {
            {k(H::Name), NAME_CAPTION, Field::Text, 300},
            {k(H::ServiceYear), FORM_SERVICE_YEAR, Field::Text, SERVICE_YEAR_LINE},
            {k(H::BirthDate), BIRTH_CAPTION, Field::Text, 110},
            {k(H::DateImmersed), BAPTISM_CAPTION, Field::Text, 110},
            {k(H::MaleMark), MALE_CAPTION, Field::Box, 0},
            {k(H::FemaleMark), FEMALE_CAPTION, Field::Box, 0},
            {k(H::AnointedMark), FORM_OTHER_SHEEP, Field::Box, 0},
            {k(H::AnointedBox), FORM_ANOINTED, Field::Box, 0},
            {k(H::ElderMark), FORM_ELDER, Field::Box, 0},
            {k(H::ServantMark), FORM_SERVANT, Field::Box, 0},
            {k(H::PioneerMark), FORM_REGULAR_PIONEER, Field::Box, 0},
            {k(H::SpecialPioneerMark), FORM_SPECIAL_PIONEER, Field::Box, 0},
        };
    } else {
        items = {
            {k(H::Name), NAME_CAPTION, Field::Text, 300},
            {k(H::HomeAddress), ADDRESS_CAPTION, Field::Text, 300},
            {k(H::HomePhone), PHONE_CAPTION, Field::Text, 130},
            {k(H::MobilePhone), MOBILE_CAPTION, Field::Text, 130},
            {k(H::BirthDate), BIRTH_CAPTION, Field::Text, 100},
            {k(H::DateImmersed), BAPTISM_CAPTION, Field::Text, 90},
            // "P" or "K.A." stands on the immersion line.
            {k(H::AnointedMark), HOPE_CAPTION, Field::Text, 50, k(H::DateImmersed)},
            {k(H::ElderMark), FORM_ELDER, Field::Box, 0},
            {k(H::PioneerMark), FORM_REGULAR_PIONEER, Field::Box, 0},
            {k(H::ServantMark), FORM_SERVANT, Field::Box, 0},
            {k(H::MaleMark), MALE_CAPTION, Field::Box, 0},
            {k(H::FemaleMark), FEMALE_CAPTION, Field::Box, 0},
        };
    }
    for (const FormItem& item : items)
        drawItem(item, x(item.item), y(item.lineItem >= 0 ? item.lineItem : item.item), table);

    if (state_.columnSet == ColumnSet::Ministry) {
        // The field missionary box has no data and no slot: it follows the pioneer boxes,
        // one step further along their line.
        const int regular = x(k(H::PioneerMark));
        const int special = x(k(H::SpecialPioneerMark));
        drawItem({k(H::SpecialPioneerMark), FORM_FIELD_MISSIONARY, Field::Box, 0},
                 2 * special - regular, y(k(H::SpecialPioneerMark)), table);
        canvas_.selectFont(font(TITLE_TENTHS, dpiY_, WEIGHT_BOLD));
        canvas_.setTextAlign(LEFT_TOP);
        centred(loadText(FORM_TITLE), table.left, table.right,
                table.top + hundredths(dpiY_, INSET));
    }
}

std::string columnCaption(ColumnSet set, int kind) {
    switch (set) {
    case ColumnSet::Placements:
        return loadText(PLACEMENTS_CAPTION + kind);
    case ColumnSet::Ministry:
        return loadText(MINISTRY_FORM_CAPTION + kind);
    case ColumnSet::Literature:
        break;
    }
    return loadText(LITERATURE_CAPTION + kind);
}

void FormPainter::drawTable(const FormTable& t) {
    canvas_.rectangle(Rect{t.left, t.top, t.right, t.bottom});
    line(canvas_, t.left, t.captionTop, t.right, t.captionTop);
    for (const int rule : t.rows)
        line(canvas_, t.left, rule, t.right, rule);
    const int tableBottom = t.rows.back();
    line(canvas_, t.monthRight, t.captionTop, t.monthRight, tableBottom);
    for (const int rule : t.columns)
        line(canvas_, rule, t.captionTop, rule, tableBottom);
    line(canvas_, t.remarksLeft, t.captionTop, t.remarksLeft, tableBottom);

    // Column captions, centred in their cells, one line under another.
    canvas_.selectFont(font(TABLE_CAPTION_TENTHS, dpiY_));
    canvas_.setTextAlign(LEFT_TOP);
    const int lineHeight = static_cast<int>(canvas_.fontMetrics().height());
    const auto caption = [&](const std::string& text, int left, int right) {
        const std::vector<std::string> parts = lines(text);
        const int height = lineHeight * static_cast<int>(parts.size());
        int y = t.captionTop + (t.rows.front() - t.captionTop - height) / 2;
        for (const std::string& part : parts) {
            centred(part, left, right, y);
            y += lineHeight;
        }
    };
    std::vector<PrintedColumn> columns(printedColumns(state_.columnSet).begin(),
                                       printedColumns(state_.columnSet).end());
    std::sort(columns.begin(), columns.end(),
              [](const PrintedColumn& a, const PrintedColumn& b) { return a.entry < b.entry; });
    int left = t.monthRight;
    for (std::size_t i = 0; i < columns.size() && i < t.columns.size(); ++i) {
        caption(columnCaption(state_.columnSet, columns[i].kind), left, t.columns[i]);
        left = t.columns[i];
    }
    caption(loadText(REMARKS_CAPTION), t.remarksLeft, t.right);

    // Month names and the total row's caption in the month column.
    canvas_.selectFont(font(CAPTION_TENTHS, dpiY_));
    const int inset = hundredths(dpiX_, INSET);
    for (int r = 0; r < MONTH_ROWS; ++r)
        canvas_.textOut(t.left + inset, t.rows[static_cast<std::size_t>(r)] + inset / 2,
                        loadText(MONTH_NAME + monthOfRow(r)));
    canvas_.textOut(t.left + inset, t.rows[MONTH_ROWS] + inset / 2, loadText(TOTAL_CAPTION));

    canvas_.selectFont(font(SMALL_TENTHS, dpiY_));
    if (state_.cardVersion >= 0 && state_.cardVersion < 100)
        canvas_.textOut(t.left + inset, tableBottom + inset,
                        loadText(VERSION_CAPTION + state_.cardVersion));
}

void FormPainter::draw() {
    const FormTable table = formTable(state_, dpiX_, dpiY_);
    drawTable(table);
    drawHeader(table);
}

} // namespace

namespace {

int points(int dpi, double value) {
    return static_cast<int>((dpi > 0 ? dpi : 0) * value / 72);
}

struct Edges {
    std::optional<int> left;
    std::optional<int> right;
};

// A text column's field, its edges as far as its datum's position and alignment tell from
// the edges already known: a left- or right-aligned datum stands `inset` in from its side, a
// centred one as far from either edge.
Edges fieldEdges(int x, FieldAlign align, int inset, Edges known) {
    switch (align) {
    case FieldAlign::Left:
        if (!known.left)
            known.left = x - inset;
        break;
    case FieldAlign::Right:
        if (!known.right)
            known.right = x + inset;
        break;
    case FieldAlign::Centre:
        if (known.left && !known.right)
            known.right = 2 * x - *known.left;
        else if (known.right && !known.left)
            known.left = 2 * x - *known.right;
        break;
    }
    return known;
}

// Right of shared in ministry, studies, auxiliary pioneer and hours, and left of the remarks,
// whose field ends `inset` before the card's right edge.
void ministryColumnRules(FormTable& t, const CardLayout& layout,
                         const std::array<int, TABLE_COLUMN_COUNT>& column, int inset,
                         int halfMark) {
    const auto edges = [&](int entry, Edges known) {
        return fieldEdges(column[entry], layout.columnAlignOf(entry), inset, known);
    };
    const int shared = column[0] + halfMark;
    const int auxiliary = column[2] + halfMark;
    t.monthRight = column[MINISTRY_MONTH_COLUMN_ENTRY];
    const Edges remarks = edges(REMARKS_ENTRY, {std::nullopt, t.right - inset});
    const Edges studies = edges(MINISTRY_STUDIES_ENTRY, {2 * shared - t.monthRight, std::nullopt});
    Edges hours = edges(MINISTRY_HOURS_ENTRY, {});
    // The auxiliary pioneer's cell lies between them; known on neither side, it is as wide as
    // the shared in ministry's.
    int afterStudies = auxiliary - (*studies.left - shared);
    if (studies.right)
        afterStudies = *studies.right;
    else if (hours.left)
        afterStudies = 2 * auxiliary - *hours.left;
    if (!hours.left)
        hours.left = 2 * auxiliary - afterStudies;
    // Centred hours reach the remarks, or as far on the right as on the left.
    if (!hours.right)
        hours.right = remarks.left;
    hours = edges(MINISTRY_HOURS_ENTRY, hours);
    const int afterHours = hours.right.value_or(column[REMARKS_ENTRY] - inset);
    t.remarksLeft = remarks.left.value_or(afterHours);
    t.columns = {*studies.left, afterStudies, *hours.left, afterHours};
}

// The 11/23 card's rules: its marks stand in the middle of their cells, so a mark's cell is
// as wide on either side of it, and its figures stand in their fields as aligned.
void ministryRules(FormTable& t, const CardState& state, int dpiX, int dpiY) {
    const CardLayout& layout = state.layout;
    const auto x = [&](HeaderItem item) {
        return inchesToDevice(dpiOf(dpiX), layout.headerX(item));
    };
    const auto y = [&](HeaderItem item) {
        return inchesToDevice(dpiOf(dpiY), layout.headerY(item));
    };
    // The outline keeps clear of the first item on the left and of the title above the name.
    const int year =
        lineStart(x(HeaderItem::ServiceYear), layout.headerAlignOf(HeaderItem::ServiceYear),
                  hundredths(dpiX, SERVICE_YEAR_LINE));
    t.left = state.leftMarginDev +
             std::max(0, std::min(x(HeaderItem::ElderMark), year) - hundredths(dpiX, FRAME_PAD));
    t.top = state.topMarginDev + std::max(0, y(HeaderItem::Name) - hundredths(dpiY, TITLE_ROOM));
    // The service year stands in the month column's caption cell, its small caption on top.
    t.captionTop = std::min(t.captionTop, state.topMarginDev + y(HeaderItem::ServiceYear) -
                                              hundredths(dpiY, SERVICE_YEAR_ROOM));
    std::array<int, TABLE_COLUMN_COUNT> column{};
    for (int i = 0; i < TABLE_COLUMN_COUNT; ++i)
        column[i] = state.leftMarginDev + inchesToDevice(dpiOf(dpiX), layout.columnX(i));
    ministryColumnRules(t, layout, column, points(dpiX, FIELD_INSET_POINTS),
                        points(dpiX, 10 * X_ADVANCE_EMS / 2));
}

} // namespace

FormTable formTable(const CardState& state, int dpiX, int dpiY) {
    const CardLayout& layout = state.layout;
    const auto columnDev = [&](int entry) {
        return inchesToDevice(dpiOf(dpiX), layout.columnX(entry));
    };
    FormTable t;
    t.left = state.leftMarginDev;
    t.top = state.topMarginDev;
    const bool ministry = state.columnSet == ColumnSet::Ministry;
    t.right = t.left + (ministry ? columnDev(MINISTRY_CARD_WIDTH_ENTRY)
                                 : hundredths(dpiX, OLDER_CARD_WIDTH));

    const int y0 = inchesToDevice(dpiOf(dpiY), layout.tableTop()) + state.topMarginDev;
    const int rowHeight = inchesToDevice(dpiOf(dpiY), layout.tableHeight()) / MONTH_ROWS;
    // Rules a little above each row's text, so that the text sits inside its row; on the
    // 11/23 card the text is in the middle of its row.
    const int lift =
        ministry ? std::max(0, (rowHeight - points(dpiY, TABLE_CELL_POINTS)) / 2) : rowHeight / 10;
    for (int r = 0; r <= MONTH_ROWS + 1; ++r)
        t.rows.push_back(y0 + r * rowHeight - lift);
    t.captionTop = t.rows.front() - hundredths(dpiY, CAPTION_ROW);
    t.bottom = t.rows.back() + hundredths(dpiY, CARD_FOOT);
    if (ministry) {
        ministryRules(t, state, dpiX, dpiY);
        return t;
    }

    std::vector<PrintedColumn> columns(printedColumns(state.columnSet).begin(),
                                       printedColumns(state.columnSet).end());
    std::sort(columns.begin(), columns.end(),
              [](const PrintedColumn& a, const PrintedColumn& b) { return a.entry < b.entry; });
    for (const PrintedColumn& c : columns)
        t.columns.push_back(t.left + columnDev(c.entry) + hundredths(dpiX, NUMBER_PAD));
    t.remarksLeft = t.left + columnDev(REMARKS_ENTRY) - hundredths(dpiX, NUMBER_PAD);
    // As wide as the first figure column's step to the second, but room for a month.
    const int first = columnDev(columns[0].entry);
    const int second = columnDev(columns[1].entry);
    t.monthRight = t.left + std::max(hundredths(dpiX, MIN_MONTH_COLUMN),
                                     first + hundredths(dpiX, NUMBER_PAD) - (second - first));
    return t;
}

void drawCardForm(Canvas& canvas, CardState& state) {
    computeMargins(state, canvas.dpiX(), canvas.dpiY());
    const FontSpec font = canvas.font();
    const TextAlign align = canvas.textAlign();
    const Color color = canvas.textColor();
    const bool transparent = canvas.backgroundTransparent();
    canvas.setPen(BLACK);
    canvas.setBrush(std::nullopt);
    canvas.setTextColor(BLACK);
    canvas.setBackgroundTransparent(true);
    FormPainter(canvas, state).draw();
    canvas.selectFont(font);
    canvas.setTextAlign(align);
    canvas.setTextColor(color);
    canvas.setBackgroundTransparent(transparent);
    canvas.setPen(BLACK);
    canvas.setBrush(WHITE);
}

} // namespace pelkorl
