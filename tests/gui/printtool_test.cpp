// pelkorl-print run as a user runs it: its card of a publisher against the main dialog's print
// of the same publisher, word for word; its exit codes and messages for wrong command lines,
// missing folders and protected data; and a data folder it leaves as it found it.
#include "card/cardlayout.h"
#include "card/figures.h"
#include "card/formatting.h"
#include "card/publisherfilter.h"
#include "text/codepage.h"

#include "maindialogfixture.h"

#include "main/publisherlistbox.h"
#include "messageboxwatcher.h"
#include "pdfcheck.h"
#include "standinform.h"
#include "toolkit/messagebox.h"

#include <QCheckBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace pelkorl;
using namespace pelkorl::test;
namespace sid = pelkorl::sample::sampleid;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

QString tool() {
    return qEnvironmentVariable("PELKORL_TEST_BINARY_DIR") + "/pelkorl-print";
}

// `environment` replaces the test's own when given. Argument `badName` becomes the file
// out\xFE.pdf in folder `badFolder`, a name that is no UTF-8 (QProcess passes only UTF-8, so
// such a run goes through the shell).
Run runTool(const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
            qsizetype badName = -1, const QString& badFolder = {}) {
    QProcess process;
    QProcessEnvironment withFolder = environment;
    if (badName >= 0) {
        QStringList quoted;
        for (qsizetype i = 0; i < arguments.size(); ++i)
            quoted << (i == badName
                           ? QStringLiteral("\"$(printf '%s/out\\376.pdf' \"$BAD_FOLDER\")\"")
                           : "'" + arguments[i] + "'");
        withFolder.insert("BAD_FOLDER", badFolder);
        process.setProcessEnvironment(withFolder);
        process.start("/bin/sh", {"-c", "exec '" + tool() + "' " + quoted.join(' ')});
    } else {
        process.setProcessEnvironment(environment);
        process.start(tool(), arguments);
    }
    process.closeWriteChannel(); // nothing is ever read from the terminal
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.err = "did not finish";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString path(const fs::path& p) {
    return QString::fromStdString(p.string());
}

int indexOf(const RecordStore& store, std::uint16_t id) {
    for (int j = 1; j < store.currentCount; ++j)
        if (store.currentRecords[static_cast<std::size_t>(j)].publisherId() == id)
            return j;
    return 0;
}

} // namespace

class PrintToolTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { messages.reset(); }

    void theCardIsTheProgramsPrint_data();
    void theCardIsTheProgramsPrint();
    void everyListedCardInOneFile();
    void theTotalsAreTheProgramsPrint();
    void helpExplainsTheOptions();
    void wrongCommandLinesAndMissingFolders_data();
    void wrongCommandLinesAndMissingFolders();
    void protectedDataNeedTheirPassword();
    void theDataFolderIsLeftAsItWas();
    void theFormFollowsAMovedColumn();

private:
    MessageBoxWatcher messages;
    QTemporaryDir out;
};

void PrintToolTest::initTestCase() {
    QVERIFY2(QFileInfo(tool()).isExecutable(), qPrintable(tool() + " is not built"));
    QVERIFY(out.isValid());
}

void PrintToolTest::theCardIsTheProgramsPrint_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("publisher");
    QTest::addColumn<bool>("byName");
    QTest::addColumn<bool>("header");
    QTest::addColumn<bool>("previousYear");
    QTest::addColumn<QDate>("today");
    QTest::newRow("long name, every month, total, V/M")
        << "" << int(sid::ANOINTED_ELDER) << false << true << false << QDate(2026, 9, 15);
    QTest::newRow("other settings, by name")
        << "[Format]\nLast Name First=1\nAlt Date Format=2\nCard Version=1\n"
           "[Margins]\nTop=0.10\nLeft=0.35\n"
        << int(sid::PIONEER_ALL_YEAR) << true << true << false << QDate(2027, 4, 3);
    QTest::newRow("table only, previous year")
        << "" << int(sid::AUXILIARY_REMARKS) << false << false << true << QDate(2027, 2, 15);
}

