// The print command end to end: a sample card through QPrinter into a PDF, read back with
// pdftotext; the application's printer; "No Printer", "no hdc" and the empty selection.
//
// The core's headers come before Qt's: Qt's keyword macro "slots" would rewrite the
// core's fields of that name.
#include "card/cardstate.h"
#include "card/figures.h"
#include "card/formatting.h"
#include "records/publisherdata.h"
#include "sampledata.h"
#include "testfiles.h"

#include "messageboxwatcher.h"
#include "pdfcheck.h"
#include "printing/cupsqueue.h"
#include "printing/printjob.h"
#include "silentscheduler.h"
#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/messagebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cups/cups.h>

using namespace pelkorl;
using pelkorl::test::pdfInfo;
using pelkorl::test::PdfWord;
using pelkorl::test::pdfWords;

namespace {

constexpr int SEP = 8;

// System printers stood in for by PDF files named after them, in one folder.
class FilePrinters : public PrinterSource {
public:
    explicit FilePrinters(QString folder) : folder_(std::move(folder)) {}

    QString defaultPrinterName() const override {
        ++lookups;
        return defaultName;
    }
    std::unique_ptr<QPrinter> open(const QString& name) const override {
        ++opened;
        if (name == "fallback")
            return std::make_unique<QPrinter>(); // what Qt gives without a printer
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(fileOf(name));
        printer->setResolution(300);
        return printer;
    }
    QString nameOf(const QPrinter& printer) const override {
        const QFileInfo file(printer.outputFileName());
        return file.absolutePath() == QFileInfo(folder_).absoluteFilePath() ? file.baseName()
                                                                            : QString();
    }
    QString fileOf(const QString& name) const { return folder_ + "/" + name + ".pdf"; }
    // The printers that received a document since the last call, files removed.
    QStringList takeOutputs() const {
        QStringList names;
        QDir dir(folder_);
        for (const QString& file : dir.entryList({"*.pdf"}, QDir::Files, QDir::Name)) {
            names << QFileInfo(file).baseName();
            dir.remove(file);
        }
        return names;
    }

    QString defaultName;
    mutable int lookups = 0;
    mutable int opened = 0;

private:
    QString folder_;
};

} // namespace

class PrintJobTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cardLandsWhereTheLayoutPutsIt_data();
    void cardLandsWhereTheLayoutPutsIt();
    void pdfRenderingIsTheSamePage();
    void emptySelectionDoesNothingAtAll_data();
    void emptySelectionDoesNothingAtAll();
    void noPrinterIsShownOnceAndPrintsNothing_data();
    void noPrinterIsShownOnceAndPrintsNothing();
    void withoutASystemPrinterTheDefaultIsNoPrinter();
    void schedulerIsGivenUpOnAtItsLimit_data();
    void schedulerIsGivenUpOnAtItsLimit();
    void printerThatCannotStartShowsNoHdc();
    void twoPrintsAreTwoDocumentsNamedCardHeader();
    void aFileThatExistsIsReplacedOnlyAfterAsking_data();
    void aFileThatExistsIsReplacedOnlyAfterAsking();
    void theDefaultIsTakenAnewAtEveryCommand();
    void pickedPrinterKeepsItsSettings();
    void pickedDefaultGivesWayToANewDefault();
    void aConfirmedSetupCountsFromThePrintableArea();

private:
    test::MessageBoxWatcher messages;
    void selectFirstPublisher();
    std::unique_ptr<test::TempFolder> dataFolder;
    std::unique_ptr<QTemporaryDir> out;
    PublisherData data;
    CardState state;
};

