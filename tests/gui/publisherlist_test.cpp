#include "maindialogfixture.h"

#include "card/figures.h"
#include "dialogs/optionsdialog.h"
#include "main/publisherlistbox.h"
#include "messageboxwatcher.h"
#include "settings/profile.h"
#include "text/codepage.h"
#include "text/dialogs.h"
#include "toolkit/messagebox.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

// Started in April 2027: lastMonth is March (2).
const QDate APRIL_2027(2027, 4, 12);
constexpr int MARCH = 2;

sample::PublisherSpec pioneerIn(sample::PublisherSpec p, int month) {
    p.months[static_cast<std::size_t>(month)].status = sample::REGULAR_PIONEER;
    return p;
}

// Records 1-8 of the filter tests, with the filters each one passes.
std::vector<sample::PublisherSpec> filterPeople() {
    auto statusThree = person("Vilma", "Butkienė");
    statusThree.months[MARCH].status = 3;
    auto yearOnly = person("Gintarė", "Balčiūnaitė");
    yearOnly.baptismDate = "2000    ";
    auto blank = person("Giedrius", "Ramanauskas");
    blank.baptismDate = "        ";
    return {
        pioneerIn(person("Ona", "Petrauskienė"), MARCH),     // 1: pioneer, baptized
        pioneerIn(person("Tomas", "Žukauskas"), 1),          // 2: pioneer in February only
        person("Šarūnas", "Vaitkus", false),                 // 3: unbaptized
        pioneerIn(person("Rūta", "Vaitkutė", false), MARCH), // 4: unbaptized pioneer
        statusThree,                                         // 5: status 3 is no pioneer
        yearOnly,                                            // 6: 4 characters: unbaptized
        blank,                                               // 7: blanks: unbaptized
        person("Antanas", "Mockus"),                         // 8: baptized
    };
}

// Lines starting with A, B (twice), E and one with a Lithuanian first letter.
std::vector<sample::PublisherSpec> typingPeople() {
    return {
        person("Jonas", "Adomaitis"),  // 1
        person("Petras", "Šimkus"),    // 2
        person("Ona", "Baltrus"),      // 3
        person("Rasa", "Bartkus"),     // 4
        person("Lina", "Eidukaitė"),   // 5
        person("Mindaugas", "Bendor"), // 6
    };
}

std::vector<int> listedRecords(const MainDialog& dialog) {
    std::vector<int> records;
    PublisherListBox* list = dialog.publisherList();
    for (int row = 0; row < list->count(); ++row)
        records.push_back(list->item(row)->data(Qt::UserRole).toInt());
    return records;
}

// Enabled month boxes as a string of '1' and '0', row 0 (September) first.
QString enabledRows(const MainDialog& dialog) {
    QString rows;
    for (int row = 0; row < MONTH_ROWS; ++row)
        rows += dialog.monthBox(row)->isEnabled() ? '1' : '0';
    return rows;
}

// A key carrying a character no key code of its own stands for.
void typeCharacter(QWidget* widget, const QString& character) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(widget, &release);
}

sample::YearStamps stampsOf(int year) {
    sample::YearStamps stamps;
    stamps.fill(sample::yearStamp(year));
    return stamps;
}

} // namespace

class PublisherListTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void linesInFileOrderWithoutTheHeader();
    void filterSelectsPublishers_data();
    void filterSelectsPublishers();
    void fourFilterClicksReturnToAll();
    void typingSelectsByPrefix();
    void typingIsNoSelectionChange();
    void sameLetterTwiceDoesNotCycle();
    void focusEmptiesTheSearch();
    void emptyListSelectsNothingAndPrintsNothing();
    void filterWithoutLinesSelectsNothing();

    void monthBoxes_data();
    void monthBoxes();
    void totalBoxFollowsTheMonthBoxes();
    void monthBoxUnchecksHeaderButNotSexMark();
    void printHeaderBoxControlsSexMark();
    void checkBoxesReachTheCardState();
    void longNameBoxAndUserSelection();
    void onlyAnotherLineTakesTheSelection_data();
    void onlyAnotherLineTakesTheSelection();

    void optionsCancelRebuildsAfterAChange();
    void optionsOkTakesTheValues();
    void locationChangeReloadsFromTheNewPlace();
    void locationChangeKeepsDataWhenDeclined();

private:
    MessageBoxWatcher messages;
};