void PrintToolTest::theCardIsTheProgramsPrint() {
    QFETCH(QString, settings);
    QFETCH(int, publisher);
    QFETCH(bool, byName);
    QFETCH(bool, header);
    QFETCH(bool, previousYear);
    QFETCH(QDate, today);
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed: the PDF cannot be read back");

    // The program: the publisher selected in the list, the boxes ticked with the mouse.
    DialogRun run;
    QVERIFY(sample::writeSampleCongregation(run.folder(), 2027));
    run.settings(settings.toStdString()); // an empty settings file gives the defaults
    MainDialog& dialog = run.start(today);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const int record = indexOf(dialog.data().store, static_cast<std::uint16_t>(publisher));
    QVERIFY(record > 0);
    PublisherListBox* list = dialog.publisherList();
    const auto lines =
        publisherLines(dialog.data().store, ListFilter::All, dialog.state().lastMonth);
    int row = -1;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].record == record)
            row = static_cast<int>(i);
    QVERIFY(row >= 0);
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
    QCOMPARE(dialog.state().selectedRecord, record);
    if (previousYear)
        dialog.checkBox(PREVIOUS_YEAR_BOX_ID)->click();
    for (int r = 0; r < MONTH_ROWS; ++r)
        dialog.monthBox(r)->click();
    if (dialog.checkBox(TOTAL_BOX_ID)->isEnabled())
        dialog.checkBox(TOTAL_BOX_ID)->click();
    // Ticking a month box unticks the header; tick it again when the card wants one.
    QCOMPARE(dialog.checkBox(PRINT_HEADER_BOX_ID)->isChecked(), false);
    if (header) {
        dialog.checkBox(PRINT_HEADER_BOX_ID)->click();
        dialog.checkBox(SEX_MARK_BOX_ID)->click();
    }
    dialog.button(ID_OK)->click();
    QCOMPARE(run.printers->opened, 1);
    const QString printed = path(run.printers->folder / "card1.pdf");
    QCOMPARE(pdfPages(printed), 1);

    // The tool, on the same folder, settings and day.
    QStringList args{path(run.folder()),
                     "--settings",
                     path(run.settingsFile),
                     "--date",
                     today.toString(Qt::ISODate),
                     "--months",
                     "all",
                     "--resolution",
                     "1200",
                     "-o",
                     out.filePath("tool.pdf")};
    args << "--publisher"
         << (byName ? utf8(cp1257ToUtf8(formatName(dialog.data().store, record, true)))
                    : QString::number(record));
    if (dialog.state().totalChecked)
        args << "--total";
    if (header)
        args << "--sex-mark";
    else
        args << "--no-header";
    if (previousYear)
        args << "--previous-year";
    const Run tool = runTool(args);
    QVERIFY2(tool.exitCode == 0, qPrintable(tool.err));
    QCOMPARE(tool.out.trimmed(), QString("1 card written to '%1'").arg(out.filePath("tool.pdf")));

    const QList<PdfWord> expected = pdfWords(printed);
    QVERIFY(expected.size() > 10);
    const QStringList differences = wordDifferences(pdfWords(out.filePath("tool.pdf")), expected);
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join("; ")));
    dialog.closeMainDialog();
}

void PrintToolTest::everyListedCardInOneFile() {
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    TempFolder data;
    QVERIFY(sample::writeSampleCongregation(data.path(), 2027));
    writeText(data.path() / "pelkorl.INI", "[Format]\nLast Name First=1\n");
    const QString file = out.filePath("visi.pdf");
    const QStringList common{path(data.path()),
                             "--date",
                             "2027-04-10",
                             "--settings",
                             path(data.path() / "pelkorl.INI"),
                             "-m",
                             "Rgs-Kov",
                             "-o",
                             file};
    const Run all = runTool(common + QStringList{"--all"});
    QVERIFY2(all.exitCode == 0, qPrintable(all.err));
    const int pages = pdfPages(file);
    QCOMPARE(all.out.trimmed(), QString("%1 cards written to '%2'").arg(pages).arg(file));
    const sample::SampleCongregation sample = sample::buildSampleCongregation(2027);
    QCOMPARE(pages, static_cast<int>(sample.current.size()));
    QCOMPARE(pdfInfo(file).value("Title"), QString("Card Header"));

    const Run unbaptized = runTool(common + QStringList{"--all", "--filter", "3"});
    QVERIFY2(unbaptized.exitCode == 0, qPrintable(unbaptized.err));
    QVERIFY(pdfPages(file) > 0);
    QVERIFY(pdfPages(file) < pages);

    // Several publishers, in the order given.
    const Run two = runTool(common + QStringList{"-p", "2", "-p", "1"});
    QVERIFY2(two.exitCode == 0, qPrintable(two.err));
    QCOMPARE(pdfPages(file), 2);

    // The totals records after the cards.
    const Run totals = runTool(common + QStringList{"-p", "2", "--totals"});
    QVERIFY2(totals.exitCode == 0, qPrintable(totals.err));
    QCOMPARE(totals.out.trimmed(),
             QString("1 card and 3 totals records written to '%1'").arg(file));
    QCOMPARE(pdfPages(file), 4);
}

