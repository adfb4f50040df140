// pelkorl-e2e-card: the end-to-end test's second witness. It starts the main dialog
// offscreen on the same data folder and date as the program under test, ticks the same
// boxes through the same handlers, lets the previews paint (they choose the printed name),
// and prints the card through QPrinter's own PDF output on a page of the given size and
// margins. With --expect it also writes where the card's words must stand, computed from
// the sample congregation's specs and the card's default layout, not from the program.
#include "sampledata.h"
#include "text/codepage.h"

#include "main/maindialog.h"
#include "printing/printjob.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace pelkorl;

namespace {

struct Options {
    std::string folder;
    QDate date;
    int sampleYear = 0;
    std::vector<int> rows;
    bool header = true;
    std::string out;
    std::string expect;
    double pageW = 0, pageH = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    int resolution = 0;
};

int usage(const std::string& why) {
    std::cerr << "pelkorl-e2e-card: " << why << "\n"
              << "usage: pelkorl-e2e-card --folder DIR --date YYYY-MM-DD --sample-year N\n"
                 "         --rows R,R,... [--no-header] --page-pt W H --margins-pt L T R B\n"
                 "         [--resolution DPI] --out FILE.pdf [--expect FILE]\n";
    return 2;
}

bool parse(int argc, char** argv, Options& o) {
    auto number = [](const char* text, double& value) {
        std::istringstream in(text);
        return static_cast<bool>(in >> value) && in.eof();
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto need = [&](int n) {
            return i + n < argc;
        };
        if (arg == "--folder" && need(1)) {
            o.folder = argv[++i];
        } else if (arg == "--date" && need(1)) {
            o.date = QDate::fromString(QString::fromLatin1(argv[++i]), Qt::ISODate);
        } else if (arg == "--sample-year" && need(1)) {
            o.sampleYear = std::atoi(argv[++i]);
        } else if (arg == "--rows" && need(1)) {
            std::istringstream in(argv[++i]);
            for (std::string item; std::getline(in, item, ',');)
                if (!item.empty())
                    o.rows.push_back(std::atoi(item.c_str()));
        } else if (arg == "--no-header") {
            o.header = false;
        } else if (arg == "--out" && need(1)) {
            o.out = argv[++i];
        } else if (arg == "--expect" && need(1)) {
            o.expect = argv[++i];
        } else if (arg == "--resolution" && need(1)) {
            o.resolution = std::atoi(argv[++i]);
        } else if (arg == "--page-pt" && need(2)) {
            if (!number(argv[i + 1], o.pageW) || !number(argv[i + 2], o.pageH))
                return false;
            i += 2;
        } else if (arg == "--margins-pt" && need(4)) {
            if (!number(argv[i + 1], o.left) || !number(argv[i + 2], o.top) ||
                !number(argv[i + 3], o.right) || !number(argv[i + 4], o.bottom))
                return false;
            i += 4;
        } else {
            return false;
        }
    }
    return !o.folder.empty() && o.date.isValid() && o.sampleYear > 0 && !o.out.empty() &&
           o.pageW > 0 && o.pageH > 0;
}

// ---- Where the words must stand: card version 0's default layout, margins "0.00" (top)
// and "0.20" (left), in hundredths of an inch.
constexpr int MARGIN_LEFT = 20;
constexpr int MARGIN_TOP = 0;
struct At {
    int x, y;
};
constexpr At NAME{60, 22};
constexpr At ADDRESS{30, 38};
constexpr At HOME_PHONE{50, 57};
constexpr At MOBILE_PHONE{250, 57};
constexpr At BIRTH_DATE{425, 57};
constexpr At BAPTISM_DATE{50, 81};
constexpr At ELDER_MARK{390, 75};
constexpr int TABLE_TOP = 132;
constexpr int TABLE_HEIGHT = 199;
constexpr int PLACEMENTS_X = 100;
constexpr int HOURS_X = 230;
constexpr int RETURN_VISITS_X = 290;
constexpr int STUDIES_X = 340;
constexpr int REMARKS_X = 360;

// Hundredths of an inch to device units, each part's remainder dropped.
int device(int dpi, int hundredths) {
    return dpi * (hundredths % 100) / 100 + dpi * (hundredths / 100);
}

class Expectations {
public:
    Expectations(const Options& o, int dpi) : o_(o), dpi_(dpi) {}

