// Every listed card in one document: one page per publisher, each page word for word where the
// single print puts it; a stop in the middle; the preview's page against the PDF page; the
// commands of the main dialog with their questions, progress and failures.
//
// The core's headers come before Qt's: Qt's keyword macro "slots" would rewrite the core's
// fields of that name.
#include "card/cardbatch.h"
#include "card/cardstate.h"
#include "card/formatting.h"
#include "card/publisherfilter.h"
#include "recordingcanvas.h"
#include "records/publisherdata.h"
#include "render/headerpreview.h"
#include "sampledata.h"
#include "testfiles.h"
#include "text/codepage.h"

#include "main/cardcommands.h"
#include "messageboxwatcher.h"
#include "pdfcheck.h"
#include "printing/batchprint.h"
#include "printing/printjob.h"
#include "toolkit/messagebox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

constexpr int DPI = 300;

// Every printer is a PDF file of its name in one folder, at 300 units per inch.
class PdfPrinters : public PrinterSource {
public:
    explicit PdfPrinters(QString folder) : folder_(std::move(folder)) {}
    QString defaultPrinterName() const override {
        ++lookups;
        return defaultName;
    }
    std::unique_ptr<QPrinter> open(const QString& name) const override {
        // Like a system printer, its page margins are its minimum ones: none for a PDF.
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        setUpPdfOutput(*printer, fileOf(name), DPI);
        return printer;
    }
    QString fileOf(const QString& name) const { return folder_ + "/" + name + ".pdf"; }

    QString defaultName = "Kanceliarija";
    mutable int lookups = 0;

private:
    QString folder_;
};

QByteArray bytesOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Dark pixels of a grey image.
QVector<bool> inkOf(const QImage& image) {
    QVector<bool> ink(image.width() * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            ink[y * image.width() + x] = line[x] < 128;
    }
    return ink;
}

// The share of a's ink that lies within `reach` pixels of b's ink.
double inkCovered(const QImage& a, const QImage& b, int reach) {
    const QVector<bool> inkA = inkOf(a);
    const QVector<bool> inkB = inkOf(b);
    const int w = a.width(), h = a.height();
    int total = 0, covered = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!inkA[y * w + x])
                continue;
            ++total;
            bool near = false;
            for (int dy = -reach; dy <= reach && !near; ++dy)
                for (int dx = -reach; dx <= reach && !near; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    near = xx >= 0 && yy >= 0 && xx < w && yy < h && inkB[yy * w + xx];
                }
            covered += near ? 1 : 0;
        }
    }
    return total == 0 ? 0.0 : double(covered) / total;
}

} // namespace

class BatchPrintTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void onePagePerListedPublisherWhereTheSinglePrintPutsIt_data();
    void onePagePerListedPublisherWhereTheSinglePrintPutsIt();
    void thePrinterGetsTheSameDocument();
    void noRecordsNoDocument();
    void stoppedMidBatch_data();
    void stoppedMidBatch();
    void aFileThatCannotBeWrittenIsReported();
    void thePreviewShowsThePageOfTheNextPrint();
    void previewNeedsACardAndAPrinter();
    void printAllShowsProgressOnlyForMoreThanAFewCards();
    void printAllStopsAtTheCancelButton();
    void printAllWithoutPrinterOrCards();
    void printAllAsksBeforeAPrinterReplacesItsFile();
    void exportReplacesAFileOnlyAfterAsking_data();
    void exportReplacesAFileOnlyAfterAsking();
    void exportWritesOnlyPdfFiles();
    void exportOffersANameAndHonoursAChoiceOfNone();
    void exportStoppedLeavesNoFile();