// The three totals records of the 11/23 card from the tool (its --card-version over the
// settings' own) against the main dialog's "Bendruomenės suvestinė", word for word, with
// every month and the total row.
void PrintToolTest::theTotalsAreTheProgramsPrint() {
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed: the PDF cannot be read back");
    const QDate today(2027, 9, 15);
    DialogRun run;
    QVERIFY(sample::writeSampleCongregation(run.folder(), 2027));
    run.settings("[Format]\nCard Version=2\n");
    MainDialog& dialog = run.start(today);
    QCOMPARE(dialog.state().columnSet, ColumnSet::Ministry);
    for (int r = 0; r < MONTH_ROWS; ++r)
        dialog.monthBox(r)->click();
    dialog.checkBox(TOTAL_BOX_ID)->click();
    dialog.checkBox(PRINT_HEADER_BOX_ID)->click();
    dialog.button(TOTALS_BUTTON_ID)->click();
    QCOMPARE(run.printers->opened, 1);
    const QString printed = path(run.printers->folder / "card1.pdf");
    QCOMPARE(pdfPages(printed), 3);

    const QString file = out.filePath("totals.pdf");
    const Run tool = runTool({path(run.folder()), "--settings", path(run.settingsFile), "--date",
                              today.toString(Qt::ISODate), "--totals", "--card-version", "2", "-m",
                              "all", "--total", "--resolution", "1200", "-o", file});
    QVERIFY2(tool.exitCode == 0, qPrintable(tool.err));
    QCOMPARE(tool.out.trimmed(), QString("3 totals records written to '%1'").arg(file));
    QCOMPARE(pdfPages(file), 3);
    const QStringList names{"Skelbėjai", "Pagalbiniai", "Reguliarieji"};
    for (int page = 1; page <= 3; ++page) {
        const QList<PdfWord> words = pdfWords(file, page);
        const auto has = [&](const QString& text) {
            return std::any_of(words.begin(), words.end(),
                               [&](const PdfWord& w) { return w.text == text; });
        };
        QVERIFY2(has(names[page - 1]), qPrintable(names[page - 1]));
        QVERIFY(has("Pranešimų:"));
        const QStringList differences = wordDifferences(words, pdfWords(printed, page));
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join("; ")));
    }
    dialog.closeMainDialog();
}

void PrintToolTest::helpExplainsTheOptions() {
    const Run help = runTool({"--help"});
    QCOMPARE(help.exitCode, 0);
    for (const char* option :
         {"--publisher", "--all", "--filter", "--months", "--total", "--no-header", "--sex-mark",
          "--previous-year", "--settings", "--output", "--password", "--help"})
        QVERIFY2(help.out.contains(option), option);
    QVERIFY(help.err.isEmpty() || !help.err.contains("pelkorl-print:"));
}

