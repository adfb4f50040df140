// The cards on a print queue: drawn by the page routine into a PDF of the queue's page size
// (its default one, or the one the job options ask for) with its printable area's corner as
// the origin, as Qt's CUPS engine draws for the program, then handed to the scheduler with
// the job options, as lp does, so its answer can be told. Only our own bounded requests ask
// the scheduler anything.
#include "cli/printtool.h"
#include "printing/batchprint.h"
#include "printing/cupsqueue.h"

#include <QDir>
#include <QFile>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryFile>

#include <algorithm>
#include <iostream>

namespace pelkorl {

namespace {

bool isPaperKey(const std::string& key) {
    return key == "media" || key == "PageSize" || key == "PageRegion";
}

// The paper the document is drawn for, named in the job unless the options name one.
JobOptions jobOptionsFor(const PrintToolOptions& options, const QueuePaper& paper) {
    JobOptions jobOptions = options.jobOptions;
    const bool paperGiven = std::any_of(jobOptions.begin(), jobOptions.end(),
                                        [](const auto& o) { return isPaperKey(o.first); });
    if (!paperGiven && !paper.media.empty())
        jobOptions.insert(jobOptions.begin(), {"media", paper.media});
    return jobOptions;
}

// A standard size by its standard name and measures; any other as it is.
QPageLayout pageLayoutOf(const QueuePaper& paper) {
    const QSizeF size(paper.width, paper.height);
    const QPageSize::PageSizeId id = QPageSize::id(size, QPageSize::Point, QPageSize::FuzzyMatch);
    const QPageSize pageSize =
        id != QPageSize::Custom ? QPageSize(id) : QPageSize(size, QPageSize::Point);
    return QPageLayout(pageSize, QPageLayout::Portrait,
                       QMarginsF(paper.left, paper.top, paper.right, paper.bottom),
                       QPageLayout::Point);
}

// The queue's paper; a paper asked for that it does not have gives its default one, and one
// that names no paper at all gets A4 without margins.
Stop findPaper(const std::string& queue, const PrintToolOptions& options, QueuePaper& paper) {
    paper = queuePaper(queue, options.jobOptions);
    if (paper.scheduler == SchedulerError::None && !paper.found)
        paper = queuePaper(queue, {});
    if (paper.scheduler != SchedulerError::None)
        return fail(EXIT_FAILED, schedulerProblem(paper.scheduler));
    if (!paper.found) {
        warn("printer '" + queue + "' names no paper: the cards are drawn on A4");
        paper.width = 595.28;
        paper.height = 841.89;
        paper.media = "iso_a4_210x297mm";
    }
    return {};
}

Stop checkOptions(const std::string& queue, const PrintToolOptions& options) {
    const OptionCheck check = checkJobOptions(queue, options.jobOptions);
    if (check.scheduler != SchedulerError::None)
        return fail(EXIT_FAILED, schedulerProblem(check.scheduler));
    for (const std::string& key : check.unknownKeys)
        std::cerr << "pelkorl-print: printer '" << queue << "' knows no option '" << key
                  << "': CUPS ignores it\n";
    for (const std::string& option : check.unsupported)
        std::cerr << "pelkorl-print: printer '" << queue << "' does not support '" << option
                  << "'\n";
    return {};
}

} // namespace

int printOnQueue(const std::string& queue, const PrintToolOptions& options, const ToolData& tool,
                 const std::vector<int>& records) {
    QueuePaper paper;
    if (const Stop stop = findPaper(queue, options, paper))
        return *stop;
    if (const Stop stop = checkOptions(queue, options))
        return *stop;

    QTemporaryFile document(QDir::tempPath() + "/pelkorl-print-XXXXXX.pdf");
    if (!document.open())
        return fail(EXIT_FAILED, "no temporary file for the document");
    document.close();
    BatchOutcome outcome;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(document.fileName());
        pdf.setResolution(paper.resolution > 0 ? paper.resolution : 300);
        pdf.setPageLayout(pageLayoutOf(paper));
        outcome = printCardsOn(pdf, tool.state, records);
    }
    if (outcome.result != PrintResult::Printed)
        return fail(EXIT_FAILED, "the document for printer '" + queue + "' could not be made");

    const SubmittedJob job = submitFile(queue, QFile::encodeName(document.fileName()).toStdString(),
                                        CARD_DOCUMENT_NAME, jobOptionsFor(options, paper));
    if (job.scheduler != SchedulerError::None)
        return fail(EXIT_FAILED, schedulerProblem(job.scheduler));
    if (job.id == 0)
        return fail(EXIT_FAILED, "printer '" + queue + "' refused the job: " + job.error);
    std::cout << outcome.pages << (outcome.pages == 1 ? " card" : " cards") << " sent to printer '"
              << queue << "' as job " << queue << "-" << job.id << "\n";
    if (queueState(queue) == QueueState::Stopped)
        std::cout << "The printer is stopped: the job waits until it is started.\n";
    return EXIT_PRINTED;
}

} // namespace pelkorl