private:
    MessageBoxWatcher messages;
    // The state of publisher `record` as the dialog holds it once the header pane painted.
    CardState selected(int record) const;
    std::vector<int> listed(ListFilter filter) const {
        return batchRecords(data.store, filter, state.lastMonth, state.lastNameFirst);
    }
    std::unique_ptr<CardCommands> commands(std::vector<int> records);

    std::unique_ptr<TempFolder> dataFolder;
    std::unique_ptr<QTemporaryDir> out;
    std::shared_ptr<PdfPrinters> printers;
    std::unique_ptr<ApplicationPrinter> printer;
    PublisherData data;
    CardState state;
};

void BatchPrintTest::init() {
    messages.reset();
    dataFolder = std::make_unique<TempFolder>();
    out = std::make_unique<QTemporaryDir>();
    QVERIFY(out->isValid());
    QVERIFY(sample::writeSampleCongregation(dataFolder->path(), 2027));
    data = PublisherData{};
    QVERIFY(allocateRecordStore(data.store, [](const std::string&) {}));
    DataLocation location;
    location.currentFolder = dataFolder->path();
    location.removableFolder = dataFolder->path() / "removable";
    StartState aborted = StartState::Running;
    loadPublisherData(data, location, aborted, [](const std::string&) { return true; });
    QCOMPARE(aborted, StartState::Running);
    QVERIFY(data.store.currentCount > 20);

    state = CardState{};
    state.data = &data;
    state.lastMonth = 7; // started in September: every row has its report
    state.currentYear = 2027;
    setLayoutDefaults(state.layout, 0);
    state.columnSet = columnSetOf(0);
    state.monthChecked.fill(true);
    state.totalChecked = true;
    state.markSex = true;
    state = selected(1);
    printers = std::make_shared<PdfPrinters>(out->path());
    printer = std::make_unique<ApplicationPrinter>(printers);
}

void BatchPrintTest::cleanup() {
    MessageBox::setNextAnswers({});
    printer.reset();
    out.reset();
    dataFolder.reset();
    freeRecordStore(data.store);
}

CardState BatchPrintTest::selected(int record) const {
    CardState card = state;
    card.selectedRecord = record;
    RecordingCanvas canvas;
    HeaderPaneEffects effects;
    paintHeaderPreview(canvas, Rect{0, 0, 550, 78}, card, effects);
    return card;
}

std::unique_ptr<CardCommands> BatchPrintTest::commands(std::vector<int> records) {
    auto c = std::make_unique<CardCommands>(
        nullptr, state, [this]() -> ApplicationPrinter& { return *printer; },
        [records] { return records; });
    c->setFileChooser([](QWidget*, const QString&, const QString&) { return QString(); });
    c->setPreviewRunner([](QPrintPreviewDialog&) {});
    return c;
}

void BatchPrintTest::onePagePerListedPublisherWhereTheSinglePrintPutsIt_data() {
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("lastNameFirst");
    QTest::addColumn<int>("useLongName");
    QTest::newRow("every publisher") << int(ListFilter::All) << 0 << 1;
    QTest::newRow("regular pioneers, surname first") << int(ListFilter::RegularPioneers) << 1 << 1;
    QTest::newRow("baptized, short names") << int(ListFilter::Baptized) << 0 << 0;
    QTest::newRow("unbaptized") << int(ListFilter::Unbaptized) << 1 << 0;
}

