// The cards on a print queue: drawn by the page routine into a PDF of the queue's page size
// with its printable area's corner as the origin (as Qt's CUPS engine draws for the
// program), then handed to the scheduler with the job options, as lp does, so its answer
// can be told.
#include "cli/printtool.h"
#include "printing/batchprint.h"
#include "printing/cardpage.h"
#include "printing/cupsqueue.h"
#include "toolkit/qtstrings.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <iostream>

namespace pelkorl {

namespace {

// The paper the document was drawn for, as Qt's CUPS engine names it, unless asked otherwise.
JobOptions jobOptionsFor(const PrintToolOptions& options, const QPrinter& queuePrinter) {
    JobOptions jobOptions = options.jobOptions;
    const bool paperGiven = std::any_of(jobOptions.begin(), jobOptions.end(), [](const auto& o) {
        return o.first == "media" || o.first == "PageSize" || o.first == "PageRegion";
    });
    if (!paperGiven)
        jobOptions.insert(jobOptions.begin(),
                          {"media", queuePrinter.pageLayout().pageSize().key().toStdString()});
    return jobOptions;
}

} // namespace

int printOnQueue(const std::string& queue, const PrintToolOptions& options, const ToolData& tool,
                 const std::vector<int>& records) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(textFromUtf8(queue));
    if (info.isNull())
        return fail(EXIT_FAILED, "there is no printer '" + queue + "'");
    QPrinter queuePrinter(info, QPrinter::HighResolution);
    usePrintableAreaOrigin(queuePrinter);

    QTemporaryFile document(QDir::tempPath() + "/pelkorl-print-XXXXXX.pdf");
    if (!document.open())
        return fail(EXIT_FAILED, "no temporary file for the document");
    document.close();
    BatchOutcome outcome;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(document.fileName());
        pdf.setResolution(queuePrinter.resolution());
        pdf.setPageLayout(queuePrinter.pageLayout());
        outcome = printCardsOn(pdf, tool.state, records);
    }
    if (outcome.result != PrintResult::Printed)
        return fail(EXIT_FAILED, "the document for printer '" + queue + "' could not be made");

    for (const std::string& key : unknownOptionKeys(queue, options.jobOptions))
        std::cerr << "pelkorl-print: printer '" << queue << "' knows no option '" << key
                  << "': CUPS ignores it\n";
    const SubmittedJob job = submitFile(queue, QFile::encodeName(document.fileName()).toStdString(),
                                        CARD_DOCUMENT_NAME, jobOptionsFor(options, queuePrinter));
    if (job.id == 0)
        return fail(EXIT_FAILED, "printer '" + queue + "' refused the job: " + job.error);
    std::cout << outcome.pages << (outcome.pages == 1 ? " card" : " cards") << " sent to printer '"
              << queue << "' as job " << queue << "-" << job.id << "\n";
    if (queueState(queue) == QueueState::Stopped)
        std::cout << "The printer is stopped: the job waits until it is started.\n";
    return EXIT_PRINTED;
}

} // namespace pelkorl
