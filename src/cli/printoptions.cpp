#include "cli/printoptions.h"

#include "card/cardbatch.h"
#include "card/figures.h"
#include "card/formatting.h"
#include "records/extension.h"
#include "records/publisherdata.h"
#include "text/codepage.h"
#include "text/commandline.h"
#include "text/strings.h"
#include "text/textids.h"
#include "text/trim.h"

#include "pelkorlversion.h"

#include <algorithm>
#include <charconv>
#include <set>
#include <system_error>

namespace pelkorl {

namespace {

// Short month names of the string table, January first.
constexpr std::array<std::string_view, 12> ENGLISH_MONTHS = {
    "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};

// Command-line values lose spaces and tabs only.
constexpr std::string_view ARGUMENT_BLANKS = " \t";

bool parseInt(std::string_view text, int& value) {
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end;
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Row (0 = September) of one item of a month list, or -1.
int monthRow(std::string_view item) {
    int number = 0;
    if (allDigits(item))
        return parseInt(item, number) && number >= 1 && number <= MONTH_ROWS ? number - 1 : -1;
    const std::string folded = foldCase(item);
    for (int m = 0; m < 12; ++m) {
        if (folded == foldCase(loadText(TABLE_MONTH_NAME_BASE + m)) ||
            folded == ENGLISH_MONTHS[static_cast<std::size_t>(m)])
            return rowOfMonth(m);
    }
    return -1;
}

bool validDate(int year, int month, int day) {
    if (year < 1900 || year > 2999 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int days = DAYS[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= days;
}

bool parseDate(std::string_view text, int& year, int& month, int& day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    const std::string_view y = text.substr(0, 4), m = text.substr(5, 2), d = text.substr(8, 2);
    return allDigits(y) && allDigits(m) && allDigits(d) && parseInt(y, year) &&
           parseInt(m, month) && parseInt(d, day);
}

std::string inQuotes(std::string_view text) {
    return "'" + std::string(text) + "'";
}

bool endsWithPdf(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    return name.size() > 4 && foldCase(name.substr(name.size() - 4)) == ".pdf";
}

enum class Takes { Nothing, Value };

struct OptionSpec {
    std::string_view longName;
    char shortName;
    Takes takes;
};

constexpr OptionSpec OPTIONS[] = {
    {"help", 'h', Takes::Nothing},
    {"data", 0, Takes::Value},
    {"settings", 0, Takes::Value},
    {"publisher", 'p', Takes::Value},
    {"all", 'a', Takes::Nothing},
    {"filter", 0, Takes::Value},
    {"months", 'm', Takes::Value},
    {"total", 0, Takes::Nothing},
    {"no-header", 0, Takes::Nothing},
    {"sex-mark", 0, Takes::Nothing},
    {"previous-year", 0, Takes::Nothing},
    {"output", 'o', Takes::Value},
    {"password", 0, Takes::Value},
    {"password-file", 0, Takes::Value},
    {"resolution", 0, Takes::Value},
    {"date", 0, Takes::Value},
    {"printer", 0, Takes::Value},
    {"option", 'O', Takes::Value},
    {"form", 0, Takes::Nothing},
    {"card-version", 0, Takes::Value},
    {"fill", 0, Takes::Value},
    {"output-dir", 0, Takes::Value},
    {"flatten", 0, Takes::Nothing},
    {"both-years", 0, Takes::Nothing},
    {"version", 0, Takes::Nothing},
    {"totals", 0, Takes::Nothing},
    {"layout-from", 0, Takes::Value},
};

const OptionSpec* findOption(std::string_view longName, char shortName) {
    for (const OptionSpec& known : OPTIONS) {
        if ((!longName.empty() && known.longName == longName) ||
            (shortName != 0 && known.shortName == shortName))
            return &known;
    }
    return nullptr;
}

// Takes one option with its value; returns an error text.
std::string takeOption(std::string_view name, std::string_view value, PrintToolOptions& o) {
    if (name == "help") {
        o.help = true;
    } else if (name == "version") {
        o.version = true;
    } else if (name == "data") {
        if (!o.dataFolder.empty())
            return "more than one data folder given";
        if (value.empty())
            return "--data: the folder name is empty";
        o.dataFolder = pathFromUtf8(value);
    } else if (name == "settings") {
        if (value.empty())
            return "--settings: the file name is empty";
        o.settingsFile = pathFromUtf8(value);
    } else if (name == "publisher") {
        if (trimmed(value, ARGUMENT_BLANKS).empty())
            return "--publisher: the name is empty";
        o.publishers.emplace_back(value);
    } else if (name == "all") {
        o.all = true;
    } else if (name == "totals") {
        o.totals = true;
    } else if (name == "filter") {
        int filter = -1;
        if (!allDigits(value) || !parseInt(value, filter) || filter < 0 || filter > 3)
            return "--filter takes 0 (every publisher), 1 (regular pioneers), 2 (baptized) or "
                   "3 (unbaptized), not " +
                   inQuotes(value);
        o.filter = static_cast<ListFilter>(filter);
        o.filterGiven = true;
    } else if (name == "months") {
        std::string error = parseMonthList(value, o.months);
        if (!error.empty())
            return "--months: " + error;
    } else if (name == "total") {
        o.total = true;
    } else if (name == "no-header") {
        o.header = false;
    } else if (name == "sex-mark") {
        o.sexMark = true;
    } else if (name == "previous-year") {
        o.previousYear = true;
    } else if (name == "form") {
        o.form = true;
    } else if (name == "card-version") {
        int version = -1;
        if (!allDigits(value) || !parseInt(value, version) || version < 0 ||
            version >= cardVersionCount())
            return "--card-version takes 0 (S-21-L 9/15), 1 (S-21-L 1/06) or 2 (S-21-L 11/23), "
                   "not " +
                   inQuotes(value);
        o.cardVersion = version;
    } else if (name == "layout-from") {
        if (value.empty())
            return "--layout-from: the file name is empty";
        o.layoutFrom = pathFromUtf8(value);
    } else if (name == "output") {
        if (value.empty())
            return "--output: the file name is empty";
        o.output = pathFromUtf8(value);
    } else if (name == "fill") {
        if (value.empty())
            return "--fill: the form's file name is empty";
        o.fillForm = pathFromUtf8(value);
    } else if (name == "output-dir") {
        if (value.empty())
            return "--output-dir: the folder name is empty";
        o.outputDir = pathFromUtf8(value);
    } else if (name == "flatten") {
        o.flatten = true;
    } else if (name == "both-years") {
        o.bothYears = true;
    } else if (name == "password") {
        o.password = std::string(value);
    } else if (name == "password-file") {
        if (value.empty())
            return "--password-file: the file name is empty";
        o.passwordFile = pathFromUtf8(value);
    } else if (name == "resolution") {
        int dpi = 0;
        if (!allDigits(value) || !parseInt(value, dpi) || dpi < PRINT_TOOL_MIN_RESOLUTION ||
            dpi > PRINT_TOOL_MAX_RESOLUTION)
            return "--resolution takes dots per inch from " +
                   std::to_string(PRINT_TOOL_MIN_RESOLUTION) + " to " +
                   std::to_string(PRINT_TOOL_MAX_RESOLUTION) + ", not " + inQuotes(value);
        o.resolution = dpi;
    } else if (name == "date") {
        if (!parseDate(value, o.year, o.month, o.day))
            return "--date takes a date as YYYY-MM-DD, not " + inQuotes(value);
        if (!validDate(o.year, o.month, o.day))
            return "--date: " + inQuotes(value) + " is no day of the years 1900-2999";
    } else if (name == "printer") {
        if (o.printer)
            return "more than one printer given";
        if (value.empty())
            return "--printer: the printer name is empty (\"-\" is the default printer)";
        o.printer = std::string(value);
    } else if (name == "option") {
        const std::size_t equals = value.find('=');
        if (equals == std::string_view::npos || equals == 0)
            return "--option takes KEY=VALUE, such as InputSlot=BypassTray, not " + inQuotes(value);
        o.jobOptions.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    }
    return {};
}

// What --fill goes with: the publishers and the output; the month rows and the total are
// not asked for, since a filled form holds every reported month.
std::string checkFillCombination(const PrintToolOptions& o) {
    if (o.printer)
        return "--fill writes files; it does not go with --printer";
    if (!o.jobOptions.empty())
        return "--option goes with --printer, not with --fill";
    if (o.form)
        return "--form draws a card; it does not go with --fill";
    if (!o.header)
        return "--no-header: a filled form always holds its header";
    if (o.total || std::find(o.months.begin(), o.months.end(), true) != o.months.end())
        return std::string(o.total ? "--total" : "--months") +
               ": a filled form holds every reported month and its total";
    if (!o.output.empty() && !o.outputDir.empty())
        return "--output and --output-dir exclude each other";
    if (o.output.empty() && o.outputDir.empty())
        return "say where the filled forms go: --output FILE.pdf or --output-dir FOLDER";
    if (!o.output.empty()) {
        std::error_code error;
        if (std::filesystem::is_directory(o.output, error))
            return "--output: " + inQuotes(o.output.string()) +
                   " is a folder; give the PDF file's name, or use --output-dir";
        if (!endsWithPdf(o.output))
            return "--output: the file name must end in .pdf";
    }
    return {};
}

// What the options ask for together.
std::string checkCombination(const PrintToolOptions& o) {
    if (o.dataFolder.empty())
        return "no data folder given";
    if (o.all && !o.publishers.empty())
        return "--publisher and --all exclude each other";
    if (!o.all && o.publishers.empty() && !o.totals)
        return "say which cards to print: --publisher, --all or --totals";
    if (o.filterGiven && !o.all)
        return "--filter chooses the cards of --all; it does not go with --publisher";
    if (o.password && !o.passwordFile.empty())
        return "--password and --password-file exclude each other";
    if (!o.header && o.sexMark)
        return "--sex-mark marks the header, which --no-header leaves out";
    if (!o.fillForm.empty())
        return checkFillCombination(o);
    if (!o.outputDir.empty() || o.flatten || o.bothYears)
        return std::string(!o.outputDir.empty() ? "--output-dir"
                           : o.flatten          ? "--flatten"
                                                : "--both-years") +
               " goes with --fill";
    if (o.printer) {
        if (!o.output.empty())
            return "--printer and --output exclude each other";
        return {};
    }
    if (!o.jobOptions.empty())
        return "--option goes with --printer: a PDF file takes no job options";
    if (o.output.empty())
        return "no output file given (--output FILE.pdf or --printer NAME)";
    std::error_code error;
    if (std::filesystem::is_directory(o.output, error))
        return "--output: " + inQuotes(o.output.string()) +
               " is a folder; give the PDF file's name";
    if (!endsWithPdf(o.output))
        return "--output: the file name must end in .pdf";
    return {};
}

} // namespace

std::string foldCase(std::string_view cp1257) {
    std::string folded(cp1257);
    for (char& c : folded) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 'A' && byte <= 'Z')
            c = static_cast<char>(byte + 0x20);
        else if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)
            c = static_cast<char>(byte + 0x20);
    }
    return folded;
}

std::string parseMonthList(std::string_view list, std::array<bool, MONTH_ROWS>& rows) {
    std::array<bool, MONTH_ROWS> taken{};
    if (trimmed(list, ARGUMENT_BLANKS).empty())
        return "the list of months is empty";
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view item = trimmed(list.substr(0, comma), ARGUMENT_BLANKS);
        if (item.empty())
            return "an empty item in the list of months";
        if (foldCase(item) == "all") {
            taken.fill(true);
        } else {
            const std::size_t dash = item.find('-');
            const std::string_view fromText = trimmed(item.substr(0, dash), ARGUMENT_BLANKS);
            const std::string_view toText = dash == std::string_view::npos
                                                ? fromText
                                                : trimmed(item.substr(dash + 1), ARGUMENT_BLANKS);
            const int from = monthRow(fromText);
            const int to = monthRow(toText);
            if (from < 0 || to < 0)
                return inQuotes(from < 0 ? fromText : toText) +
                       " is neither a row 1-12 (1 = September) nor a month name";
            if (from > to)
                return "the range " + inQuotes(item) +
                       " runs backwards: the rows go from September (1) to August (12)";
            for (int row = from; row <= to; ++row)
                taken[static_cast<std::size_t>(row)] = true;
        }
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
    }
    for (std::size_t row = 0; row < rows.size(); ++row)
        rows[row] = rows[row] || taken[row];
    return {};
}

ParsedOptions parsePrintToolOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    PrintToolOptions& o = parsed.options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (!o.dataFolder.empty()) {
                parsed.error =
                    "more than one data folder given: " + inQuotes(o.dataFolder.string()) +
                    " and " + inQuotes(arg);
                return parsed;
            }
            parsed.error = takeOption("data", arg, o);
            if (!parsed.error.empty())
                return parsed;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string_view name;
        std::optional<std::string_view> value;
        const OptionSpec* known = nullptr;
        if (arg[1] == '-') {
            name = arg.substr(2);
            const std::size_t equals = name.find('=');
            if (equals != std::string_view::npos) {
                value = name.substr(equals + 1);
                name = name.substr(0, equals);
            }
            known = findOption(name, 0);
        } else if (arg.size() == 2) {
            known = findOption({}, arg[1]);
        }
        if (!known) {
            parsed.error = "unknown option " + inQuotes(arg);
            return parsed;
        }
        name = known->longName;
        if (known->takes == Takes::Nothing && value) {
            parsed.error = "--" + std::string(name) + " takes no value";
            return parsed;
        }
        if (known->takes == Takes::Value && !value) {
            if (i + 1 >= arguments.size()) {
                parsed.error = "--" + std::string(name) + " needs a value";
                return parsed;
            }
            value = arguments[++i];
        }
        parsed.error = takeOption(name, value.value_or(std::string_view{}), o);
        if (!parsed.error.empty())
            return parsed;
    }
    if (!o.help && !o.version)
        parsed.error = checkCombination(o);
    return parsed;
}