    // A text whose top-left corner stands at (x, y) device units.
    void left(const std::string& text, int x, int y) { add('L', text, x, y); }
    // A text that ends at x.
    void right(const std::string& text, int x, int y) { add('R', text, x, y); }
    // Nothing may stand between the two device lines.
    void empty(int y0, int y1) {
        lines_ << "E " << pt(o_.top, y0) << ' ' << pt(o_.top, y1) << '\n';
    }
    std::string text() const { return lines_.str(); }

private:
    void add(char anchor, const std::string& text, int x, int y) {
        lines_ << anchor << ' ' << pt(o_.left, x) << ' ' << pt(o_.top, y) << ' ' << text << '\n';
    }
    std::string pt(double origin, int units) const {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.3f", origin + units * 72.0 / dpi_);
        return buffer;
    }
    const Options& o_;
    int dpi_;
    std::ostringstream lines_;
};

std::string dateText(const std::string& stored) {
    if (stored.size() < 8)
        return {};
    return stored.substr(0, 2) + "/" + stored.substr(2, 2) + "/" + stored.substr(4, 4);
}

std::string hoursText(unsigned hours, unsigned quarters) {
    static const char* const FRACTION[] = {"", ",25", ",5", ",75"};
    if (quarters == 0)
        return hours == 0 ? std::string() : std::to_string(hours);
    return std::to_string(hours) + FRACTION[quarters];
}

bool writeExpectations(const Options& o, int dpi) {
    const sample::SampleCongregation congregation = sample::buildSampleCongregation(o.sampleYear);
    if (congregation.current.empty())
        return false;
    // The list shows the file's order, so its first line is the first record.
    const sample::PublisherSpec& p = congregation.current.front();
    Expectations e(o, dpi);
    const int left = device(dpi, MARGIN_LEFT);
    const int top = device(dpi, MARGIN_TOP);
    auto x = [&](int hundredths) {
        return left + device(dpi, hundredths);
    };
    auto y = [&](int hundredths) {
        return top + device(dpi, hundredths);
    };

    if (o.header) {
        std::string name = cp1257ToUtf8(p.firstName + " " + p.lastName);
        for (const sample::ExtensionSpec& extension : congregation.extensions)
            if (extension.publisherId == p.publisherId && !extension.longName.empty())
                name = cp1257ToUtf8(extension.longName);
        e.left(name, x(NAME.x), y(NAME.y));
        e.left(cp1257ToUtf8(p.address), x(ADDRESS.x), y(ADDRESS.y));
        if (!p.homePhone.empty())
            e.left(cp1257ToUtf8(p.homePhone), x(HOME_PHONE.x), y(HOME_PHONE.y));
        if (!p.mobilePhone.empty())
            e.left(cp1257ToUtf8(p.mobilePhone), x(MOBILE_PHONE.x), y(MOBILE_PHONE.y));
        e.left(dateText(p.birthDate), x(BIRTH_DATE.x), y(BIRTH_DATE.y));
        e.left(dateText(p.baptismDate), x(BAPTISM_DATE.x), y(BAPTISM_DATE.y));
        if (p.appointment == sample::ELDER)
            e.left("x", x(ELDER_MARK.x), y(ELDER_MARK.y));
    }

    const int lastMonth = o.date.month() == 1 ? 11 : o.date.month() - 2;
    const int rowsDone = lastMonth > 7 ? lastMonth - 7 : lastMonth + 5;
    const int y0 = y(TABLE_TOP);
    const int rowHeight = device(dpi, TABLE_HEIGHT) / 12;
    for (int row = 0; row <= 12; ++row) {
        const int rowTop = y0 + row * rowHeight;
        bool ticked = false;
        for (int r : o.rows)
            ticked = ticked || r == row;
        if (row == 12 || !ticked || row >= rowsDone) {
            e.empty(rowTop, rowTop + rowHeight);
            continue;
        }
        const sample::MonthSpec& m = p.months[static_cast<std::size_t>((row + 8) % 12)];
        const unsigned placements =
            m.placementEncoding ? m.placements : m.books + m.brochures + m.magazines;
        if (placements != 0)
            e.right(std::to_string(placements), x(PLACEMENTS_X), rowTop);
        const std::string hours = hoursText(m.hours, m.quarterHours & 3u);
        if (!hours.empty())
            e.right(hours, x(HOURS_X), rowTop);
        if (m.returnVisits != 0)
            e.right(std::to_string(m.returnVisits), x(RETURN_VISITS_X), rowTop);
        if (m.bibleStudies != 0)
            e.right(std::to_string(m.bibleStudies), x(STUDIES_X), rowTop);
        if ((m.status & 3u) == sample::AUXILIARY_PIONEER)
            e.left("Pag.pionierius", x(REMARKS_X), rowTop);
    }

    std::ofstream out(o.expect, std::ios::trunc);
    out << "# dpi " << dpi << '\n' << e.text();
    return static_cast<bool>(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options o;
    if (!parse(argc, argv, o))
        return usage("missing or malformed arguments");

    int dpi = o.resolution;
    if (dpi <= 0) {
        // The resolution the program's printer took: the default printer in high resolution.
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return usage("no --resolution and no default printer to take it from");
        dpi = QPrinter(info, QPrinter::HighResolution).resolution();
    }

    // A settings file that is never written: the dialog is not closed here.
    QTemporaryDir settingsFolder;
    const std::filesystem::path settings =
        settingsFolder.filePath(QStringLiteral("unused.INI")).toStdString();
    MainDialog dialog(SettingsLocation{settings, settings}, o.folder, o.date);
    dialog.initialise();
    if (dialog.closed() || dialog.state().selectedRecord < 1) {
        std::cerr << "pelkorl-e2e-card: the dialog did not start with a list\n";
        return 1;
    }
    for (int row : o.rows) {
        QCheckBox* box = dialog.monthBox(row);
        if (!box || !box->isEnabled()) {
            std::cerr << "pelkorl-e2e-card: month row " << row << " cannot be ticked\n";
            return 1;
        }
        box->click();
    }
    QCheckBox* header = dialog.checkBox(PRINT_HEADER_BOX_ID);
    if (header->isChecked() != o.header)
        header->click();
    // The header preview chooses the printed name when it paints, as on the screen.
    dialog.show();
    QApplication::processEvents();
    (void)dialog.grab();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(o.out));
    printer.setResolution(dpi);
    printer.setFullPage(false);
    const QPageLayout layout(QPageSize(QSizeF(o.pageW, o.pageH), QPageSize::Point),
                             QPageLayout::Portrait, QMarginsF(o.left, o.top, o.right, o.bottom),
                             QPageLayout::Point, QMarginsF(0, 0, 0, 0));
    if (!printer.setPageLayout(layout)) {
        std::cerr << "pelkorl-e2e-card: the page layout was refused\n";
        return 1;
    }
    CardState card = dialog.state();
    if (printCardOn(printer, card) != PrintResult::Printed) {
        std::cerr << "pelkorl-e2e-card: the card was not printed\n";
        return 1;
    }
    if (!o.expect.empty() && !writeExpectations(o, dpi)) {
        std::cerr << "pelkorl-e2e-card: cannot write " << o.expect << "\n";
        return 1;
    }
    std::cout << "resolution " << dpi << "\n";
    return 0;
}
