// The core's headers come before any Qt header: Qt's keyword macro "slots" would rewrite
// the core's fields of that name.
#include "card/cardbatch.h"
#include "card/cardstate.h"
#include "settings/atomicfile.h"

#include "printing/batchprint.h"

#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace pelkorl {

namespace {

// A name for the document beside `file`, in the same folder so the rename cannot cross file
// systems. The file is created empty and kept so that no one else takes the name. Its name
// holds the start of the file's, short enough for any file system.
QString siblingName(const QString& file) {
    const QFileInfo info(file);
    QTemporaryFile temporary(info.absolutePath() + "/." + info.completeBaseName().left(40) +
                             ".XXXXXX.pdf");
    temporary.setAutoRemove(false);
    if (!temporary.open())
        return {};
    return temporary.fileName();
}

} // namespace

BatchOutcome drawCards(QPainter& painter, QPagedPaintDevice& device, const CardState& state,
                       const std::vector<int>& records, const BatchProgress& progress) {
    return drawPages(painter, device, state, cardPages(records), progress);
}

BatchOutcome drawPages(QPainter& painter, QPagedPaintDevice& device, const CardState& state,
                       const std::vector<CardPage>& pages, const BatchProgress& progress) {
    BatchOutcome outcome;
    const int total = static_cast<int>(pages.size());
    if (total == 0)
        return outcome;
    outcome.result = PrintResult::Printed;
    for (int i = 0; i < total; ++i) {
        if (i > 0) {
            if (progress && !progress(i, total)) {
                outcome.cancelled = true;
                return outcome;
            }
            if (!device.newPage()) {
                outcome.result = PrintResult::PageFailed;
                return outcome;
            }
        }
        CardState card = pageStateFor(state, pages[static_cast<std::size_t>(i)]);
        drawCardPage(painter, card);
        ++outcome.pages;
    }
    if (progress)
        progress(total, total);
    return outcome;
}

BatchOutcome printCardsOn(QPrinter& printer, const CardState& state,
                          const std::vector<int>& records, const BatchProgress& progress) {
    return printPagesOn(printer, state, cardPages(records), progress);
}

BatchOutcome printPagesOn(QPrinter& printer, const CardState& state,
                          const std::vector<CardPage>& pages, const BatchProgress& progress) {
    BatchOutcome outcome;
    const int total = static_cast<int>(pages.size());
    if (total == 0)
        return outcome;
    // Asked before the document starts, so a stop at once leaves no document at all.
    if (progress && !progress(0, total)) {
        outcome.cancelled = true;
        return outcome;
    }
    const PrintResult result = printCardDocument(printer, [&](QPainter& painter) {
        outcome = drawPages(painter, printer, state, pages, progress);
        return outcome.result;
    });
    outcome.result = result;
    return outcome;
}

// Its last cross-reference offset counts every byte Qt meant to write before the table: the
// document is whole when that offset lands on the table and the end is there.
bool wholePdf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    constexpr std::streamoff TAIL = 64;
    if (!in.seekg(0, std::ios::end))
        return false;
    const std::streamoff size = in.tellg();
    if (size <= 0)
        return false;
    std::string tail(static_cast<std::size_t>(std::min(size, TAIL)), '\0');
    in.seekg(size - static_cast<std::streamoff>(tail.size()));
    if (!in.read(tail.data(), static_cast<std::streamsize>(tail.size())))
        return false;
    const std::size_t mark = tail.rfind("startxref");
    const std::size_t end = tail.rfind("%%EOF");
    if (mark == std::string::npos || end == std::string::npos || end < mark)
        return false;
    const std::size_t digits = tail.find_first_not_of(" \r\n", mark + 9);
    long long offset = -1;
    if (digits < end)
        std::from_chars(tail.data() + digits, tail.data() + end, offset);
    std::string table(4, '\0');
    return offset >= 0 && offset < size && in.seekg(offset) && in.read(table.data(), 4) &&
           table == "xref";
}

BatchOutcome renderCardsToPdf(const QString& file, const CardState& state,
                              const std::vector<int>& records, int resolution,
                              const BatchProgress& progress) {
    return renderPagesToPdf(file, state, cardPages(records), resolution, progress);
}

BatchOutcome renderPagesToPdf(const QString& file, const CardState& state,
                              const std::vector<CardPage>& pages, int resolution,
                              const BatchProgress& progress) {
    BatchOutcome outcome;
    if (file.isEmpty()) {
        outcome.result = PrintResult::NoDeviceContext;
        return outcome;
    }
    if (pages.empty())
        return outcome;
    // Beside the file a link names, so that the rename stays on one file system.
    const QString partial = siblingName(
        QFileInfo(replacementTarget(QFileInfo(file).filesystemAbsoluteFilePath())).filePath());
    if (partial.isEmpty()) {
        outcome.result = PrintResult::NoDeviceContext;
        outcome.writeFailed = true;
        outcome.writeError = writeObstacle(QFileInfo(file).filesystemAbsoluteFilePath());
        return outcome;
    }
    {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdfOutput(printer, partial, resolution);
        outcome = printPagesOn(printer, state, pages, progress);
    }
    std::error_code error;
    const std::filesystem::path partialPath = QFileInfo(partial).filesystemAbsoluteFilePath();
    if (outcome.result == PrintResult::Printed && !outcome.cancelled && !wholePdf(partialPath))
        outcome.result = PrintResult::PageFailed;
    if (outcome.result != PrintResult::Printed || outcome.cancelled) {
        // Asked while the cut document still takes its room: a full disk shows.
        if (!outcome.cancelled)
            outcome.writeError = writeObstacle(partialPath);
        std::filesystem::remove(partialPath, error);
        outcome.writeFailed = !outcome.cancelled;
        return outcome;
    }
    // The temporary file is private to its owner; the document gets the permissions of the
    // file it replaces, or those of a new file.
    using std::filesystem::perms;
    const WriteResult written = commitReplacement(
        partialPath, QFileInfo(file).filesystemAbsoluteFilePath(),
        perms::owner_read | perms::owner_write | perms::group_read | perms::others_read,
        &outcome.writeError);
    if (written != WriteResult::Written) {
        outcome.result = PrintResult::PageFailed;
        outcome.writeFailed = true;
    }
    return outcome;
}

} // namespace pelkorl
