#pragma once
// The one page routine. Every command that puts a card on paper or into a file (print,
// print all, the preview and its own print, PDF export, pelkorl-print) draws each card with
// drawCardPage inside a document begun by printCardDocument, so the preview shows what the
// printer gets and a PDF holds what the printer would print.
//
// Where a page starts is the device's: a system printer's page margins are its minimum
// ones, so (0, 0) is the corner of its printable area; a PDF page has no margins, so (0, 0)
// is the paper's corner. The card's own margins from the settings count from there; the
// 11/23 card counts from the paper's corner on both, the page routine telling it where
// that corner lies.
#include <QString>

#include <functional>

class QPainter;
class QPrinter;

namespace pelkorl {

struct CardState;

enum class PrintResult {
    NothingSelected, // no publisher, or one without a name: nothing shown, nothing printed
    NoPrinter,       // "No Printer", or that the picked printer is gone, shown
    NoDeviceContext, // the printer could not be opened ("no hdc" shown by printCard)
    PageFailed,      // the page was drawn but the printer reported a failure at its end
    Refused,         // the system's scheduler did not take the job
    Cancelled,       // the printer writes to a file that exists and the user kept it
    Printed,
};

// Document name of every printed card.
inline constexpr const char* CARD_DOCUMENT_NAME = "Card Header";

// The card of `card` (its publisher, name, mobile number and boxes) on the page `painter`
// draws on now, through a QtCanvas: header, then service table, at the layout's positions
// from the settings' margins at the device's resolution.
void drawCardPage(QPainter& painter, CardState& card);

// A document named "Card Header" on `printer`: begins it, lets `drawPages` draw on it, ends
// it. NoDeviceContext, with nothing drawn, when it cannot begin; otherwise what `drawPages`
// returned, or PageFailed when that was Printed but the printer failed at the end, or
// Refused when the scheduler did not take the job (Qt's CUPS engine does not say so).
PrintResult printCardDocument(QPrinter& printer,
                              const std::function<PrintResult(QPainter&)>& drawPages);

// A system printer's page starts at the corner of its printable area: Qt's own 10-point
// margins give way to the minimum margins the printer reports.
void usePrintableAreaOrigin(QPrinter& printer);

// Makes `printer` write a PDF file at `resolution` units per inch (its default when 0),
// with the paper's corner as the origin.
void setUpPdfOutput(QPrinter& printer, const QString& file, int resolution);

} // namespace pelkorl