constexpr const char* USAGE_HEAD =
    "Usage: pelkorl-print [OPTIONS] DATA_FOLDER --output FILE.pdf\n"
    "       pelkorl-print [OPTIONS] DATA_FOLDER --printer NAME [-O KEY=VALUE]...\n"
    "       pelkorl-print [OPTIONS] DATA_FOLDER --fill FORM.pdf (--output FILE.pdf |\n"
    "                     --output-dir FOLDER)\n"
    "\n"
    "Writes publisher record cards to a PDF file, or prints them on a printer, one page\n"
    "per card or totals record, each page as the program prints it. DATA_FOLDER is\n"
    "the folder the program is started in: the record-keeping program's files\n"
    "(tdat7.bin, xten7.dat, remark7.dat, the previous\n"
    "year in Roll/Rv7_8/) and the layout files (cplot.dat, cplot1.dat, cplot2.dat).\n"
    "They are only read; the tool writes nothing but its output, and refuses an\n"
    "output that is one of the files it reads.\n"
    "\n"
    "Which cards:\n"
    "  -p, --publisher WHO  the card of one publisher: his record number in the\n"
    "                       publisher file, or his name as the list shows it\n"
    "                       (\"Surname, First\"), as \"First Surname\", or his long name;\n"
    "                       case does not count, and the start of either name will\n"
    "                       do when it fits one publisher only. Repeat for more cards.\n"
    "  -a, --all            the cards of every publisher in the list, in list order\n"
    "      --filter N       with --all, the list of filter N: 0 every publisher\n"
    "                       (default), 1 regular pioneers, 2 baptized publishers who\n"
    "                       are not regular pioneers, 3 unbaptized publishers\n"
    "      --totals         the congregation's three totals records (publishers,\n"
    "                       auxiliary pioneers, regular pioneers: per month the\n"
    "                       reports, their figures and the pioneers' hours), alone\n"
    "                       or after the cards of --publisher or --all\n"
    "\n"
    "What each card shows (as the check boxes of the main window):\n"
    "  -m, --months LIST    the month rows to print, comma separated: a row number\n"
    "                       (1 = September ... 12 = August), a month name (Rgs, Spa,\n"
    "                       Lap, Grd, Sau, Vas, Kov, Bal, Geg, Bir, Lie, Rgp, or Sep ...\n"
    "                       Aug), a range of either (1-4, Rgs-Grd) or \"all\".\n"
    "                       Without it no month row is printed.\n"
    "      --total          print the total row (only where the program allows it:\n"
    "                       in September, or for a previous year whose months can\n"
    "                       all be printed)\n"
    "      --no-header      leave the card header out (name, address, dates, marks)\n"
    "      --sex-mark       mark the male/female box of the header (\"V/M\")\n"
    "      --previous-year  show the previous service year (\"Ankstesni tarn. metai\")\n"
    "      --form           draw the card itself too (outline, rules, captions, month\n"
    "                       names, the header's boxes), for blank stock, paper or PDF\n"
    "                       (\"Spausdinti formą\")\n"
    "      --card-version N the card to print instead of the settings file's: 0\n"
    "                       S-21-L 9/15, 1 S-21-L 1/06, 2 S-21-L 11/23; its positions\n"
    "                       come from its layout file (cplot.dat, cplotN.dat)\n"
    "      --layout-from FORM.pdf\n"
    "                       the positions of the 11/23 card (version 2) from the\n"
    "                       field rectangles of this fillable S-21 form, for this run\n"
    "                       only (cplot2.dat is not written): the data land in the\n"
    "                       boxes of that form printed at actual size on A4\n"
    "\n"
    "Where from and where to:\n"
    "      --data FOLDER    the data folder, instead of giving it as DATA_FOLDER\n"
    "      --settings FILE  the settings file to read (date format, name order, card\n"
    "                       version, margins, data location); by default the\n"
    "                       program's own settings file, as the program finds it\n"
    "  -o, --output FILE    the PDF file to write (its name ends in .pdf); a file of\n"
    "                       that name is replaced once the whole document is written\n";