void PrintToolTest::wrongCommandLinesAndMissingFolders_data() {
    QTest::addColumn<QStringList>("arguments"); // DATA stands for a sample folder, OUT the file
    QTest::addColumn<QString>("change");        // what is done to the sample folder first
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // a warning when the exit code is 0
    const QStringList all{"DATA", "-a", "-o", "OUT"};
    QTest::newRow("a clean run") << all << "" << 0 << "";
    QTest::newRow("unknown option")
        << QStringList{"DATA", "--bogus"} << "" << 2 << "unknown option '--bogus'";
    QTest::newRow("no data folder")
        << QStringList{"-a", "-o", "OUT"} << "" << 2 << "no data folder given";
    QTest::newRow("no output") << QStringList{"DATA", "-a"} << "" << 2 << "no output file given";
    QTest::newRow("no cards") << QStringList{"DATA", "-o", "OUT"} << "" << 2
                              << "--publisher, --all or --totals";
    QTest::newRow("an empty name")
        << QStringList{"DATA", "-p", "", "-o", "OUT"} << "" << 2 << "the name is empty";
    QTest::newRow("a day beyond the years")
        << QStringList{"DATA", "-a", "--date", "9999-12-31", "-o", "OUT"} << "" << 2
        << "is no day of the years 1900-2999";
    QTest::newRow("a folder as output")
        << QStringList{"DATA", "-a", "-o", "DATA/Roll"} << "" << 2 << "is a folder";
    QTest::newRow("missing data folder")
        << QStringList{"DATA/nėra", "-a", "-o", "OUT"} << "" << 1 << "does not exist";
    QTest::newRow("a file for a folder")
        << QStringList{"DATA/tdat7.bin", "-a", "-o", "OUT"} << "" << 1 << "is not a folder";
    QTest::newRow("a folder without data")
        << QStringList{"DATA/Roll", "-a", "-o", "OUT"} << "" << 1 << "there is no publisher file";
    QTest::newRow("a folder named as the publisher file")
        << all << "folder tdat7.bin" << 1 << "tdat7.bin' is a folder";
    QTest::newRow("an unreadable publisher file")
        << all << "unreadable tdat7.bin" << 1 << "cannot be read: permission denied";
    QTest::newRow("an unreadable data folder")
        << all << "unreadable folder" << 1 << "cannot be read: permission denied";
    QTest::newRow("a pipe as the layout file") << all << "pipe cplot.dat" << 0 << "layout file";
    QTest::newRow("missing output folder")
        << QStringList{"DATA", "-a", "-o", "DATA/nėra/x.pdf"} << "" << 1 << "does not exist";
    QTest::newRow("an output name that is no UTF-8")
        << QStringList{"DATA", "-a", "-o", "BADNAME"} << "" << 1 << "is not valid UTF-8";
    QTest::newRow("total the program would not print")
        << QStringList{"DATA", "-a", "--total", "--date", "2027-02-10", "-o", "OUT"} << "" << 1
        << "--total";
    QTest::newRow("nobody of that name")
        << QStringList{"DATA", "-p", "Niekas Niekaitis", "-o", "OUT"} << "" << 1
        << "no publisher is named 'Niekas Niekaitis'";
    QTest::newRow("no such record") << QStringList{"DATA", "-p", "999", "-o", "OUT"} << "" << 1
                                    << "there is no publisher record 999";
    QTest::newRow("missing settings file")
        << QStringList{"DATA", "-a", "--settings", "DATA/nėra.ini", "-o", "OUT"} << "" << 1
        << "the settings file";
    QTest::newRow("a folder as settings file")
        << QStringList{"DATA", "-a", "--settings", "DATA/Roll", "-o", "OUT"} << "" << 1
        << "Roll' is a folder";
    QTest::newRow("a cut publisher file")
        << all << "cut tdat7.bin" << 0 << "ends in a cut record of 100 bytes";
    QTest::newRow("records beyond the store")
        << all << "long tdat7.bin" << 0 << "holds 2 record(s) beyond the 310";
    QTest::newRow("month rows that cannot print")
        << QStringList{"DATA", "-a", "-m", "all", "--date", "2027-02-10", "-o", "OUT"} << "" << 0
        << "month row(s) 6,7,8,9,10,11,12 cannot be printed";
    QTest::newRow("no previous year")
        << QStringList{"DATA", "-a", "--previous-year", "-o", "OUT"} << "no previous year" << 0
        << "no usable previous-year publisher file";
    // An output is never a file the run reads, however it is named.
    QTest::newRow("the form filled over itself")
        << QStringList{"DATA", "-p", "1", "--fill", "DATA/S-21.pdf", "-o", "DATA/S-21.pdf"}
        << "form" << 1 << "the output '%1/S-21.pdf' is the form '%1/S-21.pdf'";
    QTest::newRow("a link to the layout's form as output")
        << QStringList{"DATA",           "-p", "1",
                       "--card-version", "2",  "--layout-from",
                       "DATA/S-21.pdf",  "-o", "DATA/link.pdf"}
        << "form and link" << 1 << "is the form the layout is read from '%1/S-21.pdf'";
    QTest::newRow("the settings file as output")
        << QStringList{"DATA", "-a", "--settings", "DATA/s.pdf", "-o", "DATA/s.pdf"}
        << "settings s.pdf" << 1 << "is the settings file";
    QTest::newRow("a form of the output folder is the form")
        << QStringList{"DATA", "-p", "1", "--fill", "DATA/S-21.pdf", "--output-dir", "DATA"}
        << "form named as the card" << 1 << "is the form";
    QTest::newRow("an output folder in a missing folder")
        << QStringList{"DATA",
                       "-p",
                       "1",
                       "--fill",
                       "DATA/S-21.pdf",
                       "--output-dir",
                       "DATA/nėra/formos"}
        << "form" << 1 << "cannot be made: its folder";
    // The longest name the system takes; one byte more, and the system's own reason.
    QTest::newRow("an output name of 255 bytes")
        << QStringList{"DATA", "-a", "-o", "NAME255"} << "" << 0 << "";
    QTest::newRow("a filled form's name of 255 bytes")
        << QStringList{"DATA", "-p", "1", "--fill", "DATA/S-21.pdf", "-o", "NAME255"} << "form" << 0
        << "";
    QTest::newRow("an output name too long")
        << QStringList{"DATA", "-a", "-o", "NAME256"} << "" << 1 << "file name too long";
    QTest::newRow("a filled form's name too long")
        << QStringList{"DATA", "-p", "1", "--fill", "DATA/S-21.pdf", "-o", "NAME256"} << "form" << 1
        << "file name too long";
}

