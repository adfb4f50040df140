#include "maindialogfixture.h"

#include "card/cardlayout.h"
#include "dialogs/aboutdialog.h"
#include "main/publisherlistbox.h"
#include "messageboxwatcher.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "text/dialogs.h"
#include "toolkit/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <set>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

const QDate APRIL_2027(2027, 4, 12);

std::string layoutBytes(const CardLayout& layout) {
    const auto bytes = layout.bytes();
    return std::string(bytes.begin(), bytes.end());
}

std::string defaultLayoutBytes(int version) {
    CardLayout layout;
    setLayoutDefaults(layout, version);
    return layoutBytes(layout);
}

// Runs `check` on the next modal dialog as soon as it is open, then closes it.
template <class Dialog, class Check> void onNextModal(Check check) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        check(*dialog);
        dialog->done(QDialog::Accepted);
    });
    timer->start();
}

} // namespace

class MainDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void lastMonthFromTheStartDate_data();
    void lastMonthFromTheStartDate();
    void cardVersionGivesTitle_data();
    void cardVersionGivesTitle();
    void outOfRangeVersionWrittenBackAsZero();
    void noSettingsFileKeepsDefaultsAndWritesOnlyLayout();
    void lastNameFirstClicksWriteAllSettings();
    void numbersKeepTheirLowByte();
    void marginTextKeptAsStored();
    void layoutFileOfTheVersionIsUsedAndRewritten();
    void shortLayoutFileGivesDefaults();

    void refusedPasswordAbandonsTheStart();
    void acceptedPasswordLoadsTheList();
    void cancelledDataLocationAbandonsTheStart();
    void dataLocationChosenAtStartIsWritten();

    void enterPrintsAndStaysOpen();
    void escapeAndCloseBoxClose();
    void closeButtonClosesOnce();

    void aboutBoxShowsTheFolder();
    void aboutCommandOpensTheAboutBox();
    void screenshotIsNotBlank();

private:
    MessageBoxWatcher messages;
};

void MainDialogTest::init() {
    messages.reset();
}

void MainDialogTest::lastMonthFromTheStartDate_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("lastMonth");
    QTest::newRow("January") << QDate(2027, 1, 1) << 11;
    QTest::newRow("February") << QDate(2027, 2, 28) << 0;
    QTest::newRow("September") << QDate(2027, 9, 1) << 7;
    QTest::newRow("December") << QDate(2027, 12, 31) << 10;
}

void MainDialogTest::lastMonthFromTheStartDate() {
    QFETCH(QDate, today);
    QFETCH(int, lastMonth);
    DialogRun run;
    MainDialog& dialog = run.start(today);
    QCOMPARE(dialog.state().lastMonth, lastMonth);
    QCOMPARE(dialog.state().currentYear, today.year());
}

void MainDialogTest::cardVersionGivesTitle_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("title");
    const QString v0 = QStringLiteral("Pelkorl - S-21-L  9/15");
    const QString v1 = QStringLiteral("Pelkorl - S-21-L  1/06  Printed in Finland");
    QTest::newRow("none") << QString() << 0 << v0;
    QTest::newRow("1") << "1" << 1 << v1;
    QTest::newRow("2") << "2" << 2 << QStringLiteral("Pelkorl - S-21-L  11/23");
    QTest::newRow("3 is out of range") << "3" << 0 << v0;
    QTest::newRow("255 is out of range") << "255" << 0 << v0;
    QTest::newRow("257 keeps its low byte") << "257" << 1 << v1;
}

void MainDialogTest::cardVersionGivesTitle() {
    QFETCH(QString, stored);
    QFETCH(int, version);
    QFETCH(QString, title);
    DialogRun run;
    if (!stored.isEmpty())
        run.settings("[Format]\r\nCard Version=" + stored.toStdString() + "\r\n");
    MainDialog& dialog = run.start(APRIL_2027);
    QCOMPARE(dialog.state().cardVersion, version);
    QCOMPARE(dialog.windowTitle(), title);
    QCOMPARE(dialog.state().columnSet, columnSetOf(version));
    QCOMPARE(layoutBytes(dialog.state().layout), defaultLayoutBytes(version));
}

