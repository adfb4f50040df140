#pragma once
// The card header preview: a schematic of the header (grey captions on writing lines, the
// publisher's data on them) drawn in fixed fractions of the pane, not after the card layout.
// Black data will print, grey data will not.
//
// Painting is also where the printed name and mobile number are chosen: the print takes
// displayName and mobileText as the last paint left them, and the dialog shows or hides its
// name and sex boxes as the paint reports.
#include "render/canvas.h"

namespace pelkorl {

struct CardState;

// What the dialog applies after a paint.
struct HeaderPaneEffects {
    // False: no data were loaded, nothing was drawn and the boxes keep their visibility.
    bool dataFound = false;
    bool longNameBoxVisible = false;     // 1010 "Naudoti &ilgą vardą"
    bool lastNameFirstBoxVisible = true; // 1007 "Pavardė pradžioje"
    bool sexMarkBoxVisible = false;      // 1031 "V/M"
};

// The pane's divisions, from its rectangle (L, T, R, B); every division drops its remainder.
struct HeaderGeometry {
    int u = 0;    // row unit, B / 26
    int row1 = 0; // name line
    int row2 = 0; // address line
    int row3 = 0; // telephones and date of birth
    int row4 = 0; // date immersed and hope
    int d = 0;    // how far a caption's bottom lies below its line
    int x0 = 0;   // left edge of the writing area
    int w = 0;    // right end of the lines
};

HeaderGeometry headerGeometry(const Rect& pane);

// Arial with 9-pixel characters in the given character set; the captions' font.
FontSpec previewFont(int charset);

// White background, grey captions and black writing lines. Leaves the canvas with the font
// it had, bottom-left alignment without the current position, a transparent background and
// grey text.
void drawPreviewFrame(Canvas& canvas, const Rect& pane, const CardState& state);

// The whole pane for state.selectedRecord. Draws nothing when no publisher file is loaded;
// otherwise sets state.displayName and state.mobileText (raw record bytes; empty when no
// publisher is selected) and fills `effects`.
void paintHeaderPreview(Canvas& canvas, const Rect& pane, CardState& state,
                        HeaderPaneEffects& effects);

} // namespace pelkorl