void BatchPrintTest::onePagePerListedPublisherWhereTheSinglePrintPutsIt() {
    QFETCH(int, filter);
    QFETCH(int, lastNameFirst);
    QFETCH(int, useLongName);
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed: the PDF cannot be read back");
    const CardState dialogs = state;
    state.lastNameFirst = lastNameFirst;
    state.useLongName = useLongName;
    const std::vector<int> records = listed(ListFilter(filter));
    QVERIFY(!records.empty());
    QCOMPARE(records.size(),
             publisherLines(data.store, ListFilter(filter), state.lastMonth).size());

    const QString all = out->filePath("all.pdf");
    const BatchOutcome outcome = renderCardsToPdf(all, state, records, DPI);
    QCOMPARE(outcome.result, PrintResult::Printed);
    QCOMPARE(outcome.pages, static_cast<int>(records.size()));
    QVERIFY(!outcome.cancelled);
    QCOMPARE(pdfPages(all), static_cast<int>(records.size()));
    QCOMPARE(pdfInfo(all).value("Title"), QString("Card Header"));

    for (std::size_t i = 0; i < records.size(); ++i) {
        const QString single = out->filePath(QString("single%1.pdf").arg(i));
        CardState card = selected(records[i]);
        QCOMPARE(renderCardToPdf(single, card, DPI), PrintResult::Printed);
        const QList<PdfWord> expected = pdfWords(single);
        QVERIFY(expected.size() > 5);
        const QStringList differences = wordDifferences(pdfWords(all, int(i) + 1), expected);
        QVERIFY2(differences.isEmpty(),
                 qPrintable(QString("page %1: ").arg(i + 1) + differences.join("; ")));
    }
    // The dialog's own state is not touched by the batch.
    QCOMPARE(state.selectedRecord, dialogs.selectedRecord);
    QCOMPARE(state.displayName, dialogs.displayName);
    QCOMPARE(state.mobileText, dialogs.mobileText);
}

void BatchPrintTest::thePrinterGetsTheSameDocument() {
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    const std::vector<int> records = listed(ListFilter::RegularPioneers);
    const QString rendered = out->filePath("rendered.pdf");
    QCOMPARE(renderCardsToPdf(rendered, state, records, DPI).result, PrintResult::Printed);
    QPrinter device(QPrinter::HighResolution);
    setUpPdfOutput(device, out->filePath("printed.pdf"), DPI);
    const BatchOutcome outcome = printCardsOn(device, state, records);
    QCOMPARE(outcome.result, PrintResult::Printed);
    QCOMPARE(outcome.pages, static_cast<int>(records.size()));
    QCOMPARE(device.docName(), QString("Card Header"));
    const QStringList differences =
        wordDifferences(pdfWords(out->filePath("printed.pdf")), pdfWords(rendered));
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join("; ")));
}

