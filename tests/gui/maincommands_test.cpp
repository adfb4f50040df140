// The main dialog's buttons for every listed card, the preview and PDF files: where they
// stand, that their texts fit, and that each one runs its command on the dialog's list,
// selection, boxes and printer.
#include "card/cardbatch.h"
#include "card/formatting.h"
#include "card/publisherfilter.h"
#include "text/codepage.h"

#include "main/cardcommands.h"
#include "main/publisherlistbox.h"
#include "maindialogfixture.h"
#include "messageboxwatcher.h"
#include "pdfcheck.h"
#include "printing/fillform.h"
#include "standinform.h"
#include "toolkit/dialogbuilder.h"
#include "toolkit/messagebox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

const QDate SEPTEMBER_2026(2026, 9, 15);

} // namespace

class MainCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { messages.reset(); }

    void buttonsFitBesideTheOldControls();
    void printAllPrintsTheListAsTheFilterShowsIt();
    void previewShowsTheSelectedCardOrTheTotals();
    void exportButtonsWriteTheChosenFile();
    void fillFormWritesEveryListedCardWithProgress();

private:
    MessageBoxWatcher messages;
};

void MainCommandsTest::buttonsFitBesideTheOldControls() {
    DialogRun run;
    QVERIFY(sample::writeSampleCongregation(run.folder(), 2027));
    MainDialog& dialog = run.start(SEPTEMBER_2026);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const struct {
        int id;
        const char* text;
    } buttons[] = {{PRINT_ALL_BUTTON_ID, "Spausdinti &visus"},
                   {PREVIEW_BUTTON_ID, "&Peržiūra"},
                   {EXPORT_PDF_BUTTON_ID, "&Eksportuoti PDF..."},
                   {EXPORT_ALL_PDF_BUTTON_ID, "Eksportuoti visus P&DF..."},
                   {TOTALS_BUTTON_ID, "&Bendruomenės suvestinė"}};
    const DialogTemplate& t = dialogTemplate(MAIN_DIALOG_ID);
    const DialogBaseUnits base = dialog.controls().baseUnits();
    for (const auto& b : buttons) {
        QPushButton* button = dialog.button(b.id);
        QVERIFY2(button, qPrintable(QString::number(b.id)));
        QCOMPARE(button->text(), QString(b.text));
        QVERIFY(button->isVisible() && button->isEnabled());
        // The whole text shows at the dialog's font.
        QVERIFY2(button->sizeHint().width() <= button->width(),
                 qPrintable(QString("%1: %2 > %3")
                                .arg(b.text)
                                .arg(button->sizeHint().width())
                                .arg(button->width())));
        // Nothing else of the dialog lies under it.
        for (const ControlTemplate& c : t.controls) {
            if (c.id == b.id || c.id == NO_ID)
                continue;
            const QRect other = dialogUnitsToPixels(c.x, c.y, c.w, c.h, base);
            QVERIFY2(!button->geometry().intersects(other),
                     qPrintable(QString("%1 covers %2").arg(b.id).arg(c.id)));
        }
    }
    // The print button stays the default: Enter prints the selected card, not all of them.
    QVERIFY(dialog.button(ID_OK)->isDefault());
    QVERIFY(!dialog.button(PRINT_ALL_BUTTON_ID)->isDefault());
    dialog.closeMainDialog();
}

