#pragma once
// The main dialog's state that the card renderers and the preview panes read: one plain
// struct, owned by the main dialog, so the core can draw a card without any widget.
#include "card/cardlayout.h"
#include "card/totals.h"
#include "records/publisherdata.h"

#include <array>
#include <string>

namespace pelkorl {

inline constexpr int MONTH_ROWS = 12;
inline constexpr int FONT_CHARSET_BALTIC = 186;

struct CardState {
    // Records, extension and remarks. Not const: remark lookups re-read the remarks file
    // into the tables, and extension lookups clear bad indexes in memory.
    PublisherData* data = nullptr;

    int selectedRecord = -1; // index into currentRecords; -1 when no line is selected
    // A totals record shown instead of the selected publisher's card (card/totals.h).
    TotalsRecord totals = TotalsRecord::None;
    int lastMonth = 0;         // calendar month before the month of start-up, 0 = January
    int currentYear = 0;       // calendar year at start-up
    bool previousYear = false; // box 1027 "Ankstesni tarn. metai"
    int cardVersion = 0;
    ColumnSet columnSet = ColumnSet::Placements;
    CardLayout layout;

    // Settings.
    int dateFormat = 0;
    int lastNameFirst = 0;
    int useLongName = 1;
    std::string marginTop = "0.00";  // inches, D.DD
    std::string marginLeft = "0.20"; // inches, D.DD
    int fontCharset = FONT_CHARSET_BALTIC;

    // Where the device's origin lies from the paper's top-left corner, in its units: the
    // printable area's corner on a printer, 0 on a PDF. Set by the page routine.
    int deviceOriginX = 0;
    int deviceOriginY = 0;

    // Recomputed by every renderer from the device it draws on.
    int leftMarginDev = 0;
    int topMarginDev = 0;

    // Chosen by the header preview for the selected publisher; printed as they are.
    // Raw record bytes (Windows-1257).
    std::string displayName;
    std::string mobileText;

    // Check boxes of the main dialog.
    std::array<bool, MONTH_ROWS> monthChecked{}; // boxes 1015-1026, row 0 = September
    bool totalChecked = false;                   // box 1028
    bool printHeader = true;                     // box 1030 "Spausdinti &antraštę"
    bool markSex = false;                        // box 1031 "V/M"
    // "Spausdinti formą": the card itself (outline, rules, captions) is drawn with the data,
    // for blank stock, paper or PDF.
    bool printForm = false;
};

} // namespace pelkorl
