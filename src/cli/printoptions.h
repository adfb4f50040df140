#pragma once
// The command line of pelkorl-print: its options, the help text, and the choices that need
// the loaded data (which publisher a name means, whether the total row can be printed).
#include "card/cardstate.h"
#include "card/publisherfilter.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelkorl {

struct PublisherData;

inline constexpr int PRINT_TOOL_RESOLUTION = 600;
inline constexpr int PRINT_TOOL_MIN_RESOLUTION = 72;
inline constexpr int PRINT_TOOL_MAX_RESOLUTION = 2400;

// Exit codes of the tool.
inline constexpr int EXIT_PRINTED = 0;
inline constexpr int EXIT_FAILED = 1; // data, password, publisher, output or printer failed
inline constexpr int EXIT_USAGE = 2;  // the command line itself is wrong

struct PrintToolOptions {
    bool help = false;
    bool version = false;
    std::filesystem::path dataFolder;
    std::filesystem::path settingsFile;  // empty: the program's own settings file
    std::vector<std::string> publishers; // record numbers or names (UTF-8), in page order
    bool all = false;
    bool totals = false; // the congregation's three totals records, after the cards
    ListFilter filter = ListFilter::All;
    bool filterGiven = false;
    std::array<bool, MONTH_ROWS> months{}; // row 0 = September
    bool total = false;
    bool header = true;
    bool sexMark = false;
    bool previousYear = false;
    bool form = false; // draw the card's form with the data
    // --card-version: instead of the settings file's card version.
    std::optional<int> cardVersion;
    // --layout-from: the 11/23 card's positions from this fillable form, for this run only.
    std::filesystem::path layoutFrom;
    std::filesystem::path output;
    // --fill: the user's fillable S-21 11/23 form, filled instead of drawing cards.
    std::filesystem::path fillForm;
    std::filesystem::path outputDir; // --output-dir: one filled form per publisher
    bool flatten = false;            // the fields become page content
    bool bothYears = false;          // each publisher: the previous service year, then this one
    // --printer: the queue to print on instead of writing a file; "-" is the default one.
    std::optional<std::string> printer;
    std::vector<std::pair<std::string, std::string>> jobOptions; // -O KEY=VALUE, in order
    std::optional<std::string> password;                         // UTF-8
    std::filesystem::path passwordFile;
    int resolution = PRINT_TOOL_RESOLUTION;
    // --date; 0 when today is meant.
    int year = 0;
    int month = 0;
    int day = 0;
};

struct ParsedOptions {
    PrintToolOptions options;
    std::string error; // empty when the command line is right
    bool ok() const { return error.empty(); }
};

// The arguments after the program's name.
ParsedOptions parsePrintToolOptions(const std::vector<std::string>& arguments);

std::string printToolUsage();
std::string printToolVersion();

// A comma-separated list of rows (1 = September ... 12 = August), month names ("Rgs",
// "Sep"), ranges of either ("1-4", "Rgs-Grd") or "all", ticked in `rows`. Returns an error
// text, empty when the whole list was understood.
std::string parseMonthList(std::string_view list, std::array<bool, MONTH_ROWS>& rows);

// Case folding of Windows-1257 letters: ASCII and the accented letters of 0xC0-0xDE.
std::string foldCase(std::string_view cp1257);

struct PublisherLookup {
    int record = 0;    // the publisher, when error is empty
    std::string error; // UTF-8
};

// A record number, or a name (UTF-8): first a whole name, case ignored, as the list shows
// it ("Surname, First"), in either order without the comma, or the long name; else the start
// of "Surname, First" or of "First Surname". A name that fits several publishers is an error
// naming their records.
PublisherLookup findPublisher(PublisherData& data, std::string_view given);

// Takes the card options into `state` (month rows, total, header, V/M mark, year shown, the
// form). The card version is the caller's: it needs the layout file.
// Returns an error when the main dialog would not let that card be printed: the total row
// while its box is disabled for the year shown.
std::string applyCardOptions(const PrintToolOptions& options, CardState& state);

} // namespace pelkorl
