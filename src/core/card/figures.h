#pragma once
// The monthly figures of a publisher as the service table shows them, read by kind from
// whichever year's record holds the month. Shared by the printed table and its preview.
//
// Months are calendar months (0 = January); row r of the table is month (r + 8) % 12, so
// September is row 0 and August row 11.
#include "card/cardlayout.h"
#include "records/publisherrecord.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace pelkorl {

struct CardState;

// Figure kinds of the Literature column set.
inline constexpr int KIND_BOOKS = 0;
inline constexpr int KIND_BROCHURES = 1;
inline constexpr int KIND_HOURS = 2; // whole hours, in both column sets
inline constexpr int KIND_SUBSCRIPTIONS = 3;
inline constexpr int KIND_MAGAZINES = 4;
inline constexpr int KIND_LIT_RETURN_VISITS = 5;
inline constexpr int KIND_LIT_BIBLE_STUDIES = 6;
// Figure kinds of the Placements column set.
inline constexpr int KIND_PLACEMENTS = 0;
inline constexpr int KIND_VIDEO_SHOWINGS = 1;
inline constexpr int KIND_RETURN_VISITS = 3;
inline constexpr int KIND_BIBLE_STUDIES = 4;

// Figure kinds of the Ministry column set (the 11/23 card). Shared in ministry and
// auxiliary pioneer are marks: 1 when the month has them, printed as "x".
inline constexpr int KIND_SHARED_IN_MINISTRY = 0;
inline constexpr int KIND_MINISTRY_STUDIES = 1;
inline constexpr int KIND_AUXILIARY_PIONEER = 3;

inline constexpr int LITERATURE_KINDS = 7;
inline constexpr int PLACEMENT_KINDS = 5;
inline constexpr int MINISTRY_KINDS = 4;
// columnX entry of the remarks, in both column sets.
inline constexpr int REMARKS_ENTRY = 6;

// A figure kind and the columnX entry it is printed at.
struct PrintedColumn {
    int kind = 0;
    int entry = 0;
};

// The printed columns of a column set in ascending kind order: Literature skips the
// subscriptions and puts kinds 4-6 at entries 3-5; Placements puts kinds 0-4 at 0-4;
// Ministry puts shared in ministry, studies, hours and auxiliary pioneer at 0, 1, 3, 2.
std::span<const PrintedColumn> printedColumns(ColumnSet set);

// The columns of the total row: every printed column, except on the ministry card, whose
// only total is the hours.
std::span<const PrintedColumn> totalColumns(ColumnSet set);

// Calendar month of table row r, and the row of calendar month m.
inline int monthOfRow(int row) {
    return (row + 8) % 12;
}
inline int rowOfMonth(int m) {
    return (m + 4) % 12;
}

// Rows from September through lastMonth: 12 when lastMonth is August, 1 for September.
int rowsDone(int lastMonth);

// Whether table row `row` (0 = September) holds the service year shown: this year's rows
// through lastMonth (later ones have no report yet), the previous year's rows after it (the
// earlier ones are in the current file already).
bool rowShown(const CardState& state, int row);

// Whether table row `row` (0 = September) of the previous service year can be printed:
// rows from rowsDone on always can; earlier ones when the previous-year file's year stamp
// of the row's calendar month names the right year.
bool monthAvailable(const CardState& state, int row);

// The record holding month m's figures for current publisher `record`: his linked
// previous-year record when the previous year is shown and m lies in its part, else his
// current record. An all-zero record when there is no such publisher or no link.
const PublisherRecord& figureRecord(const CardState& state, int record, int m);

// Literature kind 0-6 of month m, always in the literature encoding; 0 for other kinds.
std::uint16_t literatureFigure(const CardState& state, int record, int m, int kind);

// Placements kind 0-4 of month m in the month's own encoding (derived from the literature
// figures when the month is not stored in the placement encoding); 0 for other kinds and
// for previous-year months whose year stamp does not admit them.
std::uint16_t placementFigure(const CardState& state, int record, int m, int kind);

// Whether month m holds any reported activity: any figure of the month in its own encoding
// above zero, or quarter hours. A previous-year month whose year stamp does not admit it
// holds none.
bool sharedInMinistry(const CardState& state, int record, int m);

// The month's service status is auxiliary or regular pioneer.
bool pioneerMonth(const CardState& state, int record, int m);

// Ministry kind 0-3 of month m: the two marks as 0 or 1, Bible studies, and the whole hours
// of pioneer months only (0 in any other month); 0 for other kinds.
std::uint16_t ministryFigure(const CardState& state, int record, int m, int kind);

// placementFigure, literatureFigure or ministryFigure, as the state's column set says.
std::uint16_t columnFigure(const CardState& state, int record, int m, int kind);

// Quarter hours of month m beyond the whole hours, 0-3.
int quarterCount(const CardState& state, int record, int m);

// The quarters the hours column shows for month m: quarterCount, except that the ministry
// card shows hours of pioneer months only.
int columnQuarters(const CardState& state, int record, int m);

// ",25", ",5", ",75" for 1-3 quarters (with a "0" in front when leadingZero is asked for and
// the table switches it on); "" for anything else.
std::string quarterText(int quarters, bool leadingZero);

struct CellText {
    std::string text;   // ASCII
    bool drawn = false; // false: the box stays empty
};

// The text of one table cell and whether it is drawn.
CellText cellText(const CardState& state, int record, int m, int kind);

// The remarks cell of month m as Windows-1257 bytes: the auxiliary pioneer prefix when the
// month's status says so (not on the ministry card, whose own box says it), then the
// month's remark. Empty: nothing is drawn.
std::string remarksText(const CardState& state, int record, int m);

// Total of a column over `count` months ending with lastMonth, stepping back through the
// calendar; quarter hours carry into whole hours. A total of zero reads "0".
std::string columnTotal(const CardState& state, int record, int kind, int count);

// Total of a column over the table rows marked in `rows` (0 = September), with the same
// carry of quarter hours and the same text as columnTotal.
struct RowsTotal {
    long long whole = 0;
    int quarters = 0; // 0-3, hours column only
    std::string text;
};
RowsTotal rowsTotal(const CardState& state, int record, int kind, const std::array<bool, 12>& rows);

} // namespace pelkorl
