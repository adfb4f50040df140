#pragma once
// The service table preview: a miniature of the printed table (caption row, September to
// August, total row) in equal divisions of the pane, filled with the texts the print would
// produce. Figures of months whose box is ticked are black, the others grey.
#include "card/figures.h"
#include "card/headermarks.h"
#include "render/canvas.h"

namespace pelkorl {

struct CardState;

// Stand-ins for the system's border metrics: one pixel across and down.
inline constexpr int CX_BORDER = 1;
inline constexpr int CY_BORDER = 1;
inline constexpr int TABLE_PREVIEW_ROWS = 14; // captions, twelve months, total

struct TableGeometry {
    int divisions = 0; // 9 for Placements, 10 for Literature
    int colW = 0;
    int rowH = 0;
    int xMonth = 0; // right edge of the month names and the year
};

TableGeometry tableGeometry(int width, int height, ColumnSet set);

// The cell as the preview shows it: the printed cell, except that hours with a fraction
// take their whole hours from the column set's reader.
CellText previewCellText(const CardState& state, int record, int m, int kind);

// The whole pane; `pane` is its client rectangle (its left and top are the origin).
void drawTablePreview(Canvas& canvas, const Rect& pane, CardState& state);

} // namespace pelkorl