void BatchPrintTest::noRecordsNoDocument() {
    const QString file = out->filePath("none.pdf");
    QCOMPARE(renderCardsToPdf(file, state, {}, DPI).result, PrintResult::NothingSelected);
    QVERIFY(!QFile::exists(file));
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(file);
    QCOMPARE(printCardsOn(device, state, {}).pages, 0);
    QVERIFY(!QFile::exists(file));
    QCOMPARE(renderCardsToPdf(QString(), state, {1}, DPI).result, PrintResult::NoDeviceContext);
    QVERIFY(QDir(out->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void BatchPrintTest::stoppedMidBatch_data() {
    QTest::addColumn<int>("stopAt");
    QTest::newRow("before the first card") << 0;
    QTest::newRow("after the first card") << 1;
    QTest::newRow("after three cards") << 3;
}

void BatchPrintTest::stoppedMidBatch() {
    QFETCH(int, stopAt);
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    const std::vector<int> records = listed(ListFilter::All);
    QVERIFY(records.size() > 5);
    QList<int> asked;
    const BatchProgress stop = [&](int done, int total) {
        asked << done;
        return total == static_cast<int>(records.size()) && done != stopAt;
    };

    // On a printer the document ends after the cards done: a valid document of those pages.
    const QString printed = out->filePath("printed.pdf");
    QPrinter device(QPrinter::HighResolution);
    setUpPdfOutput(device, printed, DPI);
    const BatchOutcome onPrinter = printCardsOn(device, state, records, stop);
    QVERIFY(onPrinter.cancelled);
    QCOMPARE(onPrinter.pages, stopAt);
    QCOMPARE(asked.last(), stopAt);
    if (stopAt == 0) {
        QVERIFY(!QFile::exists(printed));
    } else {
        QCOMPARE(pdfPages(printed), stopAt);
        const QString single = out->filePath("single.pdf");
        CardState last = selected(records[static_cast<std::size_t>(stopAt - 1)]);
        QCOMPARE(renderCardToPdf(single, last, DPI), PrintResult::Printed);
        const QStringList differences =
            wordDifferences(pdfWords(printed, stopAt), pdfWords(single));
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join("; ")));
        QVERIFY(QFile::remove(single));
    }

    // A file is written whole or not at all; a file of that name stays as it was.
    const QString file = out->filePath("export.pdf");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older document");
    old.close();
    asked.clear();
    const BatchOutcome toFile = renderCardsToPdf(file, state, records, DPI, stop);
    QVERIFY(toFile.cancelled);
    QVERIFY(!toFile.writeFailed);
    QCOMPARE(bytesOf(file), QByteArray("an older document"));
    QStringList left = QDir(out->path()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll("printed.pdf");
    QCOMPARE(left, QStringList{"export.pdf"});
    QVERIFY(QFile::remove(file));
    QCOMPARE(renderCardsToPdf(file, state, records, DPI, stop).cancelled, true);
    QVERIFY(!QFile::exists(file));
}

void BatchPrintTest::aFileThatCannotBeWrittenIsReported() {
    const std::vector<int> records = listed(ListFilter::RegularPioneers);
    const QString missing = out->filePath("no/such/folder/cards.pdf");
    BatchOutcome outcome = renderCardsToPdf(missing, state, records, DPI);
    QVERIFY(outcome.result != PrintResult::Printed);
    QVERIFY(outcome.writeFailed);
    QVERIFY(!QFile::exists(missing));

    // A folder of that name is not replaced.
    QVERIFY(QDir(out->path()).mkdir("taken.pdf"));
    outcome = renderCardsToPdf(out->filePath("taken.pdf"), state, records, DPI);
    QVERIFY(outcome.writeFailed);
    QVERIFY(QFileInfo(out->filePath("taken.pdf")).isDir());
    QCOMPARE(QDir(out->path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
#ifndef _WIN32
    // A disk that fills up late in the document, as a file size limit makes it: Qt's writer
    // says nothing of it.
    const QString kept = out->filePath("kept.pdf");
    QCOMPARE(renderCardsToPdf(kept, state, listed(ListFilter::All), DPI).result,
             PrintResult::Printed);
    const auto whole = static_cast<rlim_t>(QFileInfo(kept).size());
    writeBytes(kept.toStdString(), "before");
    rlimit unlimited{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    rlimit small = unlimited;
    small.rlim_cur = whole - 1024;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    outcome = renderCardsToPdf(kept, state, listed(ListFilter::All), DPI);
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, handler);
    QVERIFY(outcome.writeFailed);
    QCOMPARE(bytesOf(kept), QByteArray("before"));
    QCOMPARE(QDir(out->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.pdf"});
#endif
}

void BatchPrintTest::thePreviewShowsThePageOfTheNextPrint() {
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    constexpr int IMAGE_DPI = 150;
    state = selected(3);
    auto c = commands({});
    QImage shown;
    int previewPages = 0;
    c->setPreviewRunner([&](QPrintPreviewDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QString("Peržiūra"));
        QCOMPARE(dialog.printer()->docName(), QString("Card Header"));
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        QVERIFY(preview);
        preview->updatePreview();
        previewPages = preview->pageCount();
        auto* view = preview->findChild<QGraphicsView*>();
        QVERIFY(view && view->scene());
        // The first page's paper, at the printer's resolution, drawn as the preview draws it.
        const QSizeF paper =
            dialog.printer()->pageLayout().fullRectPixels(dialog.printer()->resolution()).size();
        QGraphicsItem* page = nullptr;
        for (QGraphicsItem* item : view->scene()->items())
            if (!page || item->pos().y() < page->pos().y())
                page = item;
        QVERIFY(page);
        const double scale = double(IMAGE_DPI) / dialog.printer()->resolution();
        shown = QImage(qRound(paper.width() * scale), qRound(paper.height() * scale),
                       QImage::Format_Grayscale8);
        shown.fill(Qt::white);
        QPainter painter(&shown);
        view->scene()->render(&painter, QRectF(shown.rect()), QRectF(page->pos(), paper));
    });
    QCOMPARE(c->preview(), PrintResult::Printed);
    QCOMPARE(previewPages, 1);
    QVERIFY(!shown.isNull());

    const QString single = out->filePath("single.pdf");
    QCOMPARE(renderCardToPdf(single, state, DPI), PrintResult::Printed);
    // The page sizes may differ by a pixel of rounding.
    const QImage page = pdfPageImage(single, 1, IMAGE_DPI);
    QVERIFY(std::abs(page.width() - shown.width()) <= 1);
    QVERIFY(std::abs(page.height() - shown.height()) <= 1);
    const QSize both = page.size().boundedTo(shown.size());
    const QImage printed = page.copy(QRect(QPoint(), both));
    shown = shown.copy(QRect(QPoint(), both));
    // Two rasterisers draw the same glyphs a little differently; the ink must lie in the
    // same places to a third of a millimetre.
    QVERIFY2(inkCovered(shown, printed, 2) > 0.97,
             qPrintable(QString::number(inkCovered(shown, printed, 2))));
    QVERIFY(inkCovered(printed, shown, 2) > 0.97);

    // Another publisher's page does not pass for this one.
    const QString other = out->filePath("other.pdf");
    CardState otherCard = selected(4);
    QCOMPARE(renderCardToPdf(other, otherCard, DPI), PrintResult::Printed);
    const QImage otherPage = pdfPageImage(other, 1, IMAGE_DPI).copy(QRect(QPoint(), both));
    QVERIFY(inkCovered(shown, otherPage, 2) < 0.9);
    // Nothing was printed by looking.
    QVERIFY(!QFile::exists(printers->fileOf("Kanceliarija")));
    // Its print button prints that page on the same printer, with no second dialog.
    c->setPreviewRunner([](QPrintPreviewDialog& dialog) {
        for (QAction* action : dialog.findChildren<QAction*>())
            if (action->text() == "Print")
                action->trigger();
    });
    QCOMPARE(c->preview(), PrintResult::Printed);
    const QImage viaPreview = pdfPageImage(printers->fileOf("Kanceliarija"), 1, IMAGE_DPI);
    QVERIFY(inkCovered(viaPreview.copy(QRect(QPoint(), both)), printed, 2) > 0.97);
}

void BatchPrintTest::previewNeedsACardAndAPrinter() {
    auto c = commands({});
    int runs = 0;
    c->setPreviewRunner([&](QPrintPreviewDialog&) { ++runs; });
    state.selectedRecord = -1;
    QCOMPARE(c->preview(), PrintResult::NothingSelected);
    QCOMPARE(printers->lookups, 0);
    state = selected(2);
    printers->defaultName.clear();
    messages.plan(MessageBoxWatcher::Press::Ok);
    QCOMPARE(c->preview(), PrintResult::NoPrinter);
    QCOMPARE(runs, 0);
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    QCOMPARE(messages.boxes().front().text, QString("No Printer"));
}

void BatchPrintTest::printAllShowsProgressOnlyForMoreThanAFewCards() {
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    const std::vector<int> all = listed(ListFilter::All);
    for (int count : {CardCommands::FEW_CARDS, CardCommands::FEW_CARDS + 2}) {
        const std::vector<int> records(all.begin(), all.begin() + count);
        auto c = commands(records);
        QList<int> steps;
        QString label, cancel;
        c->setProgressStep([&](QProgressDialog& dialog, int done) {
            steps << done;
            label = dialog.labelText();
            if (auto* button = dialog.findChild<QPushButton*>())
                cancel = button->text();
            QVERIFY(dialog.isVisible());
        });
        const BatchOutcome outcome = c->printAll();
        QCOMPARE(outcome.result, PrintResult::Printed);
        QCOMPARE(outcome.pages, count);
        const QString file = printers->fileOf("Kanceliarija");
        QCOMPARE(pdfPages(file), count);
        QVERIFY(QFile::remove(file));
        if (count <= CardCommands::FEW_CARDS) {
            QVERIFY(steps.isEmpty());
        } else {
            QCOMPARE(steps.first(), 0);
            QCOMPARE(steps.last(), count);
            QCOMPARE(label, QString("Spausdinamos kortelės..."));
            QCOMPARE(cancel, QString("Atšaukti"));
        }
    }
    QVERIFY(messages.boxes().empty());
}

void BatchPrintTest::printAllStopsAtTheCancelButton() {
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    auto c = commands(listed(ListFilter::All));
    c->setProgressStep([](QProgressDialog& dialog, int done) {
        if (done == 2) {
            auto* button = dialog.findChild<QPushButton*>();
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
        }
    });
    const BatchOutcome outcome = c->printAll();
    QVERIFY(outcome.cancelled);
    QCOMPARE(outcome.pages, 2);
    QCOMPARE(pdfPages(printers->fileOf("Kanceliarija")), 2);
}

void BatchPrintTest::printAllWithoutPrinterOrCards() {
    auto none = commands({});
    QCOMPARE(none->printAll().result, PrintResult::NothingSelected);
    QCOMPARE(printers->lookups, 0);
    auto c = commands(listed(ListFilter::All));
    printers->defaultName.clear();
    messages.plan(MessageBoxWatcher::Press::Ok);
    QCOMPARE(c->printAll().result, PrintResult::NoPrinter);
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    QCOMPARE(messages.boxes().front().text, QString("No Printer"));
    QVERIFY(QDir(out->path()).entryList(QDir::Files).isEmpty());
}

void BatchPrintTest::printAllAsksBeforeAPrinterReplacesItsFile() {
    const QString file = out->filePath("spausdintuvas.pdf");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("ankstesnis");
    old.close();
    auto picked = std::make_unique<QPrinter>(QPrinter::HighResolution);
    picked->setOutputFormat(QPrinter::PdfFormat);
    picked->setOutputFileName(file);
    printer->setPickedPrinter(std::move(picked));
    auto c = commands(listed(ListFilter::RegularPioneers));
    messages.plan(MessageBoxWatcher::Press::Cancel);
    const BatchOutcome kept = c->printAll();
    QCOMPARE(kept.result, PrintResult::Cancelled);
    QCOMPARE(bytesOf(file), QByteArray("ankstesnis"));
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    QCOMPARE(messages.boxes().front().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    MessageBox::setNextAnswer(MessageBox::Answer::Ok);
    QCOMPARE(c->printAll().result, PrintResult::Printed);
    QVERIFY(bytesOf(file).startsWith("%PDF"));
}

void BatchPrintTest::exportReplacesAFileOnlyAfterAsking_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("kept") << false;
    QTest::newRow("replaced") << true;
}

void BatchPrintTest::exportReplacesAFileOnlyAfterAsking() {
    QFETCH(bool, replace);
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    const std::vector<int> records = listed(ListFilter::RegularPioneers);
    auto c = commands(records);
    const QString file = out->filePath("kortelės.pdf");
    QCOMPARE(c->exportTo(file, records).result, PrintResult::Printed);
    QVERIFY(messages.boxes().empty()); // a new file needs no question
    QCOMPARE(pdfPages(file), static_cast<int>(records.size()));
    const QByteArray before = bytesOf(file);

    messages.plan(replace ? MessageBoxWatcher::Press::Ok : MessageBoxWatcher::Press::Cancel);
    const BatchOutcome again = c->exportTo(file, {records.front()});
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    const MessageBoxWatcher::Box& box = messages.boxes().front();
    QCOMPARE(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.text,
             QString("Failas %1 jau yra.\nAr jį pakeisti?").arg(QDir::toNativeSeparators(file)));
    QCOMPARE(again.cancelled, !replace);
    if (replace)
        QCOMPARE(pdfPages(file), 1);
    else
        QCOMPARE(bytesOf(file), before);
}

void BatchPrintTest::exportWritesOnlyPdfFiles() {
    const std::vector<int> records = listed(ListFilter::RegularPioneers);
    auto c = commands(records);
    const QString data = QString::fromStdString((dataFolder->path() / "tdat7.bin").string());
    const QByteArray before = bytesOf(data);
    QCOMPARE(c->exportTo(data, records).result, PrintResult::Printed);
    QCOMPARE(bytesOf(data), before);
    QVERIFY(bytesOf(data + ".pdf").startsWith("%PDF"));
    QVERIFY(messages.boxes().empty());

    // A folder cannot be chosen as the file.
    QVERIFY(QDir(out->path()).mkdir("aplankas.pdf"));
    messages.plan(MessageBoxWatcher::Press::Ok);
    const BatchOutcome folder = c->exportTo(out->filePath("aplankas.pdf"), records);
    QVERIFY(folder.writeFailed);
    QCOMPARE(messages.boxes().size(), std::size_t{1});
    QVERIFY(messages.boxes().front().text.startsWith("Nepavyko įrašyti failo "));
}

void BatchPrintTest::exportOffersANameAndHonoursAChoiceOfNone() {
    const std::vector<int> records = listed(ListFilter::Baptized);
    state = selected(records.front());
    auto c = commands(records);
    QStringList offered;
    QStringList titles;
    QString answer;
    c->setFileChooser([&](QWidget*, const QString& title, const QString& name) {
        titles << title;
        offered << name;
        return answer;
    });
    QVERIFY(c->exportAll().cancelled);
    QVERIFY(c->exportCurrent().cancelled);
    const QString name = QString::fromStdString(cp1257ToUtf8(state.displayName)).trimmed();
    QCOMPARE(offered.size(), 2);
    QCOMPARE(QFileInfo(offered[0]).fileName(), QString("Kortelės.pdf"));
    QCOMPARE(QFileInfo(offered[1]).fileName(), name + ".pdf");
    QCOMPARE(titles, (QStringList{"Įrašyti PDF failą", "Įrašyti PDF failą"}));
    QVERIFY(QDir(out->path()).entryList(QDir::Files).isEmpty());

    answer = out->filePath("visos");
    const BatchOutcome all = c->exportAll();
    QCOMPARE(all.pages, static_cast<int>(records.size()));
    QVERIFY(QFile::exists(answer + ".pdf"));
    answer = out->filePath("viena.pdf");
    QCOMPARE(c->exportCurrent().pages, 1);
    QVERIFY(QFile::exists(answer));
    // The next file is offered in the folder chosen last.
    answer.clear();
    c->exportAll();
    QCOMPARE(QFileInfo(offered.last()).absolutePath(), QFileInfo(out->path()).absoluteFilePath());

    state.selectedRecord = -1;
    QCOMPARE(c->exportCurrent().pages, 0);
}

void BatchPrintTest::exportStoppedLeavesNoFile() {
    auto c = commands(listed(ListFilter::All));
    const QString file = out->filePath("visos.pdf");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("ankstesnis");
    old.close();
    c->setProgressStep([](QProgressDialog& dialog, int done) {
        QCOMPARE(dialog.labelText(), QString("Įrašomos kortelės į PDF failą..."));
        if (done == 3)
            dialog.cancel();
    });
    MessageBox::setNextAnswer(MessageBox::Answer::Ok);
    const BatchOutcome outcome = c->exportTo(file, listed(ListFilter::All));
    QVERIFY(outcome.cancelled);
    QCOMPARE(bytesOf(file), QByteArray("ankstesnis"));
    QCOMPARE(QDir(out->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"visos.pdf"});
}

QTEST_MAIN(BatchPrintTest)
#include "batchprint_test.moc"
