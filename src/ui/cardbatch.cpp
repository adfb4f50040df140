#include "ui/cardbatch.h"

#include "data/formatting.h"
#include "data/publisherdata.h"
#include "print/figures.h"
#include "print/recordingcanvas.h"
#include "ui/headerpreview.h"
#include "ui/publisherfilter.h"

namespace pelkorl {

namespace {

// The header pane's size in the main dialog at the usual dialog font; the choice of name
// does not depend on it.
constexpr Rect UNSEEN_PANE{0, 0, 550, 78};

} // namespace

bool cardHasName(const RecordStore& store, int record, int lastNameFirst) {
    std::string name = formatName(store, record, lastNameFirst != 0);
    trimBlanks(name);
    return !name.empty();
}

std::vector<int> batchRecords(const RecordStore& store, int listFilter, int lastMonth,
                              int lastNameFirst) {
    std::vector<int> records;
    for (const PublisherLine& line : publisherLines(store, listFilter, lastMonth)) {
        if (cardHasName(store, line.record, lastNameFirst))
            records.push_back(line.record);
    }
    return records;
}

CardState cardStateFor(const CardState& state, int record) {
    CardState card = state;
    card.selectedRecord = record;
    // The header pane's own paint chooses the name and mobile number, on a surface nobody
    // sees, so a batch card carries exactly what the pane would have chosen.
    RecordingCanvas unseen;
    HeaderPaneEffects effects;
    paintHeaderPreview(unseen, UNSEEN_PANE, card, effects);
    if (!effects.dataFound) {
        card.displayName.clear();
        card.mobileText.clear();
    }
    return card;
}

MonthBoxes enabledMonthBoxes(const CardState& state) {
    MonthBoxes boxes;
    const int done = rowsDone(state.lastMonth);
    bool all = true;
    for (int row = 0; row < MONTH_ROWS; ++row) {
        const bool enabled = state.previousYear ? monthAvailable(state, row) : row < done;
        boxes.month[static_cast<std::size_t>(row)] = enabled;
        all = all && enabled;
    }
    // Started in September the total box stays usable whatever the rows say.
    boxes.total = state.lastMonth == 7 || all;
    return boxes;
}

} // namespace pelkorl