void MainDialogTest::outOfRangeVersionWrittenBackAsZero() {
    DialogRun run;
    run.settings("[Format]\r\nCard Version=3\r\n");
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.checkBox(LAST_NAME_FIRST_BOX_ID)->click();
    dialog.closeMainDialog();
    QCOMPARE(ProfileFile(run.settingsFile).getString("Format", "Card Version", "?"),
             std::string("0"));
}

void MainDialogTest::noSettingsFileKeepsDefaultsAndWritesOnlyLayout() {
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas")});
    MainDialog& dialog = run.start(APRIL_2027);
    QCOMPARE(dialog.state().marginTop, std::string("0.00"));
    QCOMPARE(dialog.state().marginLeft, std::string("0.20"));
    QCOMPARE(dialog.state().dateFormat, 0);
    QCOMPARE(dialog.state().cardVersion, 0);
    QCOMPARE(dialog.state().lastNameFirst, 0);
    QCOMPARE(int(dialog.dataDrive()), 0);
    QVERIFY(!dialog.settingsChanged());
    QVERIFY(!dialog.checkBox(LAST_NAME_FIRST_BOX_ID)->isChecked());
    QVERIFY(dialog.checkBox(LONG_NAME_BOX_ID)->isChecked());
    QVERIFY(dialog.checkBox(PRINT_HEADER_BOX_ID)->isChecked());
    QVERIFY(!dialog.checkBox(SEX_MARK_BOX_ID)->isChecked());
    QCOMPARE(dialog.state().fontCharset, 186);
    QCOMPARE(dialog.publisherList()->count(), 1);

    dialog.closeMainDialog();
    QVERIFY(dialog.closed());
    QVERIFY(!fs::exists(run.settingsFile));
    QCOMPARE(readBytes(run.folder() / "cplot.dat"), defaultLayoutBytes(0));
    QVERIFY(!fs::exists(run.folder() / "cplot1.dat"));
}

void MainDialogTest::lastNameFirstClicksWriteAllSettings() {
    DialogRun run;
    run.settings("; kept\r\n[Other]\r\nKey=Value\r\n");
    MainDialog& dialog = run.start(APRIL_2027);
    QCheckBox* box = dialog.checkBox(LAST_NAME_FIRST_BOX_ID);
    box->click();
    QCOMPARE(dialog.state().lastNameFirst, 1);
    QVERIFY(dialog.settingsChanged());
    box->click();
    QCOMPARE(dialog.state().lastNameFirst, 0);
    QVERIFY(dialog.settingsChanged());
    dialog.closeMainDialog();

    const ProfileFile profile(run.settingsFile);
    QCOMPARE(profile.getString("Format", "Alt Date Format", "?"), std::string("0"));
    QCOMPARE(profile.getString("Format", "Last Name First", "?"), std::string("0"));
    QCOMPARE(profile.getString("Format", "Card Version", "?"), std::string("0"));
    QCOMPARE(profile.getString("Margins", "Top", "?"), std::string("0.00"));
    QCOMPARE(profile.getString("Margins", "Left", "?"), std::string("0.20"));
    QCOMPARE(profile.getString("Data Location", "Drive", "?"), std::string("0"));
    QCOMPARE(profile.getString("Other", "Key", "?"), std::string("Value"));
    const std::string text = readBytes(run.settingsFile);
    QVERIFY(text.rfind("; kept", 0) == 0);
    QVERIFY(text.find("[Format]") < text.find("[Margins]"));
    QVERIFY(text.find("[Margins]") < text.find("[Data Location]"));
}

void MainDialogTest::numbersKeepTheirLowByte() {
    DialogRun run;
    run.settings("[Format]\r\nLast Name First=256\r\nAlt Date Format=259\r\n"
                 "[Data Location]\r\nDrive=256\r\n");
    MainDialog& dialog = run.start(APRIL_2027);
    QCOMPARE(dialog.state().lastNameFirst, 0);
    QVERIFY(!dialog.checkBox(LAST_NAME_FIRST_BOX_ID)->isChecked());
    QCOMPARE(dialog.state().dateFormat, 3);
    QCOMPARE(int(dialog.dataDrive()), 0);
}

