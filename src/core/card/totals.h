#pragma once
// The congregation's three totals records: publishers, auxiliary pioneers and regular
// pioneers. A totals record is a card like any other: a CardState whose `totals` names it
// is drawn, previewed and filled by the same functions as a publisher's card, and the
// figure functions (card/figures.h) answer for it with the month's sums over the publishers
// counted in its category. Nothing is stored: every figure is added up when it is asked for,
// so it always follows the year and the data shown.
#include <array>
#include <string>

namespace pelkorl {

struct CardState;

enum class TotalsRecord { None, Publishers, AuxiliaryPioneers, RegularPioneers };

// The three records in the order they are printed.
inline constexpr std::array<TotalsRecord, 3> TOTALS_RECORDS = {
    TotalsRecord::Publishers, TotalsRecord::AuxiliaryPioneers, TotalsRecord::RegularPioneers};

// Counting, the one rule of cards, totals and the filled form, is countedIn (card/figures.h):
// a publisher counts in a month that holds reported activity (sharedInMinistry), in the
// category of the month's service status: regular pioneer for 2, auxiliary for 1, publisher
// otherwise; read from the record that holds the month (figureRecord), so the previous year,
// the links between the years and the year stamps are those of his card.

// The record's name as its card prints it (UTF-8); "" for None.
std::string totalsName(TotalsRecord totals);

// Whether the state shows a totals record rather than a publisher's card.
bool showsTotals(const CardState& state);

// The publisher whose card the state shows: selectedRecord, or -1 for a totals record.
int cardPublisher(const CardState& state);

// `state` showing `totals`: no publisher, the record's name as the printed name (raw
// Windows-1257, as a card's), no mobile number.
CardState totalsStateFor(const CardState& state, TotalsRecord totals);

} // namespace pelkorl