// Printers are the spooler's on Windows, which takes fewer job options than CUPS.
#ifdef _WIN32
constexpr const char* USAGE_PRINTER =
    "      --printer NAME   print on this printer (its name as Windows shows it)\n"
    "                       instead of writing a file; \"-\" is the default printer.\n"
    "                       The page size and margins are the printer's own: the card\n"
    "                       counts from the corner of its printable area, as the\n"
    "                       program prints it\n"
    "  -O, --option KEY=VALUE\n"
    "                       a job option for --printer: the paper (media=A4), the\n"
    "                       tray (InputSlot=Upper, Lower, Manual, ...: Qt's names of\n"
    "                       them) or copies (copies=N); repeat for more. Any other key\n"
    "                       is reported and left out\n";
#else
constexpr const char* USAGE_PRINTER =
    "      --printer NAME   print on this printer (a CUPS queue) instead of writing a\n"
    "                       file; \"-\" is the default printer. The page size and\n"
    "                       margins are the printer's own: the card counts from the\n"
    "                       corner of its printable area, as the program prints it\n"
    "  -O, --option KEY=VALUE\n"
    "                       a job option for --printer, as lp -o takes it, such as\n"
    "                       InputSlot=BypassTray or MediaType=ThickPaper2; repeat for\n"
    "                       more. A key the printer does not know is reported and\n"
    "                       ignored by CUPS\n";