void MainDialogTest::marginTextKeptAsStored() {
    DialogRun run;
    run.settings("[Margins]\r\nTop=1.5\r\nLeft=0.35\r\n");
    MainDialog& dialog = run.start(APRIL_2027);
    QCOMPARE(dialog.state().marginTop, std::string("1.5"));
    QCOMPARE(dialog.state().marginLeft, std::string("0.35"));
    dialog.checkBox(LAST_NAME_FIRST_BOX_ID)->click();
    dialog.closeMainDialog();
    QCOMPARE(ProfileFile(run.settingsFile).getString("Margins", "Top", "?"), std::string("1.5"));
}

void MainDialogTest::layoutFileOfTheVersionIsUsedAndRewritten() {
    DialogRun run;
    run.settings("[Format]\r\nCard Version=1\r\n");
    CardLayout custom;
    setLayoutDefaults(custom, 1);
    custom.setTableTop("1.45");
    writeBytes(run.folder() / "cplot1.dat", layoutBytes(custom));
    MainDialog& dialog = run.start(APRIL_2027);
    QCOMPARE(dialog.state().layout.tableTop(), std::string("1.45"));
    fs::remove(run.folder() / "cplot1.dat");
    dialog.closeMainDialog();
    QCOMPARE(readBytes(run.folder() / "cplot1.dat"), layoutBytes(custom));
    QVERIFY(!fs::exists(run.folder() / "cplot.dat"));
}

void MainDialogTest::shortLayoutFileGivesDefaults() {
    DialogRun run;
    writeBytes(run.folder() / "cplot.dat", std::string(399, '7'));
    MainDialog& dialog = run.start(APRIL_2027);
    QCOMPARE(layoutBytes(dialog.state().layout), defaultLayoutBytes(0));
}

void MainDialogTest::refusedPasswordAbandonsTheStart() {
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas")}, "slapta");
    std::vector<std::string> asked;
    MainDialog& dialog = run.start(APRIL_2027, [&](MainDialog& d) {
        d.setPasswordPrompt([&](const std::string& expected) {
            asked.push_back(expected);
            return false;
        });
    });
    QCOMPARE(asked, std::vector<std::string>{"slapta"});
    QVERIFY(dialog.startAborted());
    QVERIFY(dialog.closed());
    QVERIFY(!dialog.layoutLoaded());
    QCOMPARE(dialog.publisherList()->count(), 0);
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(!fs::exists(run.folder() / "cplot.dat"));
    QVERIFY(!fs::exists(run.settingsFile));
}

void MainDialogTest::acceptedPasswordLoadsTheList() {
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas")}, "slapta");
    MainDialog& dialog = run.start(APRIL_2027, [](MainDialog& d) {
        d.setPasswordPrompt([](const std::string& expected) { return expected == "slapta"; });
    });
    QVERIFY(!dialog.closed());
    QCOMPARE(dialog.publisherList()->count(), 1);
    QCOMPARE(dialog.state().selectedRecord, 1);
}

void MainDialogTest::cancelledDataLocationAbandonsTheStart() {
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas")});
    // Drive A: without a folder standing for it cannot be used.
    const std::string settings = "[Data Location]\r\nDrive=1\r\n";
    run.settings(settings);
    int preselected = -1;
    bool unavailableShown = false;
    MainDialog& dialog = run.start(APRIL_2027, [&](MainDialog& d) {
        d.setLocationChooser([&](MainDialog&, int& chosen, fs::path&, bool unavailable) {
            preselected = chosen;
            unavailableShown = unavailable;
            return false;
        });
    });
    QCOMPARE(preselected, 1);
    QVERIFY(unavailableShown);
    QVERIFY(dialog.closed());
    QCOMPARE(dialog.publisherList()->count(), 0);
    QVERIFY(!fs::exists(run.folder() / "cplot.dat"));
    QCOMPARE(readBytes(run.settingsFile), settings);
}

void MainDialogTest::dataLocationChosenAtStartIsWritten() {
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas")});
    run.settings("[Data Location]\r\nDrive=1\r\n");
    MainDialog& dialog = run.start(APRIL_2027, [](MainDialog& d) {
        d.setLocationChooser([](MainDialog&, int& chosen, fs::path&, bool) {
            chosen = 0;
            return true;
        });
    });
    QVERIFY(!dialog.closed());
    QCOMPARE(int(dialog.dataDrive()), 0);
    QVERIFY(dialog.settingsChanged());
    QCOMPARE(dialog.publisherList()->count(), 1);
    dialog.closeMainDialog();
    QCOMPARE(ProfileFile(run.settingsFile).getString("Data Location", "Drive", "?"),
             std::string("0"));
}

