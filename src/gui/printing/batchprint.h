#pragma once
// Many cards in one document: one page per publisher or totals record, each drawn by the
// page routine (printing/cardpage.h) as the print command draws the selected one.
#include "printing/printjob.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <system_error>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace pelkorl {

struct CardPage;
struct CardState;

// Called before each page with the cards done so far and the number of cards, and once with
// done == total at the end; false stops the document before the next page.
using BatchProgress = std::function<bool(int done, int total)>;

struct BatchOutcome {
    PrintResult result = PrintResult::NothingSelected;
    int pages = 0;              // pages drawn
    bool cancelled = false;     // the progress asked to stop
    bool writeFailed = false;   // the PDF file could not be put in place
    std::error_code writeError; // why, when the system said
};

// The cards of `records` on `painter`, already begun on `device`: the first card on the
// current page, each further one on a new page. Each card is `state` with that publisher
// selected and his name and mobile number chosen as the header pane would. No records:
// NothingSelected and nothing drawn.
BatchOutcome drawCards(QPainter& painter, QPagedPaintDevice& device, const CardState& state,
                       const std::vector<int>& records, const BatchProgress& progress = {});
// The same for pages that may be totals records (pageStateFor).
BatchOutcome drawPages(QPainter& painter, QPagedPaintDevice& device, const CardState& state,
                       const std::vector<CardPage>& pages, const BatchProgress& progress = {});

// One document named "Card Header" on `printer`. Stopped by the progress, the document is
// ended after the pages drawn so far (a valid document with those pages); stopped before
// its first page, no document is started.
BatchOutcome printCardsOn(QPrinter& printer, const CardState& state,
                          const std::vector<int>& records, const BatchProgress& progress = {});
BatchOutcome printPagesOn(QPrinter& printer, const CardState& state,
                          const std::vector<CardPage>& pages, const BatchProgress& progress = {});

// Whether the PDF file QPrinter wrote is whole: Qt's PDF writer drops the errors of its
// writes (a full disk among them) and ends as if all was written.
bool wholePdf(const std::filesystem::path& file);

// The cards as a PDF file at `resolution` units per inch (QPrinter's PDF page, as
// renderCardToPdf). The document is written beside `file` and renamed over it only when
// complete: stopped by the progress or failed, no file is written and a file of that name
// is left as it was.
BatchOutcome renderCardsToPdf(const QString& file, const CardState& state,
                              const std::vector<int>& records, int resolution,
                              const BatchProgress& progress = {});
BatchOutcome renderPagesToPdf(const QString& file, const CardState& state,
                              const std::vector<CardPage>& pages, int resolution,
                              const BatchProgress& progress = {});

} // namespace pelkorl
