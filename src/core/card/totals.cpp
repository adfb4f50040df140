#include "card/totals.h"

#include "card/cardstate.h"
#include "records/publisherdata.h"
#include "text/codepage.h"
#include "text/strings.h"
#include "text/textids.h"

namespace pelkorl {

std::string totalsName(TotalsRecord totals) {
    switch (totals) {
    case TotalsRecord::Publishers:
        return loadText(TOTALS_PUBLISHERS_TEXT);
    case TotalsRecord::AuxiliaryPioneers:
        return loadText(TOTALS_AUXILIARY_PIONEERS_TEXT);
    case TotalsRecord::RegularPioneers:
        return loadText(TOTALS_REGULAR_PIONEERS_TEXT);
    case TotalsRecord::None:
        break;
    }
    return {};
}

bool showsTotals(const CardState& state) {
    return state.totals != TotalsRecord::None;
}

int cardPublisher(const CardState& state) {
    return showsTotals(state) ? -1 : state.selectedRecord;
}

bool regularPioneerBox(const CardState& state) {
    constexpr int REGULAR_PIONEER = 2;
    if (showsTotals(state))
        return state.totals == TotalsRecord::RegularPioneers &&
               state.columnSet == ColumnSet::Ministry;
    if (!state.data || !isPublisher(state.data->store, state.selectedRecord))
        return false;
    const PublisherRecord& record =
        state.data->store.currentRecords[static_cast<std::size_t>(state.selectedRecord)];
    return record.serviceStatus(state.lastMonth) == REGULAR_PIONEER;
}

CardState totalsStateFor(const CardState& state, TotalsRecord totals) {
    CardState card = state;
    card.totals = totals;
    card.selectedRecord = -1;
    card.displayName = utf8ToCp1257(totalsName(totals));
    card.mobileText.clear();
    return card;
}

} // namespace pelkorl