void MainDialogTest::enterPrintsAndStaysOpen() {
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas"), person("Ona", "Petrauskienė")});
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    PublisherListBox* list = dialog.publisherList();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(dialog.state().selectedRecord, 2);

    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(run.printers->opened, 1);
    QVERIFY(fs::file_size(run.printers->folder / "card1.pdf") > 0);
    dialog.button(ID_OK)->click();
    QCOMPARE(run.printers->opened, 2);
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.closed());
    QCOMPARE(dialog.state().selectedRecord, 2);
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(list));
    QVERIFY(messages.boxes().empty());
    dialog.closeMainDialog();
}

void MainDialogTest::escapeAndCloseBoxClose() {
    for (bool closeBox : {false, true}) {
        DialogRun run;
        MainDialog& dialog = run.start(APRIL_2027);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (closeBox)
            dialog.close();
        else
            QTest::keyClick(dialog.publisherList(), Qt::Key_Escape);
        QVERIFY(dialog.closed());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(fs::exists(run.folder() / "cplot.dat"));
    }
}

void MainDialogTest::closeButtonClosesOnce() {
    DialogRun run;
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.checkBox(LAST_NAME_FIRST_BOX_ID)->click();
    dialog.button(ID_CANCEL)->click();
    QVERIFY(dialog.closed());
    QVERIFY(fs::exists(run.settingsFile));
    fs::remove(run.settingsFile);
    fs::remove(run.folder() / "cplot.dat");
    // A second close must not write anything again.
    dialog.reject();
    QVERIFY(!fs::exists(run.settingsFile));
    QVERIFY(!fs::exists(run.folder() / "cplot.dat"));
}

void MainDialogTest::aboutBoxShowsTheFolder() {
    const fs::path folder = fs::path("/tmp") / "Skelbėjų aplankas" / "Kortelės";
    AboutDialog about(folder);
    QCOMPARE(about.windowTitle(), QStringLiteral("Apie Pelkorl"));
    QCOMPARE(about.folderText(), QStringLiteral("/tmp/Skelbėjų aplankas/Kortelės"));
    AboutDialog unknown((fs::path()));
    QCOMPARE(unknown.folderText(), QString());
}

void MainDialogTest::aboutCommandOpensTheAboutBox() {
#ifdef _WIN32
    QSKIP("the about command is in the system menu there");
#endif
    DialogRun run;
    MainDialog& dialog = run.start(APRIL_2027);
    QAction* about = dialog.aboutAction();
    QVERIFY(about);
    QCOMPARE(about->text(), QStringLiteral("&Apie PELKORL..."));
    QCOMPARE(about->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(dialog.actions().contains(about));
    QCOMPARE(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);

    QString shown;
    onNextModal<AboutDialog>([&](AboutDialog& box) { shown = box.folderText(); });
    about->trigger();
    QCOMPARE(shown, displayPath(run.folder()));

    QVERIFY(!dialog.systemCommand(32));
    shown.clear();
    onNextModal<AboutDialog>([&](AboutDialog& box) { shown = box.folderText(); });
    // The low four bits of a system command are the system's own.
    QVERIFY(dialog.systemCommand(ABOUT_COMMAND | 0x3));
    QCOMPARE(shown, displayPath(run.folder()));
}

void MainDialogTest::screenshotIsNotBlank() {
    DialogRun run;
    QVERIFY(sample::writeSampleCongregation(run.folder(), 2027));
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QString file = QString::fromStdString((run.folder() / "main.png").string());
    QVERIFY(dialog.grab().save(file, "PNG"));
    const QImage image(file);
    QCOMPARE(image.size(), dialog.size());
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    }
    QVERIFY2(colours.size() > 4, "the grabbed dialog is blank");
    QCOMPARE(dialog.publisherList()->count(),
             int(sample::buildSampleCongregation(2027).current.size()));
}

QTEST_MAIN(MainDialogTest)
#include "maindialog_test.moc"
