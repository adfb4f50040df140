// The third phase: which publishers' cards and totals records, and the card they are
// printed on.
#include "card/cardbatch.h"
#include "card/publisherfilter.h"
#include "cli/printtool.h"
#include "printing/formfields.h"
#include "settings/startupdata.h"
#include "text/strings.h"

#include <algorithm>
#include <iostream>

namespace pelkorl {

namespace {

// Rows (0 = September) asked for that the card of this year cannot show, as 1-based numbers.
std::string unprintableRows(const CardState& state, const std::array<bool, MONTH_ROWS>& asked) {
    const MonthBoxes enabled = enabledMonthBoxes(state);
    std::string rows;
    for (int row = 0; row < MONTH_ROWS; ++row) {
        const auto r = static_cast<std::size_t>(row);
        if (asked[r] && !enabled.month[r])
            rows += (rows.empty() ? "" : ",") + std::to_string(row + 1);
    }
    return rows;
}

Stop listedRecords(const PrintToolOptions& options, const ToolData& tool,
                   std::vector<int>& records) {
    const CardState& state = tool.state;
    records = batchRecords(tool.data.store, options.filter, state.lastMonth, state.lastNameFirst);
    const std::size_t listed =
        publisherLines(tool.data.store, options.filter, state.lastMonth).size();
    if (records.empty())
        return fail(EXIT_FAILED, "no publisher is listed under \"" +
                                     loadText(filterNameId(options.filter)) + "\"");
    if (listed > records.size())
        std::cerr << "pelkorl-print: " << listed - records.size()
                  << " listed publisher(s) without a name left out: the program prints no "
                     "card for them\n";
    return {};
}

Stop namedRecords(const PrintToolOptions& options, ToolData& tool, std::vector<int>& records) {
    for (const std::string& wanted : options.publishers) {
        const PublisherLookup found = findPublisher(tool.data, wanted);
        if (!found.error.empty())
            return fail(EXIT_FAILED, found.error);
        if (!cardHasName(tool.data.store, found.record, tool.state.lastNameFirst))
            return fail(EXIT_FAILED, "publisher record " + std::to_string(found.record) +
                                         " has no name: the program prints no card for it");
        records.push_back(found.record);
    }
    return {};
}

// Why a form gave no layout, in the words of the tool's other messages.
std::string formProblem(const FormLayoutResult& result) {
    switch (result.error) {
    case FormLayoutError::None:
    case FormLayoutError::Refused:
        break;
    case FormLayoutError::MissingField:
        return "has no field '" + result.field + "'";
    case FormLayoutError::OutOfRange:
        return "has its field '" + result.field +
               "' more than 9.99 in from the page's top-left corner";
    case FormLayoutError::TotalMisplaced:
        return "has its hours total '" + result.field + "' elsewhere than under the hours";
    }
    return {};
}

// --layout-from: the card's layout in memory only; no layout file is written by this tool.
Stop takeFormLayout(const PrintToolOptions& options, ToolData& tool) {
    if (options.layoutFrom.empty())
        return {};
    if (tool.state.columnSet != ColumnSet::Ministry)
        return fail(EXIT_FAILED, "--layout-from sets the positions of the 11/23 card only; "
                                 "this run prints card version " +
                                     std::to_string(tool.state.cardVersion) +
                                     " (add --card-version 2)");
    const FormLayoutResult result = layoutFromForm(options.layoutFrom, tool.state.layout);
    if (result.error == FormLayoutError::Refused)
        return fail(EXIT_FAILED, formRefusalMessage(result.form, options.layoutFrom));
    if (result.error != FormLayoutError::None)
        return fail(EXIT_FAILED,
                    "the form " + shown(options.layoutFrom) + " " + formProblem(result));
    return {};
}

} // namespace

Stop choosePages(const PrintToolOptions& options, ToolData& tool, std::vector<CardPage>& pages) {
    std::vector<int> records;
    if (options.all) {
        if (const Stop stop = listedRecords(options, tool, records))
            return stop;
    } else if (const Stop stop = namedRecords(options, tool, records)) {
        return stop;
    }
    pages = cardPages(records);
    if (options.totals) {
        // Totals of nobody would be three empty records that look like a result.
        if (tool.data.store.currentCount <= 1)
            return fail(EXIT_FAILED, "the publisher file holds no publishers to add up");
        const std::vector<CardPage> totals = totalsPages();
        pages.insert(pages.end(), totals.begin(), totals.end());
    }
    return {};
}

std::string pagesText(const std::vector<CardPage>& pages) {
    const auto totals =
        static_cast<int>(std::count_if(pages.begin(), pages.end(), [](const CardPage& page) {
            return page.totals != TotalsRecord::None;
        }));
    const int cards = static_cast<int>(pages.size()) - totals;
    std::string text;
    if (cards > 0 || totals == 0)
        text = std::to_string(cards) + (cards == 1 ? " card" : " cards");
    if (totals > 0)
        text += (text.empty() ? "" : " and ") + std::to_string(totals) +
                (totals == 1 ? " totals record" : " totals records");
    return text;
}

Stop chooseCard(const PrintToolOptions& options, ToolData& tool) {
    if (options.cardVersion) {
        tool.state.cardVersion = *options.cardVersion;
        loadCardLayout(tool.state, tool.dataFolder);
    }
    if (const Stop stop = takeFormLayout(options, tool))
        return stop;
    // The date and the data decide this, not the command line.
    const std::string cardError = applyCardOptions(options, tool.state);
    if (!cardError.empty())
        return fail(EXIT_FAILED, cardError);
    const std::string rows = unprintableRows(tool.state, options.months);
    if (!rows.empty())
        warn("month row(s) " + rows +
             " cannot be printed for the service year shown and are left out");
    return {};
}

} // namespace pelkorl