#endif

constexpr const char* USAGE_TAIL =
    "      --password TEXT  the data password, for data protected by one; the tool\n"
    "                       never asks for it and refuses protected data without it\n"
    "      --password-file FILE\n"
    "                       read the password from the first line of FILE instead\n"
    "                       (a command line can be seen by other users)\n"
    "      --resolution DPI dots per inch of the page, 72-2400 (default 600)\n"
    "      --date YYYY-MM-DD\n"
    "                       take this date instead of today: it decides the last\n"
    "                       month reported and so the service year\n"
    "\n"
    "Filling the branch's fillable S-21 11/23 form (\"Pildyti S-21 PDF formą...\"):\n"
    "      --fill FORM.pdf  fill your copy of the form with what the 11/23 card prints,\n"
    "                       every reported month of the service year shown, instead\n"
    "                       of drawing cards; --months, --total and --form do not\n"
    "                       apply. With --output, one file of one page per publisher;\n"
    "                       with --output-dir, one file per publisher in FOLDER,\n"
    "                       named by the printed name and the service year\n"
    "                       (\"Šimkūnienė Gražina 2027.pdf\"); files of those names are\n"
    "                       replaced once each is written whole\n"
    "      --output-dir FOLDER\n"
    "                       the folder the filled forms are written to; made when\n"
    "                       it is missing and the folder it is in is there\n"
    "      --flatten        make the fields page content (no longer editable)\n"
    "      --both-years     each publisher's form twice: the previous service year\n"
    "                       first, then the current one\n"
    "  -h, --help           show this text\n"
    "      --version        show the tool's name and version\n"
    "\n"
    "Exit status: 0 when the file was written or the printer took the job, 1 when the\n"
    "data, the password, a publisher, the output file or the printer could not be had\n"
    "(or the printer refused the job, or the total row cannot be printed), 2 for a\n"
    "wrong command line. Warnings (records left out, month rows that cannot be\n"
    "printed, no previous year) go to stderr and leave the status 0.\n";

