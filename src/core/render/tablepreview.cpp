#include "render/tablepreview.h"

#include "card/cardstate.h"
#include "records/publisherdata.h"
#include "text/codepage.h"
#include "text/strings.h"
#include "text/textids.h"

#include <string>

namespace pelkorl {

namespace {

// Captions this long sit closer to their column's right edge.
constexpr int LONG_CAPTION = 8;

constexpr TextAlign RIGHT_ALIGN{HorizontalAlign::Right, VerticalAlign::Top, false};
constexpr TextAlign LEFT_ALIGN{HorizontalAlign::Left, VerticalAlign::Top, false};

std::string columnCaption(ColumnSet set, int kind) {
    if (set == ColumnSet::Ministry)
        return loadText(MINISTRY_PREVIEW_CAPTION + kind);
    return loadText(
        (set == ColumnSet::Placements ? PLACEMENTS_CAPTION_BASE : LITERATURE_CAPTION_BASE) + kind);
}

// Vertical lines between the month column, the figure columns and the remarks: one more
// than the figure columns (7 for Literature, 6 for Placements, 5 for Ministry).
int figureColumnCount(ColumnSet set) {
    return static_cast<int>(printedColumns(set).size());
}

// Characters as the code page counts them, one byte each.
int characterCount(const std::string& utf8) {
    return static_cast<int>(utf8ToCp1257(utf8).size());
}

} // namespace

TableGeometry tableGeometry(int width, int height, ColumnSet set) {
    TableGeometry g;
    // Remarks take three divisions, the month column one.
    g.divisions = set == ColumnSet::Literature ? 10 : set == ColumnSet::Placements ? 9 : 8;
    g.colW = width / g.divisions;
    g.rowH = height / TABLE_PREVIEW_ROWS;
    g.xMonth = width / 10 - 8 * CX_BORDER;
    return g;
}

CellText previewCellText(const CardState& state, int record, int m, int kind) {
    CellText cell = cellText(state, record, m, kind);
    if (kind != KIND_HOURS || state.columnSet == ColumnSet::Ministry)
        return cell;
    const int quarters = quarterCount(state, record, m);
    if (quarters != 0 && literatureFigure(state, record, m, KIND_HOURS) != 0)
        cell.text = std::to_string(columnFigure(state, record, m, KIND_HOURS)) +
                    quarterText(quarters, false);
    return cell;
}

void drawTablePreview(Canvas& canvas, const Rect& pane, CardState& state) {
    const int W = pane.width();
    const int H = pane.height();
    if (W <= 0 || H <= 0)
        return;
    const int ox = pane.left;
    const int oy = pane.top;
    const bool ministry = state.columnSet == ColumnSet::Ministry;
    // Columns fewer than the literature set's six.
    const int P = 6 - figureColumnCount(state.columnSet);
    const TableGeometry g = tableGeometry(W, H, state.columnSet);
    const auto lineTop = [&](int j) {
        return oy + j * g.rowH + CY_BORDER;
    };
    const auto figureX = [&](int entry) {
        return ox + (entry + 2) * g.colW - 10 * CX_BORDER;
    };

    const int record = state.selectedRecord;
    const bool selected = record >= 1 && state.data && isPublisher(state.data->store, record);

    canvas.setPen(BLACK);
    canvas.setBrush(WHITE);
    canvas.rectangle(Rect{ox, oy, ox + W, oy + H});
    canvas.setBackgroundTransparent(true);
    canvas.setPen(BLACK);

    for (int k = 1; k <= 7 - P; ++k) {
        canvas.moveTo(ox + k * g.colW, oy);
        canvas.lineTo(ox + k * g.colW, oy + H);
    }
    for (int j = 1; j < TABLE_PREVIEW_ROWS; ++j) {
        canvas.moveTo(ox, oy + j * g.rowH);
        canvas.lineTo(ox + W, oy + j * g.rowH);
    }

    canvas.selectFont(stockVariableFont());
    canvas.setTextAlign(RIGHT_ALIGN);
    canvas.setTextColor(GREY);

    const auto columns = printedColumns(state.columnSet);
    for (const PrintedColumn& column : columns) {
        const std::string text = columnCaption(state.columnSet, column.kind);
        const int inset = characterCount(text) >= LONG_CAPTION ? 4 * CX_BORDER : 8 * CX_BORDER;
        canvas.textOut(ox + (column.entry + 2) * g.colW - inset, oy + CY_BORDER, text);
    }
    // The remarks caption stands at 9/10 of the width with six columns, 7/8 with five; the
    // ministry set's narrower grid puts it a third into its remarks column.
    const int remarksCaptionX =
        ministry ? ox + (g.divisions - 2) * g.colW : ox + W - W / (g.divisions - P);
    canvas.textOut(remarksCaptionX, oy + CY_BORDER, loadText(REMARKS_CAPTION));
    canvas.textOut(ox + g.xMonth, lineTop(0), std::to_string(serviceYearNumber(state)));

    const int done = rowsDone(state.lastMonth);
    const int remarksLeft =
        (ministry ? ox + (g.divisions - 3) * g.colW : ox + 7 * (W / 10)) + 2 * CX_BORDER;
    for (int r = 0; r < MONTH_ROWS; ++r) {
        const int m = monthOfRow(r);
        const int y = lineTop(r + 1);
        canvas.textOut(ox + g.xMonth, y, loadText(TABLE_MONTH_NAME_BASE + m));
        if (!selected || !(state.previousYear || r < done))
            continue;
        if (state.monthChecked[static_cast<std::size_t>(r)])
            canvas.setTextColor(BLACK);
        for (const PrintedColumn& column : columns) {
            const CellText cell = previewCellText(state, record, m, column.kind);
            if (cell.drawn)
                canvas.textOut(figureX(column.entry), y, cell.text);
        }
        const std::string remarks = remarksText(state, record, m);
        if (!remarks.empty()) {
            // Cut at the pane's right edge and at the next row: a long remark never wraps.
            canvas.setTextAlign(LEFT_ALIGN);
            canvas.textOutClipped(remarksLeft, y, Rect{remarksLeft, y, ox + W, lineTop(r + 2)},
                                  cp1257ToUtf8(remarks));
            canvas.setTextAlign(RIGHT_ALIGN);
        }
        canvas.setTextColor(GREY);
    }

    canvas.textOut(ox + g.xMonth, lineTop(13), loadText(TOTAL_CAPTION));
    if (!selected)
        return;
    canvas.setTextColor(state.totalChecked ? BLACK : GREY);
    const int count = state.previousYear ? MONTH_ROWS : done;
    for (const PrintedColumn& column : totalColumns(state.columnSet))
        canvas.textOut(figureX(column.entry), lineTop(13),
                       columnTotal(state, record, column.kind, count));
}

} // namespace pelkorl