void MainCommandsTest::printAllPrintsTheListAsTheFilterShowsIt() {
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    DialogRun run;
    QVERIFY(sample::writeSampleCongregation(run.folder(), 2027));
    MainDialog& dialog = run.start(SEPTEMBER_2026);
    dialog.button(FILTER_BUTTON_ID)->click(); // regular pioneers
    const int pioneers = dialog.publisherList()->count();
    QVERIFY(pioneers > 0);
    const int selected = dialog.state().selectedRecord;
    const std::string name = dialog.state().displayName;
    dialog.monthBox(0)->click();
    dialog.button(PRINT_ALL_BUTTON_ID)->click();
    QCOMPARE(run.printers->opened, 1);
    const QString file = utf8((run.printers->folder / "card1.pdf").string());
    QCOMPARE(pdfPages(file), pioneers);
    // Each page is a pioneer's, in list order: the page's words are those of his own print.
    const auto lines = publisherLines(dialog.data().store, ListFilter::RegularPioneers, 7);
    for (int page = 1; page <= pioneers; ++page) {
        const CardState card = cardStateFor(dialog.state(), lines[std::size_t(page - 1)].record);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        setUpPdfOutput(printer, dir.filePath("one.pdf"), 0);
        CardState copy = card;
        QCOMPARE(printCardOn(printer, copy), PrintResult::Printed);
        const QStringList differences =
            wordDifferences(pdfWords(file, page), pdfWords(dir.filePath("one.pdf")));
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join("; ")));
    }
    // The dialog's selection and name are as they were; the focus is back on the list.
    QCOMPARE(dialog.state().selectedRecord, selected);
    QCOMPARE(dialog.state().displayName, name);
    QVERIFY(messages.boxes().empty());
    dialog.closeMainDialog();
}

void MainCommandsTest::previewShowsTheSelectedCardOrTheTotals() {
    DialogRun run;
    QVERIFY(sample::writeSampleCongregation(run.folder(), 2027));
    MainDialog& dialog = run.start(SEPTEMBER_2026);
    const int selected = dialog.state().selectedRecord;
    QList<int> pages;
    QList<TotalsRecord> shown;
    dialog.cardCommands().setPreviewRunner([&](QPrintPreviewDialog& preview) {
        auto* widget = preview.findChild<QPrintPreviewWidget*>();
        auto* choice = preview.findChild<QComboBox*>(PREVIEW_CHOICE_NAME);
        QVERIFY(widget && choice);
        // The card, the three totals records, all three.
        QCOMPARE(choice->count(), 5);
        for (int i = 0; i < choice->count(); ++i) {
            choice->setCurrentIndex(i);
            widget->updatePreview();
            pages << widget->pageCount();
            shown << dialog.state().totals;
        }
        choice->setCurrentIndex(3);
    });
    dialog.button(PREVIEW_BUTTON_ID)->click();
    QCOMPARE(pages, (QList<int>{1, 1, 1, 1, 3}));
    QCOMPARE(shown, (QList<TotalsRecord>{TotalsRecord::None, TotalsRecord::Publishers,
                                         TotalsRecord::AuxiliaryPioneers,
                                         TotalsRecord::RegularPioneers, TotalsRecord::Publishers}));
    // Looking prints nothing.
    QCOMPARE(run.printers->opened, 1); // the preview's printer, never started
    QVERIFY(fs::is_empty(run.printers->folder));
    // The record chosen last stays what the dialog shows, until a publisher is chosen.
    QCOMPARE(dialog.state().totals, TotalsRecord::RegularPioneers);
    QCOMPARE(dialog.state().selectedRecord, selected);
    // A click on the publisher still selected is enough.
    PublisherListBox* list = dialog.publisherList();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->currentItem()).center());
    QCOMPARE(dialog.state().totals, TotalsRecord::None);
    dialog.closeMainDialog();
}

