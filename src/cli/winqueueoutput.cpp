// The cards on a Windows printer: drawn by the page routine straight onto it through Qt's
// print support, as the program prints, on the printer's default paper. Of the job options
// those Qt can set are taken: the paper (media, PageSize), the tray (InputSlot) and copies;
// any other is named and left out.
#include "cli/printtool.h"
#include "printing/batchprint.h"
#include "printing/cardpage.h"
#include "printing/printjob.h"
#include "toolkit/qtstrings.h"

#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

#include <charconv>
#include <iostream>
#include <optional>
#include <utility>

namespace pelkorl {

namespace {

bool sameName(const QString& a, const std::string& b) {
    return a.compare(textFromUtf8(b), Qt::CaseInsensitive) == 0;
}

// A self-describing paper name as CUPS gives it, "iso_a4_210x297mm": its size.
std::optional<QPageSize> pwgPaper(const std::string& name) {
    static const QRegularExpression pattern(
        QStringLiteral("^[a-z0-9-]+_[^_]+_([0-9.]+)x([0-9.]+)(mm|in)$"));
    const QRegularExpressionMatch match = pattern.match(textFromUtf8(name));
    if (!match.hasMatch())
        return std::nullopt;
    const QSizeF size(match.captured(1).toDouble(), match.captured(2).toDouble());
    if (size.isEmpty())
        return std::nullopt;
    const auto unit =
        match.captured(3) == QLatin1String("mm") ? QPageSize::Millimeter : QPageSize::Inch;
    return QPageSize(size, unit, QString(), QPageSize::FuzzyMatch);
}

// The printer's paper of that name (Qt's or Windows' name of it, or the CUPS name of its size).
std::optional<QPageSize> paperNamed(const QPrinterInfo& info, const std::string& name) {
    const std::optional<QPageSize> bySize = pwgPaper(name);
    for (const QPageSize& size : info.supportedPageSizes()) {
        if (sameName(size.key(), name) || sameName(size.name(), name))
            return size;
        if (bySize && size.sizePoints() == bySize->sizePoints())
            return size;
    }
    return std::nullopt;
}

// A tray by the name Qt gives it.
std::optional<QPrinter::PaperSource> trayNamed(const QPrinter& printer, const std::string& name) {
    static const std::pair<const char*, QPrinter::PaperSource> trays[] = {
        {"Auto", QPrinter::Auto},
        {"OnlyOne", QPrinter::OnlyOne},
        {"Upper", QPrinter::Upper},
        {"Middle", QPrinter::Middle},
        {"Lower", QPrinter::Lower},
        {"Manual", QPrinter::Manual},
        {"Envelope", QPrinter::Envelope},
        {"EnvelopeManual", QPrinter::EnvelopeManual},
        {"Tractor", QPrinter::Tractor},
        {"SmallFormat", QPrinter::SmallFormat},
        {"LargeFormat", QPrinter::LargeFormat},
        {"LargeCapacity", QPrinter::LargeCapacity},
        {"Cassette", QPrinter::Cassette},
        {"FormSource", QPrinter::FormSource},
    };
    for (const auto& [trayName, tray] : trays)
        if (sameName(QLatin1String(trayName), name) &&
            printer.supportedPaperSources().contains(tray))
            return tray;
    return std::nullopt;
}

std::optional<int> copiesOf(const std::string& value) {
    int copies = 0;
    const char* end = value.data() + value.size();
    const auto [at, error] = std::from_chars(value.data(), end, copies);
    if (error != std::errc() || at != end || copies < 1 || copies > 999)
        return std::nullopt;
    return copies;
}

// Sets what Qt can set; true when the option was one of those and the printer has it.
bool applyOption(QPrinter& printer, const QPrinterInfo& info, const std::string& key,
                 const std::string& value) {
    if (key == "media" || key == "PageSize" || key == "PageRegion") {
        const std::optional<QPageSize> paper = paperNamed(info, value);
        if (paper) {
            printer.setPageSize(*paper);
            usePrintableAreaOrigin(printer);
        }
        return paper.has_value();
    }
    if (key == "InputSlot" || key == "media-source") {
        const std::optional<QPrinter::PaperSource> tray = trayNamed(printer, value);
        if (tray)
            printer.setPaperSource(*tray);
        return tray.has_value();
    }
    const std::optional<int> copies = copiesOf(value);
    if (copies)
        printer.setCopyCount(*copies);
    return copies.has_value();
}

void applyOptions(QPrinter& printer, const QPrinterInfo& info, const std::string& queue,
                  const JobOptions& options) {
    for (const auto& [key, value] : options) {
        const bool known = key == "media" || key == "PageSize" || key == "PageRegion" ||
                           key == "InputSlot" || key == "media-source" || key == "copies";
        if (!known)
            warn("printer '" + queue + "': on Windows only media, InputSlot and copies are set; '" +
                 key + "' is left out");
        else if (!applyOption(printer, info, key, value))
            warn("printer '" + queue + "' does not support '" + key + "=" + value + "'");
    }
}

} // namespace

int printOnQueue(const std::string& queue, const PrintToolOptions& options, const ToolData& tool,
                 const std::vector<CardPage>& pages) {
    const QString name = textFromUtf8(queue);
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    std::unique_ptr<QPrinter> printer = SystemPrinterSource().open(name);
    if (info.isNull() || !printer)
        return fail(EXIT_FAILED, "there is no printer '" + queue + "'");
    applyOptions(*printer, info, queue, options.jobOptions);
    const BatchOutcome outcome = printPagesOn(*printer, tool.state, pages);
    if (outcome.result != PrintResult::Printed)
        return fail(EXIT_FAILED, "printer '" + queue + "' did not take the job");
    std::cout << pagesText(pages) << " sent to printer '" << queue << "'\n";
    return EXIT_PRINTED;
}

} // namespace pelkorl