void PrintJobTest::init() {
    messages.reset();
    dataFolder = std::make_unique<test::TempFolder>();
    out = std::make_unique<QTemporaryDir>();
    QVERIFY(out->isValid());
    QVERIFY(sample::writeSampleCongregation(dataFolder->path(), 2027));
    data = PublisherData{};
    QVERIFY(allocateRecordStore(data.store, [](const std::string&) {}));
    DataLocation location;
    location.currentFolder = dataFolder->path();
    location.removableFolder = dataFolder->path() / "removable";
    data.currentFolder = dataFolder->path();
    StartState aborted = StartState::Running;
    loadPublisherData(data, location, aborted, [](const std::string&) { return true; });
    QCOMPARE(aborted, StartState::Running);
    QVERIFY(data.store.currentCount > 2);

    state = CardState{};
    state.data = &data;
    state.lastMonth = 7; // started in September: every row has its report
    state.currentYear = 2027;
    setLayoutDefaults(state.layout, 0);
    state.columnSet = columnSetOf(0);
    state.marginTop = "0.00";
    state.marginLeft = "0.20";
    state.monthChecked.fill(true);
    state.totalChecked = true;
    selectFirstPublisher();
}

void PrintJobTest::cleanup() {
    out.reset();
    dataFolder.reset();
    freeRecordStore(data.store);
}

void PrintJobTest::selectFirstPublisher() {
    state.selectedRecord = 1;
    state.displayName = formatName(data.store, 1, false);
    state.mobileText = data.store.currentRecords[1].mobilePhone();
}

void PrintJobTest::cardLandsWhereTheLayoutPutsIt_data() {
    QTest::addColumn<int>("resolution");
    QTest::addColumn<bool>("defaultMargins");
    QTest::newRow("300 dpi, the printer's margins") << 300 << true;
    QTest::newRow("300 dpi, no margins") << 300 << false;
    QTest::newRow("600 dpi") << 600 << true;
}