void PublisherListTest::init() {
    messages.reset();
}

void PublisherListTest::linesInFileOrderWithoutTheHeader() {
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Žukas"), person("Ona", "Adomaitė"),
                                    person("Petras", "Kazlauskas")});
    MainDialog& dialog = run.start(APRIL_2027);
    PublisherListBox* list = dialog.publisherList();
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Žukas, Jonas"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("Adomaitė, Ona"));
    QCOMPARE(list->item(2)->text(), QStringLiteral("Kazlauskas, Petras"));
    QCOMPARE(list->lineText(0), utf8ToCp1257("Žukas, Jonas"));
    QCOMPARE(listedRecords(dialog), (std::vector<int>{1, 2, 3}));
    QCOMPARE(list->selectedRow(), 0);
    QCOMPARE(dialog.state().selectedRecord, 1);
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(list));
}

void PublisherListTest::filterSelectsPublishers_data() {
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::vector<int>>("records");
    QTest::newRow("all") << 0 << "Visi skelbėjai" << std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("regular pioneers") << 1 << "Reg.pionieriai" << std::vector<int>{1, 4};
    QTest::newRow("baptized") << 2 << "Krikštyti" << std::vector<int>{2, 5, 8};
    QTest::newRow("unbaptized") << 3 << "Nekrikštyti" << std::vector<int>{3, 4, 6, 7};
}

void PublisherListTest::filterSelectsPublishers() {
    QFETCH(int, clicks);
    QFETCH(QString, name);
    QFETCH(std::vector<int>, records);
    DialogRun run;
    writeCurrentYear(run.folder(), filterPeople());
    MainDialog& dialog = run.start(APRIL_2027);
    QPushButton* filter = dialog.button(FILTER_BUTTON_ID);
    for (int i = 0; i < clicks; ++i)
        filter->click();
    QCOMPARE(dialog.listFilter(), ListFilter(clicks));
    QCOMPARE(filter->text(), name);
    QCOMPARE(listedRecords(dialog), records);
    QCOMPARE(dialog.state().selectedRecord, records.front());
}

