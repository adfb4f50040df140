#pragma once
// The printed form: the card itself (outline, table rules, column captions, month names,
// the header's captions and boxes) for blank card stock, paper or PDF. Everything stands
// where the layout puts the data, so moving a column or an item moves its rules, box and
// caption with it.
#include "render/canvas.h"

#include <vector>

namespace pelkorl {

struct CardState;

// Where the form's table lies, in device units (margins included).
struct FormTable {
    int left = 0;
    int top = 0; // of the outline
    int right = 0;
    int captionTop = 0;       // top of the caption row
    std::vector<int> rows;    // rules above the 12 month rows, the total row, and below it
    int monthRight = 0;       // right edge of the month column
    std::vector<int> columns; // rules right of the figure columns, left to right
    int remarksLeft = 0;
    int bottom = 0; // bottom of the card
};

FormTable formTable(const CardState& state, int dpiX, int dpiY);

// Draws the form of state.cardVersion's column set at the state's layout and margins.
// Recomputes the margins; leaves the canvas's font, alignment, colours and pen as they were.
void drawCardForm(Canvas& canvas, CardState& state);

} // namespace pelkorl
