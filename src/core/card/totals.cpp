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

CardState totalsStateFor(const CardState& state, TotalsRecord totals) {
    CardState card = state;
    card.totals = totals;
    card.selectedRecord = -1;
    card.displayName = utf8ToCp1257(totalsName(totals));
    card.mobileText.clear();
    return card;
}

} // namespace pelkorl