void PublisherListTest::fourFilterClicksReturnToAll() {
    DialogRun run;
    writeCurrentYear(run.folder(), filterPeople());
    MainDialog& dialog = run.start(APRIL_2027);
    QPushButton* filter = dialog.button(FILTER_BUTTON_ID);
    dialog.publisherList()->selectLine(5);
    for (int i = 0; i < 4; ++i) {
        filter->click();
        QCOMPARE(dialog.publisherList()->selectedRow(), 0);
    }
    QCOMPARE(dialog.listFilter(), ListFilter::All);
    QCOMPARE(filter->text(), QStringLiteral("Visi skelbėjai"));
    QCOMPARE(listedRecords(dialog), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(dialog.state().selectedRecord, 1);
}

void PublisherListTest::typingSelectsByPrefix() {
    DialogRun run;
    writeCurrentYear(run.folder(), typingPeople());
    MainDialog& dialog = run.start(APRIL_2027);
    PublisherListBox* list = dialog.publisherList();

    QTest::keyClicks(list, "bA");
    QCOMPARE(dialog.state().selectedRecord, 3);
    QCOMPARE(list->searchPrefix(), std::string("bA"));
    QTest::keyClicks(list, "R");
    QCOMPARE(dialog.state().selectedRecord, 4);
    // No line begins with "bARe": the search starts again with the "e" alone.
    QTest::keyClicks(list, "e");
    QCOMPARE(dialog.state().selectedRecord, 5);
    QCOMPARE(list->searchPrefix(), std::string("e"));
    // Neither "eq" nor "q": the search text empties and the selection stays.
    QTest::keyClicks(list, "q");
    QCOMPARE(dialog.state().selectedRecord, 5);
    QCOMPARE(list->searchPrefix(), std::string());
    // Neither digits nor letters outside ASCII search; "s" does not find "Šimkus".
    QTest::keyClicks(list, "1");
    typeCharacter(list, QStringLiteral("š"));
    QCOMPARE(list->searchPrefix(), std::string());
    QTest::keyClicks(list, "s");
    QCOMPARE(dialog.state().selectedRecord, 5);
    QCOMPARE(list->searchPrefix(), std::string());
    QTest::keyClicks(list, "BE");
    QCOMPARE(dialog.state().selectedRecord, 6);
}

void PublisherListTest::typingIsNoSelectionChange() {
    DialogRun run;
    writeCurrentYear(run.folder(), typingPeople());
    MainDialog& dialog = run.start(APRIL_2027);
    PublisherListBox* list = dialog.publisherList();
    dialog.checkBox(LONG_NAME_BOX_ID)->click();
    QCOMPARE(dialog.state().useLongName, 0);

    QTest::keyClicks(list, "ba");
    QCOMPARE(dialog.state().selectedRecord, 3);
    QCOMPARE(dialog.state().useLongName, 0);
    QVERIFY(!dialog.checkBox(LONG_NAME_BOX_ID)->isChecked());

    // A non-letter reads the selection all the same.
    list->selectLine(0);
    QCOMPARE(dialog.state().selectedRecord, 3);
    QTest::keyClicks(list, " ");
    QCOMPARE(dialog.state().selectedRecord, 1);
    QCOMPARE(dialog.state().useLongName, 0);
}

void PublisherListTest::sameLetterTwiceDoesNotCycle() {
    DialogRun run;
    writeCurrentYear(run.folder(), typingPeople());
    MainDialog& dialog = run.start(APRIL_2027);
    QTest::keyClicks(dialog.publisherList(), "bb");
    QCOMPARE(dialog.state().selectedRecord, 3);
    QCOMPARE(dialog.publisherList()->searchPrefix(), std::string("b"));
}

void PublisherListTest::focusEmptiesTheSearch() {
    DialogRun run;
    writeCurrentYear(run.folder(), typingPeople());
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    PublisherListBox* list = dialog.publisherList();
    list->setFocus();
    QTest::keyClicks(list, "ba");
    QCOMPARE(list->searchPrefix(), std::string("ba"));
    dialog.button(FILTER_BUTTON_ID)->setFocus();
    list->setFocus();
    QCOMPARE(list->searchPrefix(), std::string());
    QTest::keyClicks(list, "r");
    QCOMPARE(list->searchPrefix(), std::string());
    QCOMPARE(dialog.state().selectedRecord, 3);
    dialog.closeMainDialog();
}

void PublisherListTest::emptyListSelectsNothingAndPrintsNothing() {
    DialogRun run;
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.publisherList()->count(), 0);
    QCOMPARE(dialog.state().selectedRecord, -1);
    QTest::keyClicks(dialog.publisherList(), "ab");
    QCOMPARE(dialog.state().selectedRecord, -1);
    QTest::keyClick(dialog.publisherList(), Qt::Key_Return);
    dialog.button(ID_OK)->click();
    QCOMPARE(run.printers->lookups, 0);
    QCOMPARE(run.printers->opened, 0);
    QVERIFY(messages.boxes().empty());
    QVERIFY(!dialog.closed());
    QVERIFY(dialog.isVisible());
    dialog.closeMainDialog();
}

void PublisherListTest::filterWithoutLinesSelectsNothing() {
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas")});
    MainDialog& dialog = run.start(APRIL_2027);
    QCOMPARE(dialog.state().selectedRecord, 1);
    dialog.button(FILTER_BUTTON_ID)->click();
    QCOMPARE(dialog.publisherList()->count(), 0);
    QCOMPARE(dialog.state().selectedRecord, -1);
}

void PublisherListTest::monthBoxes_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<bool>("previousYear");
    QTest::addColumn<bool>("previousFile");
    QTest::addColumn<int>("badStampMonth"); // calendar month with a wrong stamp, or -1
    QTest::addColumn<QString>("enabled");
    QTest::addColumn<bool>("totalEnabled");

    QTest::newRow("February, current year")
        << QDate(2027, 2, 3) << false << false << -1 << "111110000000" << false;
    QTest::newRow("September, current year")
        << QDate(2027, 9, 30) << false << false << -1 << "111111111111" << true;
    QTest::newRow("October, current year")
        << QDate(2027, 10, 1) << false << false << -1 << "100000000000" << false;
    QTest::newRow("February, previous year stamped")
        << QDate(2027, 2, 3) << true << true << -1 << "111111111111" << true;
    QTest::newRow("February, previous year, November stamped wrong")
        << QDate(2027, 2, 3) << true << true << 10 << "110111111111" << false;
    QTest::newRow("February, previous year, wrong stamp on a later row")
        << QDate(2027, 2, 3) << true << true << 5 << "111111111111" << true;
    QTest::newRow("February, no previous-year file")
        << QDate(2027, 2, 3) << true << false << -1 << "000001111111" << false;
    QTest::newRow("September, previous year, always enabled total")
        << QDate(2027, 9, 30) << true << false << -1 << "000000000000" << true;
}

