#include "card/figures.h"

#include "card/cardstate.h"
#include "records/publisherdata.h"
#include "records/remarks.h"
#include "text/codepage.h"
#include "text/strings.h"
#include "text/textids.h"

#include <array>

namespace pelkorl {

namespace {

constexpr int AUXILIARY_PIONEER = 1;
constexpr int REGULAR_PIONEER = 2;
constexpr const char* MARK = "x";

constexpr std::array<PrintedColumn, 6> LITERATURE_COLUMNS = {{
    {KIND_BOOKS, 0},
    {KIND_BROCHURES, 1},
    {KIND_HOURS, 2},
    {KIND_MAGAZINES, 3},
    {KIND_LIT_RETURN_VISITS, 4},
    {KIND_LIT_BIBLE_STUDIES, 5},
}};

constexpr std::array<PrintedColumn, 5> PLACEMENT_COLUMNS = {{
    {KIND_PLACEMENTS, 0},
    {KIND_VIDEO_SHOWINGS, 1},
    {KIND_HOURS, 2},
    {KIND_RETURN_VISITS, 3},
    {KIND_BIBLE_STUDIES, 4},
}};

constexpr std::array<PrintedColumn, 4> MINISTRY_COLUMNS = {{
    {KIND_SHARED_IN_MINISTRY, 0},
    {KIND_MINISTRY_STUDIES, 1},
    {KIND_HOURS, 3},
    {KIND_AUXILIARY_PIONEER, 2},
}};

constexpr std::array<PrintedColumn, 1> MINISTRY_TOTALS = {{{KIND_HOURS, 3}}};

const PublisherRecord& noRecord() {
    static const PublisherRecord NONE{};
    return NONE;
}

bool validMonth(int m) {
    return m >= 0 && m < MONTHS;
}

bool fromPreviousFile(const CardState& state, int m) {
    return monthFromPreviousYear(state.previousYear, state.lastMonth, m);
}

std::uint16_t literatureKind(const LiteratureFigures& f, int kind) {
    switch (kind) {
    case KIND_BOOKS:
        return f.books;
    case KIND_BROCHURES:
        return f.brochures;
    case KIND_HOURS:
        return f.hours;
    case KIND_SUBSCRIPTIONS:
        return f.subscriptions;
    case KIND_MAGAZINES:
        return f.magazines;
    case KIND_LIT_RETURN_VISITS:
        return f.returnVisits;
    case KIND_LIT_BIBLE_STUDIES:
        return f.bibleStudies;
    default:
        return 0;
    }
}

std::uint16_t placementKind(const PlacementFigures& f, int kind) {
    switch (kind) {
    case KIND_PLACEMENTS:
        return f.placements;
    case KIND_VIDEO_SHOWINGS:
        return f.videoShowings;
    case KIND_HOURS:
        return f.hours;
    case KIND_RETURN_VISITS:
        return f.returnVisits;
    case KIND_BIBLE_STUDIES:
        return f.bibleStudies;
    default:
        return 0;
    }
}

// The month as the placements column set sees a literature-encoded month.
PlacementFigures placementsFromLiterature(const LiteratureFigures& f) {
    PlacementFigures p;
    p.placements = static_cast<std::uint16_t>(f.magazines + f.brochures + f.books);
    p.videoShowings = 0;
    p.hours = f.hours;
    p.returnVisits = f.returnVisits;
    p.bibleStudies = f.bibleStudies;
    return p;
}

} // namespace

std::span<const PrintedColumn> printedColumns(ColumnSet set) {
    if (set == ColumnSet::Placements)
        return PLACEMENT_COLUMNS;
    if (set == ColumnSet::Ministry)
        return MINISTRY_COLUMNS;
    return LITERATURE_COLUMNS;
}

std::span<const PrintedColumn> totalColumns(ColumnSet set) {
    if (set == ColumnSet::Ministry)
        return MINISTRY_TOTALS;
    return printedColumns(set);
}

int rowsDone(int lastMonth) {
    return lastMonth > 7 ? lastMonth - 7 : lastMonth + 5;
}

bool rowShown(const CardState& state, int row) {
    if (row < 0 || row >= MONTH_ROWS)
        return false;
    const bool reported = row < rowsDone(state.lastMonth);
    return state.previousYear ? !reported : reported;
}

bool monthAvailable(const CardState& state, int row) {
    if (row < 0 || row >= MONTH_ROWS)
        return false;
    if (row >= rowsDone(state.lastMonth))
        return true;
    // The previous-year header stamps every calendar month with its year - 2000.
    int stamp = 0;
    if (state.data && !state.data->store.previousRecords.empty())
        stamp = HeaderRecord(state.data->store.previousRecords[0]).yearStamp(monthOfRow(row));
    const int startedInJanuary = state.lastMonth == 11 ? 1 : 0;
    const int wanted = ((state.currentYear + 48 - startedInJanuary) % 256 + 256) % 256;
    return (stamp + 1) % 256 == wanted;
}

const PublisherRecord& figureRecord(const CardState& state, int record, int m) {
    if (!state.data || !isPublisher(state.data->store, record))
        return noRecord();
    if (fromPreviousFile(state, m))
        return linkedPreviousRecord(state.data->store, record);
    return state.data->store.currentRecords[static_cast<std::size_t>(record)];
}

std::uint16_t literatureFigure(const CardState& state, int record, int m, int kind) {
    if (kind < 0 || kind >= LITERATURE_KINDS || !validMonth(m))
        return 0;
    return literatureKind(literatureFigures(figureRecord(state, record, m), m), kind);
}

std::uint16_t placementFigure(const CardState& state, int record, int m, int kind) {
    if (kind < 0 || kind >= PLACEMENT_KINDS || !validMonth(m))
        return 0;
    if (fromPreviousFile(state, m) && !monthAvailable(state, rowOfMonth(m)))
        return 0;
    const PublisherRecord& r = figureRecord(state, record, m);
    if (r.placementMonth(m))
        return placementKind(placementFigures(r, m), kind);
    return placementKind(placementsFromLiterature(literatureFigures(r, m)), kind);
}

namespace {

// A previous-year month whose year stamp does not admit it reads as empty.
bool monthReadable(const CardState& state, int m) {
    return validMonth(m) && (!fromPreviousFile(state, m) || monthAvailable(state, rowOfMonth(m)));
}

int serviceStatus(const CardState& state, int record, int m) {
    return figureRecord(state, record, m).monthStatus(m) & 0x03;
}

} // namespace

bool sharedInMinistry(const CardState& state, int record, int m) {
    if (!monthReadable(state, m))
        return false;
    const PublisherRecord& r = figureRecord(state, record, m);
    if (r.quarterHours(m) != 0)
        return true;
    if (r.placementMonth(m)) {
        const PlacementFigures f = placementFigures(r, m);
        return f.placements || f.videoShowings || f.hours || f.returnVisits || f.bibleStudies;
    }
    const LiteratureFigures f = literatureFigures(r, m);
    return f.books || f.brochures || f.hours || f.subscriptions || f.magazines || f.returnVisits ||
           f.bibleStudies;
}

bool pioneerMonth(const CardState& state, int record, int m) {
    if (!monthReadable(state, m))
        return false;
    const int status = serviceStatus(state, record, m);
    return status == AUXILIARY_PIONEER || status == REGULAR_PIONEER;
}

std::uint16_t ministryFigure(const CardState& state, int record, int m, int kind) {
    switch (kind) {
    case KIND_SHARED_IN_MINISTRY:
        return sharedInMinistry(state, record, m) ? 1 : 0;
    case KIND_MINISTRY_STUDIES:
        return placementFigure(state, record, m, KIND_BIBLE_STUDIES);
    case KIND_HOURS:
        return pioneerMonth(state, record, m) ? placementFigure(state, record, m, KIND_HOURS) : 0;
    case KIND_AUXILIARY_PIONEER:
        return monthReadable(state, m) && serviceStatus(state, record, m) == AUXILIARY_PIONEER;
    default:
        return 0;
    }
}

std::uint16_t columnFigure(const CardState& state, int record, int m, int kind) {
    if (state.columnSet == ColumnSet::Placements)
        return placementFigure(state, record, m, kind);
    if (state.columnSet == ColumnSet::Ministry)
        return ministryFigure(state, record, m, kind);
    return literatureFigure(state, record, m, kind);
}

int quarterCount(const CardState& state, int record, int m) {
    return figureRecord(state, record, m).quarterHours(m);
}

int columnQuarters(const CardState& state, int record, int m) {
    if (state.columnSet == ColumnSet::Ministry && !pioneerMonth(state, record, m))
        return 0;
    return quarterCount(state, record, m);
}

std::string quarterText(int quarters, bool leadingZero) {
    if (quarters < 1 || quarters > 3)
        return {};
    std::string text = loadText(QUARTER_TEXT_BASE + quarters);
    if (leadingZero && loadText(LEADING_ZERO_TEXT) == "1")
        text = "0" + text;
    return text;
}

CellText cellText(const CardState& state, int record, int m, int kind) {
    CellText cell;
    if (state.columnSet == ColumnSet::Ministry && kind != KIND_HOURS) {
        const std::uint16_t figure = ministryFigure(state, record, m, kind);
        const bool mark = kind == KIND_SHARED_IN_MINISTRY || kind == KIND_AUXILIARY_PIONEER;
        cell.text = mark ? MARK : std::to_string(figure);
        cell.drawn = figure != 0;
        return cell;
    }
    const std::uint16_t figure = columnFigure(state, record, m, kind);
    const int quarters = kind == KIND_HOURS ? columnQuarters(state, record, m) : 0;
    if (quarters != 0) {
        // The ministry card reads its hours like every other figure of its own.
        const std::uint16_t hours = state.columnSet == ColumnSet::Ministry
                                        ? figure
                                        : literatureFigure(state, record, m, KIND_HOURS);
        cell.text = hours != 0 ? std::to_string(hours) + quarterText(quarters, false)
                               : quarterText(quarters, true);
    } else {
        cell.text = std::to_string(figure);
    }
    cell.drawn = figure != 0 || quarters != 0;
    return cell;
}

std::string remarksText(const CardState& state, int record, int m) {
    std::string text;
    if (state.columnSet != ColumnSet::Ministry &&
        (figureRecord(state, record, m).monthStatus(m) & 0x03) == AUXILIARY_PIONEER)
        text = utf8ToCp1257(loadText(AUXILIARY_PIONEER_TEXT)) + " ";
    if (state.data) {
        const auto remark = remarkFor(*state.data, record, m, state.previousYear, state.lastMonth);
        if (remark && !remark->empty())
            text += *remark;
    }
    return text;
}

namespace {

// A column's running total: quarter hours carry into whole hours as they are added.
struct ColumnSum {
    long long sum = 0;
    int quarters = 0;

    void add(const CardState& state, int record, int kind, int month) {
        sum += columnFigure(state, record, month, kind);
        if (kind != KIND_HOURS)
            return;
        quarters += columnQuarters(state, record, month);
        if (quarters > 3) {
            sum += 1;
            quarters -= 4;
        }
    }

    std::string text(int kind) const {
        std::string result = std::to_string(sum);
        if (kind == KIND_HOURS && quarters != 0)
            result += quarterText(quarters, false);
        return result;
    }
};

} // namespace

std::string columnTotal(const CardState& state, int record, int kind, int count) {
    ColumnSum total;
    int month = state.lastMonth;
    for (int i = 0; i < count; ++i) {
        total.add(state, record, kind, month);
        month = month == 0 ? 11 : month - 1;
    }
    return total.text(kind);
}

RowsTotal rowsTotal(const CardState& state, int record, int kind,
                    const std::array<bool, 12>& rows) {
    ColumnSum total;
    for (int row = 0; row < MONTH_ROWS; ++row) {
        if (rows[static_cast<std::size_t>(row)])
            total.add(state, record, kind, monthOfRow(row));
    }
    return RowsTotal{total.sum, total.quarters, total.text(kind)};
}

} // namespace pelkorl