void MainCommandsTest::exportButtonsWriteTheChosenFile() {
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    DialogRun run;
    QVERIFY(sample::writeSampleCongregation(run.folder(), 2027));
    MainDialog& dialog = run.start(SEPTEMBER_2026);
    QTemporaryDir out;
    QString chosen;
    dialog.cardCommands().setFileChooser(
        [&](QWidget*, const QString&, const QString&) { return chosen; });
    chosen = out.filePath("visi.pdf");
    dialog.button(EXPORT_ALL_PDF_BUTTON_ID)->click();
    QCOMPARE(pdfPages(chosen), dialog.publisherList()->count());

    chosen = out.filePath("vienas.pdf");
    dialog.button(EXPORT_PDF_BUTTON_ID)->click();
    QCOMPARE(pdfPages(chosen), 1);
    const QString first = utf8(cp1257ToUtf8(dialog.data().store.currentRecords[1].firstName()));
    QVERIFY(!pdfWords(chosen).isEmpty());
    bool named = false;
    for (const PdfWord& w : pdfWords(chosen))
        named = named || w.text == first;
    QVERIFY2(named, qPrintable(first));
    QCOMPARE(run.printers->opened, 0); // no printer is needed for a file

    // A link to the publisher file: refused, naming both, and the data stay as they were.
    const fs::path publishers = run.folder() / "tdat7.bin";
    const std::string kept = readBytes(publishers);
    chosen = out.filePath("tdat.pdf");
    fs::create_symlink(publishers, chosen.toStdString());
    messages.reset();
    messages.plan(MessageBoxWatcher::Press::Ok);
    dialog.button(EXPORT_PDF_BUTTON_ID)->click();
    QVERIFY(readBytes(publishers) == kept);
    QCOMPARE(messages.boxes().size(), std::size_t(1));
    QVERIFY(messages.boxes()[0].text.contains("tdat.pdf") &&
            messages.boxes()[0].text.contains("tdat7.bin"));
    dialog.closeMainDialog();
}

void MainCommandsTest::fillFormWritesEveryListedCardWithProgress() {
    if (formFontFile().empty())
        QSKIP("no Liberation Sans or DejaVu Sans");
    DialogRun run;
    QVERIFY(sample::writeSampleCongregation(run.folder(), 2027));
    const fs::path form = run.folder() / "S-21.pdf";
    QVERIFY(writeStandInForm(form));
    MainDialog& dialog = run.start(SEPTEMBER_2026);
    CardCommands& commands = dialog.cardCommands();
    QTemporaryDir out;
    int formsAsked = 0;
    commands.setFormChooser([&](QWidget*, const QString&, const QString&) {
        ++formsAsked;
        return QString::fromStdString(form.string());
    });
    commands.setFolderChooser([&](QWidget*, const QString&, const QString&) { return out.path(); });
    commands.setTargetChooser([](QWidget*, bool) { return 2; });
    // Stopped in the progress window after two forms: two files, nothing half written.
    int shown = 0;
    commands.setProgressStep([&](QProgressDialog& progress, int done) {
        shown = std::max(shown, progress.maximum());
        if (done == 2)
            progress.cancel();
    });
    dialog.button(FILL_FORM_BUTTON_ID)->click();
    const int listed = dialog.publisherList()->count();
    QCOMPARE(shown, listed);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 2);

    // Again, to the end: the form is remembered, the files already there are replaced once
    // the user agrees.
    commands.setProgressStep({});
    MessageBox::setNextAnswer(MessageBox::Answer::Ok);
    dialog.button(FILL_FORM_BUTTON_ID)->click();
    QCOMPARE(formsAsked, 1);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), listed);
    QVERIFY(dialog.settingsChanged());

    // The selected card over the form itself: refused, the form as it was.
    const std::string blank = readBytes(form);
    commands.setTargetChooser([](QWidget*, bool) { return 1; });
    commands.setFileChooser([&](QWidget*, const QString&, const QString&) {
        return QString::fromStdString(form.string());
    });
    MessageBox::setNextAnswer(MessageBox::Answer::Ok); // replace the file that is there
    messages.plan(MessageBoxWatcher::Press::Ok);
    dialog.button(FILL_FORM_BUTTON_ID)->click();
    QVERIFY(readBytes(form) == blank);
    QCOMPARE(messages.boxes().size(), std::size_t(1));
    dialog.closeMainDialog();
    std::ifstream settings(run.settingsFile);
    const std::string text((std::istreambuf_iterator<char>(settings)), {});
    QVERIFY2(text.find("S-21 Form=" + fs::absolute(form).string()) != std::string::npos,
             text.c_str());
}

QTEST_MAIN(MainCommandsTest)
#include "maincommands_test.moc"