std::string printToolUsage() {
    return std::string(USAGE_HEAD) + USAGE_PRINTER + USAGE_TAIL;
}

std::string printToolVersion() {
    return std::string("pelkorl-print ") + PELKORL_VERSION + "\n";
}

PublisherLookup findPublisher(PublisherData& data, std::string_view given) {
    PublisherLookup lookup;
    const RecordStore& store = data.store;
    const std::string_view text = trimmed(given, ARGUMENT_BLANKS);
    if (text.empty()) {
        lookup.error = "--publisher: the name is empty";
        return lookup;
    }
    if (allDigits(text)) {
        int record = 0;
        if (parseInt(text, record) && isPublisher(store, record)) {
            lookup.record = record;
        } else if (store.currentCount <= 1) {
            lookup.error = "there is no publisher record " + std::string(text) +
                           ": the publisher file holds no publishers";
        } else {
            lookup.error = "there is no publisher record " + std::string(text) +
                           ": the records go from 1 to " + std::to_string(store.currentCount - 1);
        }
        return lookup;
    }

    const std::string wanted = foldCase(utf8ToCp1257(text));
    const auto fold = [](std::string form) {
        trimBlanks(form);
        return foldCase(form);
    };
    std::vector<int> whole;
    std::vector<int> starts;
    for (int j = 1; j < store.currentCount; ++j) {
        if (!isPublisher(store, j))
            continue;
        const PublisherRecord& p = store.currentRecords[static_cast<std::size_t>(j)];
        const std::string line = fold(formatName(store, j, true));
        const std::string firstLast = fold(formatName(store, j, false));
        std::set<std::string> forms = {line, firstLast, fold(p.lastName() + " " + p.firstName())};
        if (loadExtension(data, j) != 0)
            forms.insert(fold(data.currentExtension.longName()));
        if (forms.count(wanted) != 0)
            whole.push_back(j);
        else if (line.compare(0, wanted.size(), wanted) == 0 ||
                 firstLast.compare(0, wanted.size(), wanted) == 0)
            starts.push_back(j);
    }
    const std::vector<int>& found = whole.empty() ? starts : whole;
    if (found.size() == 1) {
        lookup.record = found.front();
        return lookup;
    }
    if (found.empty()) {
        lookup.error = "no publisher is named " + inQuotes(text);
        return lookup;
    }
    lookup.error = inQuotes(text) + " fits several publishers:";
    for (int j : found)
        lookup.error +=
            " " + std::to_string(j) + " (" + cp1257ToUtf8(formatName(store, j, true)) + ")";
    lookup.error += "; give the record number";
    return lookup;
}

std::string applyCardOptions(const PrintToolOptions& options, CardState& state) {
    state.previousYear = options.previousYear;
    state.monthChecked = options.months;
    state.printHeader = options.header;
    state.markSex = options.header && options.sexMark;
    state.printForm = options.form;
    state.totalChecked = false;
    if (options.total) {
        if (!enabledMonthBoxes(state).total)
            return "--total: the total row can be printed only when every month row can be: "
                   "in September, or with --previous-year when all its months are available";
        state.totalChecked = true;
    }
    return {};
}

} // namespace pelkorl
