#include "render/cardrender.h"

#include "card/cardstate.h"
#include "card/figures.h"
#include "card/formatting.h"
#include "card/headermarks.h"
#include "card/totals.h"
#include "records/publisherdata.h"
#include "render/canvas.h"
#include "render/cardform.h"
#include "render/pagegeometry.h"
#include "render/tablepreview.h"
#include "text/codepage.h"
#include "text/strings.h"
#include "text/textids.h"

#include <cmath>
#include <functional>
#include <string>

namespace pelkorl {

namespace {

constexpr const char* MARK = "x";
constexpr int HEADER_POINT_TENTHS = 100;
constexpr int TABLE_POINTS = 10;

constexpr TextAlign LEFT_TOP{HorizontalAlign::Left, VerticalAlign::Top, false};
constexpr TextAlign RIGHT_TOP{HorizontalAlign::Right, VerticalAlign::Top, false};

unsigned dpiOf(int dpi) {
    return static_cast<unsigned>(dpi > 0 ? dpi : 0);
}

// A datum of the 11/23 card at x, as its field aligns it; the surface stays at LEFT_TOP.
void alignedText(Canvas& canvas, int x, int y, const std::string& text, FieldAlign align) {
    if (align == FieldAlign::Right) {
        canvas.setTextAlign(RIGHT_TOP);
        canvas.textOut(x, y, text);
        canvas.setTextAlign(LEFT_TOP);
        return;
    }
    const double half = align == FieldAlign::Centre ? canvas.textWidth(text) / 2 : 0;
    canvas.textOut(x - static_cast<int>(std::lround(half)), y, text);
}

// Record texts are Windows-1257; the canvas takes UTF-8.
void drawRecordText(Canvas& canvas, int x, int y, const std::string& bytes,
                    FieldAlign align = FieldAlign::Left) {
    if (!bytes.empty())
        alignedText(canvas, x, y, cp1257ToUtf8(bytes), align);
}

using Position = std::function<int(int)>;

void drawAppointmentMark(Canvas& canvas, const HeaderMarks& marks, const Position& X,
                         const Position& Y) {
    if (marks.elder) {
        const int k = static_cast<int>(HeaderItem::ElderMark);
        canvas.textOut(X(k), Y(k), MARK);
    } else if (marks.ministerialServant) {
        const int k = static_cast<int>(HeaderItem::ServantMark);
        canvas.textOut(X(k), Y(k), MARK);
    }
}

void drawPioneerMark(Canvas& canvas, const HeaderMarks& marks, const Position& X,
                     const Position& Y) {
    if (marks.regularPioneer) {
        const int k = static_cast<int>(HeaderItem::PioneerMark);
        canvas.textOut(X(k), Y(k), MARK);
    }
}

std::string recordDate(const CardState& state, int field) {
    if (!state.data)
        return {};
    return formatDate(state.data->store, cardPublisher(state), field, state.dateFormat);
}

// The header of the older cards, in the order they have always been drawn.
void drawHeaderItems(Canvas& canvas, const CardState& state, const PublisherRecord& record,
                     const HeaderMarks& marks, const Position& X, const Position& Y) {
    const int address = static_cast<int>(HeaderItem::HomeAddress);
    const int phone = static_cast<int>(HeaderItem::HomePhone);
    const int mobile = static_cast<int>(HeaderItem::MobilePhone);
    const int birth = static_cast<int>(HeaderItem::BirthDate);
    const int immersed = static_cast<int>(HeaderItem::DateImmersed);
    drawRecordText(canvas, X(address), Y(address), record.address());
    drawRecordText(canvas, X(phone), Y(phone), record.homePhone());
    drawRecordText(canvas, X(mobile), Y(mobile), state.mobileText);
    drawRecordText(canvas, X(birth), Y(birth), recordDate(state, BIRTH_DATE));
    drawAppointmentMark(canvas, marks, X, Y);
    drawRecordText(canvas, X(immersed), Y(immersed), recordDate(state, BAPTISM_DATE));
    // On the line of the immersion date: the y of its own item is not used.
    if (marks.baptized) {
        const std::string text = loadText(marks.anointed ? ANOINTED_TEXT : OTHER_SHEEP_TEXT);
        canvas.textOut(X(static_cast<int>(HeaderItem::AnointedMark)), Y(immersed), text);
    }
    drawPioneerMark(canvas, marks, X, Y);
}

// The 11/23 card: no address or telephones; the hope is one of two boxes, each at its own
// position; the service year has a place of its own.
void drawMinistryHeaderItems(Canvas& canvas, const CardState& state, const HeaderMarks& marks,
                             const Position& X, const Position& Y) {
    const int birth = static_cast<int>(HeaderItem::BirthDate);
    const int immersed = static_cast<int>(HeaderItem::DateImmersed);
    drawRecordText(canvas, X(birth), Y(birth), recordDate(state, BIRTH_DATE),
                   headerAlign(state, birth));
    drawRecordText(canvas, X(immersed), Y(immersed), recordDate(state, BAPTISM_DATE),
                   headerAlign(state, immersed));
    if (marks.baptized) {
        const int k =
            static_cast<int>(marks.anointed ? HeaderItem::AnointedBox : HeaderItem::AnointedMark);
        canvas.textOut(X(k), Y(k), MARK);
    }
    drawAppointmentMark(canvas, marks, X, Y);
    drawPioneerMark(canvas, marks, X, Y);
    const int year = static_cast<int>(HeaderItem::ServiceYear);
    alignedText(canvas, X(year), Y(year), std::to_string(serviceYearNumber(state)),
                headerAlign(state, year));
}

} // namespace

void drawCardHeader(Canvas& canvas, CardState& state) {
    if (!state.printHeader)
        return;
    const int dpiX = canvas.dpiX();
    const int dpiY = canvas.dpiY();
    computeMargins(state, dpiX, dpiY);
    const CardLayout& layout = state.layout;
    const auto xOffset = [&](int k) {
        return inchesToDevice(dpiOf(dpiX), layout.headerX(k));
    };
    const auto X = [&](int k) {
        return xOffset(k) + state.leftMarginDev;
    };
    const auto Y = [&](int k) {
        return inchesToDevice(dpiOf(dpiY), layout.headerY(k)) + state.topMarginDev;
    };
    const auto item = [](HeaderItem k) {
        return static_cast<int>(k);
    };

    const FontSpec previousFont = canvas.font();
    canvas.selectFont(pointFont("Arial", HEADER_POINT_TENTHS, dpiY, CHARSET_DEFAULT));
    canvas.setTextAlign(LEFT_TOP);

    const PublisherRecord& record = headerRecord(state, cardPublisher(state));
    const HeaderMarks marks = headerMarks(state, cardPublisher(state));
    const int name = item(HeaderItem::Name);
    drawRecordText(canvas, X(name), Y(name), state.displayName, headerAlign(state, name));

    if (state.markSex) {
        int k = -1;
        if (marks.sex == Sex::Male)
            k = item(HeaderItem::MaleMark);
        if (marks.sex == Sex::Female)
            k = item(HeaderItem::FemaleMark);
        // A mark placed at x 0.00 is switched off.
        if (k >= 0 && xOffset(k) != 0)
            canvas.textOut(X(k), Y(k), MARK);
    }

    if (state.columnSet == ColumnSet::Ministry)
        drawMinistryHeaderItems(canvas, state, marks, X, Y);
    else
        drawHeaderItems(canvas, state, record, marks, X, Y);

    canvas.selectFont(previousFont);
}

void drawServiceTable(Canvas& canvas, CardState& state) {
    const int dpiX = canvas.dpiX();
    const int dpiY = canvas.dpiY();
    computeMargins(state, dpiX, dpiY);
    const CardLayout& layout = state.layout;
    const int y0 = inchesToDevice(dpiOf(dpiY), layout.tableTop()) + state.topMarginDev;
    const int rowHeight = inchesToDevice(dpiOf(dpiY), layout.tableHeight()) / MONTH_ROWS;
    int columnDev[TABLE_COLUMN_COUNT];
    for (int i = 0; i < TABLE_COLUMN_COUNT; ++i)
        columnDev[i] = inchesToDevice(dpiOf(dpiX), layout.columnX(i));

    const FontSpec previousFont = canvas.font();
    const TextAlign previousAlign = canvas.textAlign();
    canvas.selectFont(
        FontSpec{"Arial", -mulDiv(TABLE_POINTS, dpiY, 72), WEIGHT_NORMAL, CHARSET_BALTIC});
    // The 11/23 card's figures stand as its form's fields align them; the older cards'
    // numbers end at their columns, their remarks start at theirs.
    const bool ministry = state.columnSet == ColumnSet::Ministry;
    const auto cellOut = [&](int entry, int y, const std::string& text) {
        const int x = state.leftMarginDev + columnDev[entry];
        if (ministry) {
            alignedText(canvas, x, y, text, layout.columnAlignOf(entry));
        } else {
            canvas.setTextAlign(entry == REMARKS_ENTRY ? LEFT_TOP : RIGHT_TOP);
            canvas.textOut(x, y, text);
        }
    };
    canvas.setTextAlign(LEFT_TOP);

    const int record = state.selectedRecord;
    const auto columns = printedColumns(state.columnSet);
    for (int r = 0; r < MONTH_ROWS; ++r) {
        const int m = monthOfRow(r);
        if (!state.monthChecked[static_cast<std::size_t>(r)] || !rowShown(state, r))
            continue;
        const int y = y0 + r * rowHeight;
        for (const PrintedColumn& column : columns) {
            const CellText cell = cellText(state, record, m, column.kind);
            if (cell.drawn)
                cellOut(column.entry, y, cell.text);
        }
        const std::string remarks = remarksText(state, record, m);
        if (!remarks.empty())
            cellOut(REMARKS_ENTRY, y, cp1257ToUtf8(remarks));
    }

    if (state.totalChecked) {
        const int y = y0 + MONTH_ROWS * rowHeight;
        for (const PrintedColumn& column : totalColumns(state.columnSet))
            cellOut(column.entry, y, columnTotal(state, record, column.kind, MONTH_ROWS));
    }

    canvas.setTextAlign(previousAlign);
    canvas.selectFont(previousFont);
}

void drawCard(Canvas& canvas, CardState& state) {
    if (state.printForm)
        drawCardForm(canvas, state);
    drawCardHeader(canvas, state);
    drawServiceTable(canvas, state);
}

} // namespace pelkorl