void PrintJobTest::cardLandsWhereTheLayoutPutsIt() {
    QFETCH(int, resolution);
    QFETCH(bool, defaultMargins);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed: the PDF cannot be read back");
    const QString file = out->filePath("card.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(resolution);
    if (!defaultMargins)
        QVERIFY(printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    // Device (0, 0) is the corner of the printable area.
    const QPoint offset = printer.pageLayout().paintRectPixels(resolution).topLeft() -
                          printer.pageLayout().fullRectPixels(resolution).topLeft();
    QCOMPARE(printCardOn(printer, state), PrintResult::Printed);

    const auto points = [resolution](double units) {
        return units * 72.0 / resolution;
    };
    const auto near = [](double found, double expected) {
        return std::abs(found - expected) <= 0.5;
    };
    const auto device = [resolution](double inches) {
        return static_cast<int>(std::lround(inches * resolution));
    };
    const QList<PdfWord> words = pdfWords(file);
    QVERIFY(!words.isEmpty());

    // The name starts at (0.60 + 0.20, 0.22) inches.
    const QString first = QString::fromStdString(data.store.currentRecords[1].firstName());
    const PdfWord& name = words.first();
    QCOMPARE(name.text, first);
    QVERIFY2(near(name.xMin, points(device(0.80) + offset.x())),
             qPrintable(QString::number(name.xMin)));
    QVERIFY2(near(name.yMin, points(device(0.22) + offset.y())),
             qPrintable(QString::number(name.yMin)));

    // September's hours end at 2.30 + 0.20 inches on the table's top, 1.32 inches.
    const CellText hours = cellText(state, 1, SEP, KIND_HOURS);
    QVERIFY(hours.drawn);
    bool found = false;
    for (const PdfWord& w : words) {
        if (w.text == QString::fromStdString(hours.text) &&
            near(w.xMax, points(device(2.50) + offset.x())) &&
            near(w.yMin, points(device(1.32) + offset.y())))
            found = true;
    }
    QVERIFY2(found,
             qPrintable("no " + QString::fromStdString(hours.text) + " at September's hours"));

    // The hours total on the total row, 1.32 + 1.99 / 12 * 12 inches down.
    const int rowHeight = device(1.99) / 12;
    const std::string total = columnTotal(state, 1, KIND_HOURS, 12);
    found = false;
    for (const PdfWord& w : words) {
        if (w.text == QString::fromStdString(total) &&
            near(w.xMax, points(device(2.50) + offset.x())) &&
            near(w.yMin, points(device(1.32) + 12 * rowHeight + offset.y())))
            found = true;
    }
    QVERIFY2(found, qPrintable("no total " + QString::fromStdString(total)));
}

void PrintJobTest::pdfRenderingIsTheSamePage() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed: the PDF cannot be read back");
    const QString rendered = out->filePath("rendered.pdf");
    QCOMPARE(renderCardToPdf(rendered, state, 300), PrintResult::Printed);
    const QString printed = out->filePath("printed.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    printer.setResolution(300);
    // The file's origin is the paper's corner, as on a printer without an unprintable border.
    QVERIFY(printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    QCOMPARE(printCardOn(printer, state), PrintResult::Printed);

    const QList<PdfWord> a = pdfWords(rendered);
    const QList<PdfWord> b = pdfWords(printed);
    QVERIFY(a.size() > 20);
    // The name at (0.60 + 0.20, 0.22) inches from the corner: 57.6 and 15.84 points.
    QVERIFY2(std::abs(a.first().xMin - 57.6) <= 0.5, qPrintable(QString::number(a.first().xMin)));
    QVERIFY2(std::abs(a.first().yMin - 15.84) <= 0.5, qPrintable(QString::number(a.first().yMin)));
    QCOMPARE(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        QCOMPARE(a[i].text, b[i].text);
        QCOMPARE(a[i].xMin, b[i].xMin);
        QCOMPARE(a[i].yMin, b[i].yMin);
    }
    QCOMPARE(pdfInfo(rendered).value("Title"), QString("Card Header"));
    QCOMPARE(pdfInfo(rendered).value("Pages"), QString("1"));
    QCOMPARE(renderCardToPdf(QString(), state, 300), PrintResult::NoDeviceContext);
    QVERIFY(messages.boxes().empty());
}

void PrintJobTest::emptySelectionDoesNothingAtAll_data() {
    QTest::addColumn<int>("record");
    QTest::addColumn<bool>("blankNames");
    QTest::newRow("no line selected") << -1 << false;
    QTest::newRow("the header record") << 0 << false;
    QTest::newRow("beyond the publishers") << 400 << false;
    QTest::newRow("both names blank") << 1 << true;
}

void PrintJobTest::emptySelectionDoesNothingAtAll() {
    QFETCH(int, record);
    QFETCH(bool, blankNames);
    if (blankNames) {
        PublisherRecord& r = data.store.currentRecords[1];
        std::fill(r.bytes.begin() + 2, r.bytes.begin() + 22, ' ');
        std::fill(r.bytes.begin() + 23, r.bytes.begin() + 43, ' ');
    }
    state.selectedRecord = record;
    auto printers = std::make_shared<FilePrinters>(out->path());
    printers->defaultName = "Kanceliarija";
    ApplicationPrinter printer(printers);
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::NothingSelected);
    QVERIFY(messages.boxes().empty());
    QCOMPARE(printers->lookups, 0);
    QCOMPARE(printers->opened, 0);
    QVERIFY(printers->takeOutputs().isEmpty());
}

void PrintJobTest::noPrinterIsShownOnceAndPrintsNothing_data() {
    QTest::addColumn<QString>("defaultName");
    QTest::newRow("no default printer") << QString();
    QTest::newRow("a default that cannot be opened, only a PDF without a file") << "fallback";
}

void PrintJobTest::noPrinterIsShownOnceAndPrintsNothing() {
    QFETCH(QString, defaultName);
    auto printers = std::make_shared<FilePrinters>(out->path());
    printers->defaultName = defaultName;
    ApplicationPrinter printer(printers);
    messages.plan(test::MessageBoxWatcher::Press::Ok);
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::NoPrinter);
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    const test::MessageBoxWatcher::Box& box = messages.boxes().front();
    QCOMPARE(box.text, QString("No Printer"));
    QCOMPARE(box.caption, QString("Pelkorl"));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QVERIFY(printers->takeOutputs().isEmpty());
    QVERIFY(QDir(out->path()).entryList(QDir::Files).isEmpty());
}

void PrintJobTest::withoutASystemPrinterTheDefaultIsNoPrinter() {
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this system has a default printer");
    ApplicationPrinter printer;
    // Without a scheduler at all the message says so instead.
    const bool reached = schedulerError() == SchedulerError::None;
    if (reached)
        QVERIFY(printer.printerForCommand() == nullptr);
    messages.plan(test::MessageBoxWatcher::Press::Ok);
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::NoPrinter);
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    QCOMPARE(messages.boxes().front().text,
             reached ? QString("No Printer")
                     : QString::fromStdString(loadText(PRINT_SYSTEM_UNREACHABLE)));
}