void PublisherListTest::monthBoxes() {
    QFETCH(QDate, today);
    QFETCH(bool, previousYear);
    QFETCH(bool, previousFile);
    QFETCH(int, badStampMonth);
    QFETCH(QString, enabled);
    QFETCH(bool, totalEnabled);
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas")});
    if (previousFile) {
        sample::YearStamps stamps = stampsOf(today.year() - 1);
        if (badStampMonth >= 0)
            stamps[static_cast<std::size_t>(badStampMonth)] = sample::yearStamp(today.year());
        writePreviousYear(run.folder(), stamps);
    }
    MainDialog& dialog = run.start(today);
    QVERIFY(!dialog.state().previousYear);
    if (previousYear)
        dialog.checkBox(PREVIOUS_YEAR_BOX_ID)->click();
    QCOMPARE(dialog.state().previousYear, previousYear);
    QCOMPARE(enabledRows(dialog), enabled);
    QCOMPARE(dialog.checkBox(TOTAL_BOX_ID)->isEnabled(), totalEnabled);
}

void PublisherListTest::totalBoxFollowsTheMonthBoxes() {
    // Started in January: the previous year's first rows must carry the year before last.
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas")});
    writePreviousYear(run.folder(), stampsOf(2025));
    MainDialog& dialog = run.start(QDate(2027, 1, 20));
    QCOMPARE(enabledRows(dialog), QStringLiteral("111100000000"));
    QCheckBox* previous = dialog.checkBox(PREVIOUS_YEAR_BOX_ID);
    QCheckBox* total = dialog.checkBox(TOTAL_BOX_ID);
    previous->click();
    QCOMPARE(enabledRows(dialog), QStringLiteral("111111111111"));
    QVERIFY(total->isEnabled());
    dialog.monthBox(3)->click();
    total->click();
    QVERIFY(total->isChecked());
    previous->click();
    QVERIFY(!total->isChecked());
    QVERIFY(!total->isEnabled());
    QVERIFY(!dialog.state().totalChecked);
    // Check marks of the month boxes stay, enabled or not.
    QVERIFY(dialog.monthBox(3)->isChecked());
}

void PublisherListTest::monthBoxUnchecksHeaderButNotSexMark() {
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas")});
    MainDialog& dialog = run.start(QDate(2027, 9, 2));
    QCheckBox* header = dialog.checkBox(PRINT_HEADER_BOX_ID);
    QCheckBox* sexMark = dialog.checkBox(SEX_MARK_BOX_ID);
    sexMark->click();
    QVERIFY(sexMark->isChecked());
    dialog.monthBox(4)->click();
    QVERIFY(!header->isChecked());
    QVERIFY(sexMark->isChecked());
    QVERIFY(sexMark->isEnabled());
    dialog.checkBox(TOTAL_BOX_ID)->click();
    QVERIFY(!header->isChecked());
    QVERIFY(sexMark->isChecked());
}

void PublisherListTest::printHeaderBoxControlsSexMark() {
    DialogRun run;
    MainDialog& dialog = run.start(APRIL_2027);
    QCheckBox* header = dialog.checkBox(PRINT_HEADER_BOX_ID);
    QCheckBox* sexMark = dialog.checkBox(SEX_MARK_BOX_ID);
    sexMark->click();
    header->click();
    QVERIFY(!header->isChecked());
    QVERIFY(!sexMark->isChecked());
    QVERIFY(!sexMark->isEnabled());
    header->click();
    QVERIFY(header->isChecked());
    QVERIFY(!sexMark->isChecked());
    QVERIFY(sexMark->isEnabled());
}

void PublisherListTest::checkBoxesReachTheCardState() {
    DialogRun run;
    MainDialog& dialog = run.start(QDate(2027, 9, 2));
    QVERIFY(dialog.state().printHeader);
    QVERIFY(!dialog.state().markSex);
    dialog.checkBox(SEX_MARK_BOX_ID)->click();
    dialog.monthBox(0)->click();
    dialog.monthBox(11)->click();
    dialog.checkBox(TOTAL_BOX_ID)->click();
    QVERIFY(!dialog.state().printHeader);
    QVERIFY(dialog.state().markSex);
    QVERIFY(dialog.state().totalChecked);
    for (int row = 0; row < MONTH_ROWS; ++row)
        QCOMPARE(dialog.state().monthChecked[std::size_t(row)], row == 0 || row == 11);
}

