#pragma once
// Printing more than the selected card: which publishers a batch covers (the list as its
// filter shows it, in list order) and the state each card is printed with (the dialog's
// state with that publisher selected, his name and mobile number chosen as the header pane
// would choose them).
#include "card/cardstate.h"
#include "card/publisherfilter.h"

#include <array>
#include <string>
#include <vector>

namespace pelkorl {

struct RecordStore;
struct PublisherData;

// The print command prints a card only when the formatted name of the publisher, blanks
// trimmed, is not empty.
bool cardHasName(const RecordStore& store, int record, int lastNameFirst);

// Records of the lines the list shows for `listFilter`, in list order, without those whose
// card the print command would not print.
std::vector<int> batchRecords(const RecordStore& store, ListFilter listFilter, int lastMonth,
                              int lastNameFirst);

// The name and mobile number a card of `record` prints, and whether the long-name box is
// offered: the long name when the extension file gives one and useLongName is set, else the
// formatted name. Reads the extension data (data.currentExtension changes). Empty texts for
// an index that is not a publisher.
struct CardNameChoice {
    std::string displayName;
    std::string mobileText;
    bool longNameOffered = false;
};
CardNameChoice chooseCardName(PublisherData& data, int record, const CardState& state);

// `state` with `record` selected (and no totals record shown) and his displayName and
// mobileText chosen as above. Reads the
// extension data (state.data->currentExtension changes); `state` itself is left as it is. Without
// loaded data both texts are empty.
CardState cardStateFor(const CardState& state, int record);

// One page of a batch: the card of publisher `record`, or the totals record `totals`.
struct CardPage {
    int record = -1;
    TotalsRecord totals = TotalsRecord::None;
    bool operator==(const CardPage&) const = default;
};
std::vector<CardPage> cardPages(const std::vector<int>& records);
// The congregation's three totals records, one page each.
std::vector<CardPage> totalsPages();

// The state a page is drawn with: cardStateFor its publisher, or totalsStateFor its record.
CardState pageStateFor(const CardState& state, const CardPage& page);

// Which month boxes and whether the total box the main dialog enables for the year shown.
struct MonthBoxes {
    std::array<bool, MONTH_ROWS> month{};
    bool total = false;
};
MonthBoxes enabledMonthBoxes(const CardState& state);

} // namespace pelkorl