void PrintToolTest::wrongCommandLinesAndMissingFolders() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, change);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    TempFolder data;
    QVERIFY(sample::writeSampleCongregation(data.path(), 2027));
    const fs::path publishers = data.path() / "tdat7.bin";
    if (change.startsWith("unreadable") && geteuid() == 0)
        QSKIP("the superuser reads every file");
    if (change == "folder tdat7.bin") {
        fs::remove(publishers);
        fs::create_directory(publishers);
    } else if (change == "unreadable tdat7.bin") {
        fs::permissions(publishers, fs::perms::none);
    } else if (change == "unreadable folder") {
        fs::permissions(data.path(), fs::perms::owner_write);
    } else if (change == "pipe cplot.dat") {
        QCOMPARE(mkfifo((data.path() / "cplot.dat").c_str(), 0600), 0);
    } else if (change == "cut tdat7.bin" || change == "long tdat7.bin") {
        std::string bytes = readBytes(publishers);
        if (change.startsWith("cut"))
            bytes += std::string(100, 'x');
        else
            bytes.resize(RECORD_SIZE * (RECORD_CAPACITY + 2), '\0');
        writeBytes(publishers, bytes);
    } else if (change == "no previous year") {
        fs::remove_all(data.path() / "Roll");
    } else if (change.startsWith("form")) {
        QVERIFY(writeStandInForm(data.path() / "S-21.pdf"));
        // A link named as the fill names the first publisher's file.
        if (change == "form named as the card")
            fs::create_symlink("S-21.pdf",
                               data.path() / fs::u8path("Jonas Antanas Petrauskas-Žemaitis, "
                                                        "vyresnysis 2027.pdf"));
        else if (change == "form and link")
            fs::create_symlink("S-21.pdf", data.path() / "link.pdf");
    } else if (change == "settings s.pdf") {
        writeText(data.path() / "s.pdf", "[Format]\n");
    }
    const std::string form = change.startsWith("form") ? readBytes(data.path() / "S-21.pdf") : "";
    // A run of its own: no session's runtime folder, its own temporary folder.
    QTemporaryDir temporary;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("TMPDIR", temporary.path());
    const QString file =
        out.filePath(arguments.contains("NAME255") ? QString(251, 'n') + ".pdf" : "wrong.pdf");
    const QStringList outBefore = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
    for (QString& a : arguments)
        a = a == "OUT" || a == "NAME255" ? file
            : a == "NAME256"             ? out.filePath(QString(252, 'n') + ".pdf")
                                         : a.replace("DATA", path(data.path()));
    message.replace("%1", path(data.path()));
    const Run run = runTool(arguments, environment, arguments.indexOf("BADNAME"), out.path());
    fs::permissions(data.path(), fs::perms::owner_all);
    QCOMPARE(run.exitCode, exitCode);
    if (!form.empty())
        QVERIFY(readBytes(data.path() / "S-21.pdf") == form);
    if (message.isEmpty())
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    else
        QVERIFY2(run.err.contains("pelkorl-print: ") && run.err.contains(message),
                 qPrintable(run.err));
    QCOMPARE(run.err.contains("Try 'pelkorl-print --help'."), exitCode == 2);
    QCOMPARE(run.out.isEmpty(), exitCode != 0);
    QCOMPARE(QFile::exists(file), exitCode == 0);
    QFile::remove(file);
    // Nothing but the output: no runtime folder, no file under another name.
    QCOMPARE(
        QDir(temporary.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList{});
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), outBefore);
}