// Every request to the scheduler ends at its limit when the scheduler takes the connection
// and never answers, and at once when there is none; neither is a missing queue or a job.
void PrintJobTest::schedulerIsGivenUpOnAtItsLimit_data() {
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("call");
    for (const bool silent : {true, false})
        for (const char* call : {"probe", "queue", "default", "paper", "options", "job", "gui"})
            // The print command asks with the program's own 10 s: only the quick case.
            if (!silent || std::strcmp(call, "gui") != 0)
                QTest::newRow(qPrintable(QString(silent ? "silent " : "none ") + call))
                    << silent << QString(call);
}

void PrintJobTest::schedulerIsGivenUpOnAtItsLimit() {
    QFETCH(bool, silent);
    QFETCH(QString, call);
    test::SilentScheduler scheduler(std::chrono::seconds(20));
    QVERIFY(scheduler.ok());
    const QByteArray before = qgetenv("CUPS_SERVER");
    const std::string server = scheduler.socketPath() + (silent ? "" : ".none");
    qputenv("CUPS_SERVER", QByteArray::fromStdString(server));
    cupsSetServer(nullptr); // read CUPS_SERVER anew
    const SchedulerLimits limits{0.3, 0.3};
    const auto stateError = [](QueueState state) {
        return state == QueueState::NoAnswer      ? SchedulerError::NoAnswer
               : state == QueueState::Unreachable ? SchedulerError::Unreachable
                                                  : SchedulerError::None;
    };
    SchedulerError got = SchedulerError::None;
    if (call == "probe") {
        got = schedulerError(limits);
    } else if (call == "queue") {
        got = stateError(queueState("Q", limits));
    } else if (call == "default") {
        const DefaultQueue found = defaultQueue(limits);
        QVERIFY(found.name.empty());
        got = found.error;
    } else if (call == "paper") {
        const QueuePaper paper = queuePaper("Q", {{"media", "Letter"}}, limits);
        QVERIFY(!paper.found);
        got = paper.scheduler;
    } else if (call == "options") {
        got = checkJobOptions("Q", {{"media", "Letter"}}, limits).scheduler;
    } else if (call == "job") {
        const QString file = out->filePath("job.pdf");
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        const SubmittedJob job = submitFile("Q", file.toStdString(), "Card Header", {}, limits);
        QCOMPARE(job.id, 0);
        got = job.scheduler;
    } else {
        ApplicationPrinter printer;
        messages.plan(test::MessageBoxWatcher::Press::Ok);
        QCOMPARE(printCard(nullptr, state, printer), PrintResult::NoPrinter);
        QCOMPARE(messages.boxes().size(), std::size_t{1});
        QCOMPARE(messages.boxes().front().text,
                 QString::fromStdString(loadText(PRINT_SYSTEM_UNREACHABLE)));
        got = SchedulerError::Unreachable;
    }
    if (before.isNull())
        qunsetenv("CUPS_SERVER");
    else
        qputenv("CUPS_SERVER", before);
    cupsSetServer(nullptr);
    QCOMPARE(got, silent ? SchedulerError::NoAnswer : SchedulerError::Unreachable);
    QCOMPARE(scheduler.connections() > 0, silent);
}

