// The core's headers come before any Qt header: Qt's keyword macro "slots" would rewrite
// the core's fields of that name.
#include "card/cardstate.h"
#include "render/cardrender.h"

#include "printing/cardpage.h"
#include "printing/cupsqueue.h"
#include "toolkit/qtcanvas.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

namespace pelkorl {

namespace {

// Device units from the paper's corner to the device's origin: the printable area's corner
// of a paged device that keeps margins, none on a full page or any other device.
QPoint deviceOrigin(const QPaintDevice* device) {
    if (const auto* printer = dynamic_cast<const QPrinter*>(device)) {
        if (printer->fullPage())
            return {};
        return printer->pageLayout().paintRectPixels(printer->resolution()).topLeft();
    }
    if (const auto* paged = dynamic_cast<const QPagedPaintDevice*>(device)) {
        const QPageLayout layout = paged->pageLayout();
        if (layout.mode() == QPageLayout::FullPageMode)
            return {};
        return layout.paintRectPixels(paged->logicalDpiX()).topLeft();
    }
    return {};
}

} // namespace

void drawCardPage(QPainter& painter, CardState& card) {
    const QPoint origin = deviceOrigin(painter.device());
    card.deviceOriginX = origin.x();
    card.deviceOriginY = origin.y();
    // The canvas restores the painter when it goes, so the next page starts clean.
    QtCanvas canvas(painter);
    drawCard(canvas, card);
}

PrintResult printCardDocument(QPrinter& printer,
                              const std::function<PrintResult(QPainter&)>& drawPages) {
    printer.setDocName(QString::fromLatin1(CARD_DOCUMENT_NAME));
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintResult::NoDeviceContext;
    PrintResult result = drawPages(painter);
    const bool ended = painter.end();
    const QPrinter::PrinterState after = printer.printerState();
    if (result == PrintResult::Printed &&
        (!ended || after == QPrinter::Error || after == QPrinter::Aborted))
        result = PrintResult::PageFailed;
    // Qt hands the document to the scheduler at the end and drops its answer; the answer is
    // still the last one on this thread.
    if (result == PrintResult::Printed && printer.outputFormat() == QPrinter::NativeFormat &&
        !lastJobRefusal().empty())
        result = PrintResult::Refused;
    return result;
}

void usePrintableAreaOrigin(QPrinter& printer) {
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
}

void setUpPdfOutput(QPrinter& printer, const QString& file, int resolution) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    if (resolution > 0)
        printer.setResolution(resolution);
    // A PDF page has no unprintable border: the card's margins count from the paper's
    // corner, not from Qt's default 10-point margins.
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

} // namespace pelkorl
