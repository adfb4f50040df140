#include "card/cardbatch.h"

#include "card/figures.h"
#include "card/formatting.h"
#include "card/publisherfilter.h"
#include "card/totals.h"
#include "records/extension.h"
#include "records/publisherdata.h"
#include "text/codepage.h"

namespace pelkorl {

bool cardHasName(const RecordStore& store, int record, int lastNameFirst) {
    std::string name = formatName(store, record, lastNameFirst != 0);
    trimBlanks(name);
    return !name.empty();
}

std::vector<int> batchRecords(const RecordStore& store, ListFilter listFilter, int lastMonth,
                              int lastNameFirst) {
    std::vector<int> records;
    for (const PublisherLine& line : publisherLines(store, listFilter, lastMonth)) {
        if (cardHasName(store, line.record, lastNameFirst))
            records.push_back(line.record);
    }
    return records;
}

CardNameChoice chooseCardName(PublisherData& data, int record, const CardState& state) {
    CardNameChoice choice;
    if (showsTotals(state)) {
        choice.displayName = utf8ToCp1257(totalsName(state.totals));
        return choice;
    }
    const RecordStore& store = data.store;
    if (!isPublisher(store, record))
        return choice;
    choice.longNameOffered =
        loadExtension(data, record) != 0 && !data.currentExtension.longName().empty();
    choice.displayName = choice.longNameOffered && state.useLongName == 1
                             ? data.currentExtension.longName()
                             : formatName(store, record, state.lastNameFirst != 0);
    choice.mobileText = store.currentRecords[static_cast<std::size_t>(record)].mobilePhone();
    return choice;
}

CardState cardStateFor(const CardState& state, int record) {
    CardState card = state;
    card.selectedRecord = record;
    card.totals = TotalsRecord::None;
    CardNameChoice choice;
    if (state.data && state.data->store.currentCount != 0)
        choice = chooseCardName(*state.data, record, card);
    card.displayName = std::move(choice.displayName);
    card.mobileText = std::move(choice.mobileText);
    return card;
}

std::vector<CardPage> cardPages(const std::vector<int>& records) {
    std::vector<CardPage> pages;
    pages.reserve(records.size());
    for (const int record : records)
        pages.push_back(CardPage{record, TotalsRecord::None});
    return pages;
}

std::vector<CardPage> totalsPages() {
    std::vector<CardPage> pages;
    for (const TotalsRecord totals : TOTALS_RECORDS)
        pages.push_back(CardPage{-1, totals});
    return pages;
}

CardState pageStateFor(const CardState& state, const CardPage& page) {
    if (page.totals != TotalsRecord::None)
        return totalsStateFor(state, page.totals);
    return cardStateFor(state, page.record);
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