void PrintToolTest::protectedDataNeedTheirPassword() {
    TempFolder data;
    QVERIFY(sample::writeSampleCongregation(data.path(), 2027,
                                            {false, sample::toCp1257("Slaptažodis")}));
    const QString file = out.filePath("protected.pdf");
    const QStringList base{path(data.path()), "-p", "1", "-o", file};

    Run run = runTool(base);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("protected by a password: give it with --password"),
             qPrintable(run.err));
    run = runTool(base + QStringList{"--password", "slaptažodis"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("the password is wrong"));
    QVERIFY(!QFile::exists(file));

    run = runTool(base + QStringList{"--password", "Slaptažodis"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(QFile::remove(file));
    writeText(data.path() / "password.txt", "Slaptažodis\r\n");
    run = runTool(base + QStringList{"--password-file", path(data.path() / "password.txt")});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(QFile::exists(file));
    run = runTool(base + QStringList{"--password-file", path(data.path() / "nėra.txt")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("password file"));
}

void PrintToolTest::theDataFolderIsLeftAsItWas() {
    TempFolder data;
    QVERIFY(sample::writeSampleCongregation(data.path(), 2027));
    writeText(data.path() / "pelkorl.INI", "[Format]\nCard Version=1\n");
    const auto before = folderContents(data.path());
    const QString file = out.filePath("all.pdf");
    const Run run = runTool({path(data.path()), "--all", "--settings",
                             path(data.path() / "pelkorl.INI"), "-m", "all", "-o", file});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(QFile::exists(file));
    // No settings, no layout file, no record-keeping file written; nothing left behind.
    QVERIFY(folderContents(data.path()) == before);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).filter(".all"), QStringList{});
}

void PrintToolTest::theFormFollowsAMovedColumn() {
    if (!hasPoppler())
        QSKIP("poppler-utils are not installed: the PDF cannot be read back");
    TempFolder data;
    QVERIFY(sample::writeSampleCongregation(data.path(), 2027));
    writeText(data.path() / "pelkorl.INI", "");
    const auto print = [&](const QString& name) {
        const QString file = out.filePath(name);
        const Run run =
            runTool({path(data.path()), "-p", "1", "--settings", path(data.path() / "pelkorl.INI"),
                     "--card-version", "2", "--form", "--resolution", "150", "-o", file});
        return run.exitCode == 0 ? file : QString();
    };
    const auto wordX = [](const QString& pdf, const QString& text) {
        for (const PdfWord& w : pdfWords(pdf))
            if (w.text == text)
                return w.xMin;
        return -1.0;
    };
    const QString before = print("before.pdf");
    QVERIFY(!before.isEmpty());

    // The remarks half an inch to the right, as the detailed layout would save them.
    CardLayout layout;
    setLayoutDefaults(layout, 2);
    layout.setColumnX(REMARKS_ENTRY, "5.88");
    const auto bytes = layout.bytes();
    writeBytes(data.path() / "cplot2.dat", std::string(bytes.begin(), bytes.end()));
    const QString after = print("after.pdf");
    QVERIFY(!after.isEmpty());

    // A caption stays centred between its rules: the hours cell widens by 36 points to the
    // right, the remarks cell narrows by as much from the left; the others stay.
    QVERIFY(std::abs(wordX(after, "Val.") - wordX(before, "Val.") - 18) < 1.5);
    QVERIFY(std::abs(wordX(after, "Pastabos") - wordX(before, "Pastabos") - 18) < 1.5);
    QVERIFY(wordX(before, "Biblijos") > 0);
    QVERIFY(std::abs(wordX(after, "Biblijos") - wordX(before, "Biblijos")) < 0.1);

    // The rule right of the hours: 2 pt left of the remarks, from the paper's edge.
    const QImage old = pdfPageImage(before, 1, 100);
    const QImage moved = pdfPageImage(after, 1, 100);
    QVERIFY(!old.isNull() && !moved.isNull());
    const int y = 408; // the January row
    const auto dark = [y](const QImage& page, int x) {
        for (int dx = -1; dx <= 1; ++dx)
            if (qGray(page.pixel(x + dx, y)) < 160)
                return true;
        return false;
    };
    QVERIFY(dark(old, 535) && !dark(old, 585));
    QVERIFY(dark(moved, 585) && !dark(moved, 535));
}

QTEST_MAIN(PrintToolTest)
#include "printtool_test.moc"