void PublisherListTest::longNameBoxAndUserSelection() {
    DialogRun run;
    writeCurrentYear(run.folder(), typingPeople());
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCheckBox* longName = dialog.checkBox(LONG_NAME_BOX_ID);
    longName->click();
    QCOMPARE(dialog.state().useLongName, 0);
    QVERIFY(!dialog.settingsChanged());
    PublisherListBox* list = dialog.publisherList();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(dialog.state().selectedRecord, 2);
    QCOMPARE(dialog.state().useLongName, 1);
    QVERIFY(longName->isChecked());

    longName->click();
    const QRect line = list->visualItemRect(list->item(3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
    QCOMPARE(dialog.state().selectedRecord, 4);
    QCOMPARE(dialog.state().useLongName, 1);
    QVERIFY(longName->isChecked());
    dialog.closeMainDialog();
}

void PublisherListTest::onlyAnotherLineTakesTheSelection_data() {
    QTest::addColumn<int>("gesture");
    QTest::addColumn<int>("row"); // selected afterwards; line 0 is selected before
    QTest::newRow("click below the last line") << 0 << 0;
    QTest::newRow("ctrl+click on the selected line") << 1 << 0;
    QTest::newRow("ctrl+space") << 2 << 0;
    QTest::newRow("click on another line") << 3 << 1;
}

// The publisher list and the card-version list of the options dialog alike.
void PublisherListTest::onlyAnotherLineTakesTheSelection() {
    QFETCH(int, gesture);
    QFETCH(int, row);
    DialogRun run;
    writeCurrentYear(run.folder(), {person("Jonas", "Žukas"), person("Ona", "Adomaitė")});
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    OptionsDialog options(run.folder(), &dialog);
    options.show();
    QVERIFY(QTest::qWaitForWindowExposed(&options));
    for (QListWidget* list : {static_cast<QListWidget*>(dialog.publisherList()),
                              options.controlAs<QListWidget>(OptionsDialog::CARD_VERSION_LIST)}) {
        list->setCurrentRow(0);
        const QRect last = list->visualItemRect(list->item(list->count() - 1));
        const QPoint below(last.center().x(), last.bottom() + 4);
        QVERIFY(list->viewport()->rect().contains(below));
        const QPoint selected = list->visualItemRect(list->item(0)).center();
        switch (gesture) {
        case 0:
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
            break;
        case 1:
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, selected);
            break;
        case 2:
            QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
            break;
        default:
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(1)).center());
        }
        QCOMPARE(list->selectedItems().size(), 1);
        QCOMPARE(list->row(list->selectedItems().front()), row);
    }
    QCOMPARE(dialog.state().selectedRecord, row + 1);
    options.reject();
    dialog.closeMainDialog();
}

void PublisherListTest::optionsCancelRebuildsAfterAChange() {
    DialogRun run;
    writeCurrentYear(run.folder(), typingPeople());
    MainDialog& dialog = run.start(APRIL_2027);
    int runs = 0;
    dialog.setOptionsRunner([&](MainDialog&, OptionsValues&) {
        ++runs;
        return false;
    });
    dialog.publisherList()->selectLine(2);
    dialog.selectionChanged();
    dialog.button(OPTIONS_BUTTON_ID)->click();
    QCOMPARE(runs, 1);
    QCOMPARE(dialog.publisherList()->selectedRow(), 2);

    dialog.checkBox(LAST_NAME_FIRST_BOX_ID)->click();
    dialog.button(OPTIONS_BUTTON_ID)->click();
    QCOMPARE(runs, 2);
    QCOMPARE(dialog.publisherList()->selectedRow(), 0);
    QCOMPARE(dialog.state().selectedRecord, 1);
}