void PrintJobTest::printerThatCannotStartShowsNoHdc() {
    auto unreachable = std::make_unique<QPrinter>(QPrinter::HighResolution);
    unreachable->setOutputFormat(QPrinter::PdfFormat);
    unreachable->setOutputFileName(out->filePath("missing/folder/card.pdf"));
    ApplicationPrinter printer(std::make_shared<FilePrinters>(out->path()));
    printer.setPickedPrinter(std::move(unreachable));
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    messages.plan(test::MessageBoxWatcher::Press::Ok);
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::NoDeviceContext);
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    QCOMPARE(messages.boxes().front().text, QString("no hdc"));
    QCOMPARE(messages.boxes().front().caption, QString("Pelkorl"));
    QCOMPARE(messages.boxes().front().icon, QMessageBox::Warning);
}

void PrintJobTest::twoPrintsAreTwoDocumentsNamedCardHeader() {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
        QSKIP("pdfinfo (poppler-utils) is not installed");
    const QString file = out->filePath("picked.pdf");
    auto picked = std::make_unique<QPrinter>(QPrinter::HighResolution);
    picked->setOutputFormat(QPrinter::PdfFormat);
    picked->setOutputFileName(file);
    picked->setResolution(300);
    ApplicationPrinter printer(std::make_shared<FilePrinters>(out->path()));
    printer.setPickedPrinter(std::move(picked));
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(printCard(nullptr, state, printer), PrintResult::Printed);
        const auto info = pdfInfo(file);
        QCOMPARE(info.value("Title"), QString("Card Header"));
        QCOMPARE(info.value("Pages"), QString("1"));
        QVERIFY(QFile::remove(file));
    }
    QVERIFY(messages.boxes().empty());
    // The selection is the caller's and stays.
    QCOMPARE(state.selectedRecord, 1);
}

void PrintJobTest::aFileThatExistsIsReplacedOnlyAfterAsking_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("kept") << false;
    QTest::newRow("replaced") << true;
}

void PrintJobTest::aFileThatExistsIsReplacedOnlyAfterAsking() {
    QFETCH(bool, replace);
    const QString file = out->filePath("picked.pdf");
    auto picked = std::make_unique<QPrinter>(QPrinter::HighResolution);
    picked->setOutputFormat(QPrinter::PdfFormat);
    picked->setOutputFileName(file);
    ApplicationPrinter printer(std::make_shared<FilePrinters>(out->path()));
    printer.setPickedPrinter(std::move(picked));
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::Printed);
    QVERIFY(messages.boxes().empty()); // a new file needs no question
    QFile first(file);
    QVERIFY(first.open(QIODevice::ReadOnly));
    const QByteArray before = first.readAll();
    first.close();

    messages.plan(replace ? test::MessageBoxWatcher::Press::Ok
                          : test::MessageBoxWatcher::Press::Cancel);
    QCOMPARE(printCard(nullptr, state, printer),
             replace ? PrintResult::Printed : PrintResult::Cancelled);
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    QCOMPARE(messages.boxes().front().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(messages.boxes().front().text.contains(QDir::toNativeSeparators(file)));
    QVERIFY(first.open(QIODevice::ReadOnly));
    const QByteArray after = first.readAll();
    if (replace)
        QVERIFY(after.startsWith("%PDF"));
    else
        QCOMPARE(after, before);
}

void PrintJobTest::theDefaultIsTakenAnewAtEveryCommand() {
    auto printers = std::make_shared<FilePrinters>(out->path());
    ApplicationPrinter printer(printers);
    printers->defaultName = "Kanceliarija";
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::Printed);
    QCOMPARE(printers->takeOutputs(), QStringList{"Kanceliarija"});
    printers->defaultName = "Salė";
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::Printed);
    QCOMPARE(printers->takeOutputs(), QStringList{"Salė"});
    printers->defaultName.clear();
    messages.plan(test::MessageBoxWatcher::Press::Ok);
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::NoPrinter);
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    QVERIFY(printers->takeOutputs().isEmpty());
}