void PublisherListTest::optionsOkTakesTheValues() {
    DialogRun run;
    writeCurrentYear(run.folder(), typingPeople());
    MainDialog& dialog = run.start(APRIL_2027);

    // OK with nothing changed: nothing to save.
    dialog.setOptionsRunner([](MainDialog&, OptionsValues&) { return true; });
    dialog.openOptions();
    QVERIFY(!dialog.settingsChanged());

    // One byte of the layout is a change.
    dialog.setOptionsRunner([](MainDialog&, OptionsValues& v) {
        v.layout.setColumnX(2, "3.33");
        return true;
    });
    dialog.openOptions();
    QVERIFY(dialog.settingsChanged());
    QCOMPARE(dialog.state().layout.columnX(2), std::string("3.33"));

    dialog.setOptionsRunner([](MainDialog&, OptionsValues& v) {
        v.cardVersion = 1;
        v.dateFormat = 2;
        v.marginTop = "0.50";
        v.marginLeft = "0.25";
        return true;
    });
    dialog.openOptions();
    QCOMPARE(dialog.state().cardVersion, 1);
    QCOMPARE(dialog.state().dateFormat, 2);
    QCOMPARE(dialog.state().marginTop, std::string("0.50"));
    QCOMPARE(dialog.state().marginLeft, std::string("0.25"));
    QCOMPARE(dialog.state().columnSet, columnSetOf(1));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Pelkorl - S-21-L  1/06  Printed in Finland"));
    dialog.closeMainDialog();
    QVERIFY(fs::exists(run.folder() / "cplot1.dat"));
    QVERIFY(!fs::exists(run.folder() / "cplot.dat"));
    QCOMPARE(ProfileFile(run.settingsFile).getString("Format", "Alt Date Format", "?"),
             std::string("2"));
}

void PublisherListTest::locationChangeReloadsFromTheNewPlace() {
    DialogRun run;
    writeCurrentYear(run.folder(), typingPeople());
    const fs::path removable = run.folder() / "diskas";
    fs::create_directories(removable);
    writeCurrentYear(removable, {person("Nauja", "Skelbėja"), person("Kitas", "Skelbėjas")});
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.setLocationChooser([&](MainDialog&, int& chosen, fs::path& folder, bool) {
        chosen = 1;
        folder = removable;
        return true;
    });
    messages.plan(MessageBoxWatcher::Press::Ok);
    dialog.changeDataLocation();
    QCOMPARE(int(dialog.dataDrive()), 1);
    QVERIFY(dialog.settingsChanged());
    QCOMPARE(dialog.publisherList()->count(), 2);
    QCOMPARE(dialog.publisherList()->item(0)->text(), QStringLiteral("Skelbėja, Nauja"));
    QCOMPARE(messages.boxes().size(), std::size_t(1));
    dialog.closeMainDialog();
    const ProfileFile profile(run.settingsFile);
    QCOMPARE(profile.getString("Data Location", "Drive", "?"), std::string("1"));
    QCOMPARE(fs::path(profile.getString("Data Location", "Folder", "?")), removable);
}

void PublisherListTest::locationChangeKeepsDataWhenDeclined() {
    DialogRun run;
    writeCurrentYear(run.folder(), typingPeople());
    const fs::path removable = run.folder() / "diskas";
    fs::create_directories(removable);
    writeCurrentYear(removable, {person("Nauja", "Skelbėja")}, "kita");
    MainDialog& dialog = run.start(APRIL_2027);
    dialog.setLocationChooser([&](MainDialog&, int& chosen, fs::path& folder, bool) {
        chosen = 1;
        folder = removable;
        return true;
    });
    int prompts = 0;
    dialog.setPasswordPrompt([&](const std::string&) {
        ++prompts;
        return false;
    });

    // Cancel on the question: back to the current folder, the data stay.
    messages.plan(MessageBoxWatcher::Press::Cancel);
    dialog.publisherList()->selectLine(3);
    dialog.changeDataLocation();
    QCOMPARE(int(dialog.dataDrive()), 0);
    QVERIFY(dialog.settingsChanged());
    QCOMPARE(dialog.publisherList()->count(), 6);
    QCOMPARE(dialog.publisherList()->selectedRow(), 0);
    QCOMPARE(prompts, 0);

    // A refused password: back to the current folder, whose data are read again.
    messages.plan(MessageBoxWatcher::Press::Ok);
    dialog.changeDataLocation();
    QCOMPARE(prompts, 1);
    QCOMPARE(int(dialog.dataDrive()), 0);
    QCOMPARE(dialog.publisherList()->count(), 6);
    QCOMPARE(dialog.publisherList()->item(0)->text(), QStringLiteral("Adomaitis, Jonas"));
}

QTEST_MAIN(PublisherListTest)
#include "publisherlist_test.moc"