void PrintJobTest::pickedPrinterKeepsItsSettings() {
    auto printers = std::make_shared<FilePrinters>(out->path());
    printers->defaultName = "Kanceliarija";
    ApplicationPrinter printer(printers);
    std::unique_ptr<QPrinter> picked = printers->open("Biuras");
    picked->setResolution(150);
    picked->setPageSize(QPageSize(QPageSize::A5));
    picked->setPageOrientation(QPageLayout::Landscape);
    picked->setFullPage(true);
    printer.setPickedPrinter(std::move(picked));

    for (int i = 0; i < 2; ++i) {
        QPrinter* used = printer.printerForCommand();
        QVERIFY(used);
        QCOMPARE(used->resolution(), 150);
        QCOMPARE(used->pageLayout().pageSize().id(), QPageSize::A5);
        QCOMPARE(used->pageLayout().orientation(), QPageLayout::Landscape);
        QVERIFY(used->fullPage());
        QCOMPARE(used->outputFileName(), printers->fileOf("Biuras"));
    }
    // Not the default when picked: a change of the default does not touch it.
    printers->defaultName = "Salė";
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::Printed);
    QCOMPARE(printers->takeOutputs(), QStringList{"Biuras"});
    printer.clearPickedPrinter();
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::Printed);
    QCOMPARE(printers->takeOutputs(), QStringList{"Salė"});
}

void PrintJobTest::pickedDefaultGivesWayToANewDefault() {
    auto printers = std::make_shared<FilePrinters>(out->path());
    printers->defaultName = "Kanceliarija";
    ApplicationPrinter printer(printers);
    std::unique_ptr<QPrinter> picked = printers->open("Kanceliarija");
    picked->setResolution(150);
    printer.setPickedPrinter(std::move(picked));
    QCOMPARE(printer.printerForCommand()->resolution(), 150);
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::Printed);
    QCOMPARE(printers->takeOutputs(), QStringList{"Kanceliarija"});

    printers->defaultName = "Salė";
    QCOMPARE(printCard(nullptr, state, printer), PrintResult::Printed);
    QCOMPARE(printers->takeOutputs(), QStringList{"Salė"});
    QVERIFY(!printer.hasPickedPrinter());
    // The old default coming back does not bring the picked settings back.
    printers->defaultName = "Kanceliarija";
    QCOMPARE(printer.printerForCommand()->resolution(), 300);
}

void PrintJobTest::aConfirmedSetupCountsFromThePrintableArea() {
    // As Qt's dialog leaves a printer switched from a wide-margin one: the new printer's
    // minimum margins for the page, the old printer's wider margins still set.
    auto configured = std::make_unique<QPrinter>(QPrinter::HighResolution);
    setUpPdfOutput(*configured, out->filePath("Biuras.pdf"), 300);
    const QPageLayout switched(QPageSize(QSizeF(4, 6), QPageSize::Inch), QPageLayout::Portrait,
                               QMarginsF(18, 36, 18, 36), QPageLayout::Point,
                               QMarginsF(11, 12, 13, 14));
    QVERIFY(configured->setPageLayout(switched));
    ApplicationPrinter printer(std::make_shared<FilePrinters>(out->path()));
    printer.takeSetup(std::move(configured));
    QPrinter* used = printer.printerForCommand();
    QVERIFY(used);
    QCOMPARE(used->pageLayout().margins(QPageLayout::Point), QMarginsF(11, 12, 13, 14));
    QCOMPARE(used->pageLayout().pageSize().size(QPageSize::Inch), QSizeF(4, 6));
}

QTEST_MAIN(PrintJobTest)
#include "printjob_test.moc"
