#include "card/cardlayout.h"
#include "dialogs/detailedlayoutdialog.h"
#include "dialogs/optionsdialog.h"
#include "messageboxwatcher.h"
#include "printing/printjob.h"
#include "settings/layoutfile.h"
#include "standinform.h"
#include "testfiles.h"
#include "text/strings.h"
#include "toolkit/messagebox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

using namespace pelkorl;
namespace fs = std::filesystem;

namespace {

// Runs `drive` inside the dialog's modal loop; whatever it leaves open is cancelled.
int runModal(QDialog& dialog, std::function<void()> drive) {
    QTimer::singleShot(0, &dialog, [&dialog, drive] {
        if (QTest::qWaitForWindowActive(&dialog)) {
            drive();
        }
        if (dialog.isVisible()) {
            dialog.reject();
        }
    });
    return dialog.exec();
}

void click(TemplateDialog& dialog, int id) {
    QTest::mouseClick(dialog.control(id), Qt::LeftButton);
}

// Types into a box and leaves it with Tab or Enter, then lets the queued checks run.
void typeInto(QLineEdit* edit, const QString& text, Qt::Key leaveWith = Qt::Key_Tab) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, leaveWith);
    QCoreApplication::processEvents();
}

QString spinText(const TemplateDialog& dialog, int spinId) {
    return qobject_cast<QLabel*>(dialog.controlAs<UpDownControl>(spinId)->buddy())->text();
}

CardLayout defaultsOf(int version) {
    CardLayout layout;
    setLayoutDefaults(layout, version);
    return layout;
}

// A layout whose spare slots carry bytes that must pass through untouched.
CardLayout layoutWithSpares(int version) {
    CardLayout layout = defaultsOf(version);
    layout.setSlotText(30, "spare");
    layout.values[49].bytes = {'9', '\0', 'x', 'y', 'z', '\0', '\0', '\1'};
    return layout;
}

QString messageText() {
    return QString::fromStdString(loadText(116));
}

} // namespace

class LayoutDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { messages.reset(); }

    void detailedLabelsFollowColumnSet_data();
    void detailedLabelsFollowColumnSet();
    void detailedChecksEntryAfterFocusLeaves_data();
    void detailedChecksEntryAfterFocusLeaves();
    void detailedOkReadsBoxesBackCut();
    void detailedRestoreShowsDefaults_data();
    void detailedRestoreShowsDefaults();
    void detailedCancelNeedsNoValidEntry();
    void detailedLayoutFromForm_data();
    void detailedLayoutFromForm();

    void optionsOpening_data();
    void optionsOpening();
    void optionsSpinnerSteps_data();
    void optionsSpinnerSteps();
    void optionsRestoreOnlyTable_data();
    void optionsRestoreOnlyTable();
    void optionsVersionSwitchRoundTrip();
    void optionsCancelAfterSwitchKeepsWrittenFile();
    void optionsMargins_data();
    void optionsMargins();
    void optionsDetailedLayoutOkAndCancel();
    void optionsDataLocationAndPrinterSetup();

private:
    test::MessageBoxWatcher messages;
};

void LayoutDialogsTest::detailedLabelsFollowColumnSet_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("labels"); // 1076, 1075, 1077, 1078, 1079 ("" hidden)
    QTest::addColumn<QString>("title");
    QTest::newRow("placements") << 0
                                << QStringList{"Leidiniai", "Parodyta siužetų", "Pakart. aplank.",
                                               "Biblijos studijos", ""}
                                << "Detalus maketas - S-21-L  9/15";
    QTest::newRow("literature") << 1
                                << QStringList{"Knygos", "Brošiüros", "Žurnalai", "Pakart. aplank.",
                                               "Biblijos studijos"}
                                << "Detalus maketas - S-21-L  1/06  Printed in Finland";
    QTest::newRow("ministry") << 2
                              << QStringList{"Dalyvavo tarnyboje", "Biblijos studijos", "Valandos",
                                             "Mėnesių stulpelis", "Kortelės plotis"}
                              << "Detalus maketas - S-21-L  11/23";
}

void LayoutDialogsTest::detailedLabelsFollowColumnSet() {
    QFETCH(int, version);
    QFETCH(QStringList, labels);
    QFETCH(QString, title);
    DetailedLayoutDialog dialog;
    dialog.setCardVersion(version);
    dialog.setCardLayout(defaultsOf(version));
    runModal(dialog, [&] {
        const int ids[] = {1076, 1075, 1077, 1078, 1079};
        for (int i = 0; i < 5; ++i) {
            QLabel* label = dialog.controlAs<QLabel>(ids[i]);
            QCOMPARE(label->isVisible() ? label->text() : QString(), labels[i]);
        }
        QCOMPARE(dialog.control(1073)->isVisible(), !labels[4].isEmpty());
        QCOMPARE(dialog.controlAs<QLabel>(1081)->text(),
                 QString(version == 2 ? "Tarnybos metai" : "Adresas"));
        // The 11/23 card counts from the paper's edges and centres some figures on theirs.
        QCOMPARE(dialog.controlAs<QLabel>(1096)->text(),
                 QString(version == 2 ? "Metai, studijos, valandos: X - lauko vidurys."
                                      : "Skaitmenys lygiuojami dešinyn."));
        QCOMPARE(dialog.controlAs<QLabel>(1094)->text().contains("lapo"), version == 2);
        QCOMPARE(
            dialog.controlAs<QPushButton>(DetailedLayoutDialog::FORM_LAYOUT_BUTTON_ID)->isVisible(),
            version == 2);
        QCOMPARE(dialog.showsPlacements(), version == 0);
        QCOMPARE(dialog.windowTitle(), title);
        QCOMPARE(dialog.controlAs<QPushButton>(1064)->text(),
                 QString(title).replace("Detalus maketas", "Atkurti standartą"));
        QVERIFY(dialog.control(1031)->hasFocus());
    });
}

void LayoutDialogsTest::detailedChecksEntryAfterFocusLeaves_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("leaveWith");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("5 tab") << "5" << int(Qt::Key_Tab) << "5.00" << true;
    QTest::newRow("125 tab") << "125" << int(Qt::Key_Tab) << "1.25" << true;
    QTest::newRow("12.5 tab") << "12.5" << int(Qt::Key_Tab) << "12.5" << false;
    // Enter on a box never left it: OK checks it before taking it.
    QTest::newRow("125 enter") << "125" << int(Qt::Key_Return) << "1.25" << true;
    QTest::newRow("12.5 enter") << "12.5" << int(Qt::Key_Return) << "12.5" << false;
}

void LayoutDialogsTest::detailedChecksEntryAfterFocusLeaves() {
    QFETCH(QString, typed);
    QFETCH(int, leaveWith);
    QFETCH(QString, shown);
    QFETCH(bool, accepted);
    DetailedLayoutDialog dialog;
    dialog.setCardLayout(defaultsOf(0));
    const bool enter = leaveWith == Qt::Key_Return;
    if (!accepted)
        messages.plan(test::MessageBoxWatcher::Press::Ok);
    const int result = runModal(dialog, [&] {
        auto* box = dialog.controlAs<QLineEdit>(1066);
        typeInto(box, typed, Qt::Key(leaveWith));
        if (enter && accepted) {
            QVERIFY(!dialog.isVisible());
            return;
        }
        QCOMPARE(box->text(), shown);
        // A refusal shows a message box, which takes the activation; within the dialog the
        // focus is the box's again (the offscreen platform does not reactivate the dialog).
        QCOMPARE(dialog.focusWidget() == box, !accepted);
        QVERIFY(dialog.isVisible());
    });
    QCOMPARE(messages.boxes().size(), std::size_t(accepted ? 0 : 1));
    if (!accepted) {
        QCOMPARE(messages.boxes().front().text, messageText());
    }
    QCOMPARE(result == QDialog::Accepted, enter && accepted);
    if (result == QDialog::Accepted) {
        QCOMPARE(dialog.cardLayout().tableTop(), shown.toStdString());
    }
}

void LayoutDialogsTest::detailedOkReadsBoxesBackCut() {
    const CardLayout original = layoutWithSpares(0);
    DetailedLayoutDialog dialog;
    CardLayout given = original;
    given.setColumnX(5, "4.44"); // the hidden box's slot
    dialog.setCardLayout(given);
    const int result = runModal(dialog, [&] {
        QCOMPARE(dialog.controlAs<QLineEdit>(1073)->text(), QString("4.44"));
        typeInto(dialog.controlAs<QLineEdit>(1074), "1.234567890");
        click(dialog, ID_OK);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    CardLayout expected = original;
    expected.setColumnX(5, "4.44");
    expected.setColumnX(6, "1.23456");
    QVERIFY(dialog.cardLayout() == expected);
}

void LayoutDialogsTest::detailedRestoreShowsDefaults_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("boxes"); // 1031, 1043, 1066, 1067, 1068, 1032, 1046
    QTest::newRow("version 0") << 0 << QStringList{"0.60", "0.22", "1.32", "1.99",
                                                   "1.00", "0.30", "0.57"};
    QTest::newRow("version 1") << 1 << QStringList{"0.60", "0.22", "1.32", "1.99",
                                                   "0.62", "0.30", "0.57"};
    // Rows 1 and 3 edit the service year (its middle) and the special pioneer box, kept in
    // spare slots.
    QTest::newRow("version 2") << 2 << QStringList{"0.74", "0.92", "2.84", "3.31",
                                                   "1.86", "0.83", "1.61"};
}

void LayoutDialogsTest::detailedRestoreShowsDefaults() {
    QFETCH(int, version);
    QFETCH(QStringList, boxes);
    DetailedLayoutDialog dialog;
    dialog.setCardVersion(version);
    CardLayout given = layoutWithSpares(version);
    given.setHeaderX(0, "3.00");
    dialog.setCardLayout(given);
    runModal(dialog, [&] {
        typeInto(dialog.controlAs<QLineEdit>(1066), "2");
        click(dialog, 1064);
        const int ids[] = {1031, 1043, 1066, 1067, 1068, 1032, 1046};
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(dialog.controlAs<QLineEdit>(ids[i])->text(), boxes[i]);
        }
        click(dialog, ID_OK);
    });
    QVERIFY(dialog.cardLayout() == defaultsOf(version)); // spare slots reset too
}

void LayoutDialogsTest::detailedCancelNeedsNoValidEntry() {
    DetailedLayoutDialog dialog;
    dialog.setCardLayout(defaultsOf(0));
    const int result = runModal(dialog, [&] {
        auto* box = dialog.controlAs<QLineEdit>(1031);
        box->setFocus();
        QTest::keyClicks(box, "x");
        click(dialog, ID_CANCEL);
        QCoreApplication::processEvents();
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(messages.boxes().empty());
}

void LayoutDialogsTest::detailedLayoutFromForm_data() {
    QTest::addColumn<QString>("change"); // of the stand-in form
    QTest::addColumn<QString>("hoursX"); // box 1071 afterwards
    QTest::addColumn<QString>("reason"); // second line of the message, if any
    // The hours are centred: their fields' middles.
    QTest::newRow("branch's form") << ""
                                   << "4.84"
                                   << "";
    QTest::newRow("Polish edition") << "hours at 326.14"
                                    << "4.92"
                                    << "";
    // Only read: an owner password alone does not keep it from being read.
    QTest::newRow("owner password") << "owner password"
                                    << "4.84"
                                    << "";
    QTest::newRow("no total") << "no 904_32_S21_Value"
                              << "9.00"
                              << "formoje nėra lauko „904_32_S21_Value“: tai ne S-21 11/23 forma.";
    QTest::newRow("protected") << "user password"
                               << "9.00"
                               << "PDF failas apsaugotas: jis atidaromas tik su slaptažodžiu.";
    QTest::newRow("not a PDF") << "text"
                               << "9.00"
                               << "PDF failas sugadintas: S-21 forma.pdf";
}

void LayoutDialogsTest::detailedLayoutFromForm() {
    QFETCH(QString, change);
    QFETCH(QString, hoursX);
    QFETCH(QString, reason);
    test::TempFolder folder;
    const auto path = folder.path() / "S-21 forma.pdf";
    const QString file = QString::fromStdString(path.string());
    test::StandInOptions options;
    options.hoursX = change == "hours at 326.14" ? 326.14 : options.hoursX;
    options.encrypt = change == "owner password";
    options.userPassword = change == "user password" ? "slaptas" : "";
    options.leaveOut = change == "no 904_32_S21_Value" ? "904_32_S21_Value" : "";
    if (change == "text")
        test::writeBytes(path, "%PDF-1.7 no more\n");
    else
        QVERIFY(test::writeStandInForm(path, options));

    DetailedLayoutDialog dialog;
    dialog.setCardVersion(2);
    dialog.setCardLayout(defaultsOf(2));
    dialog.setFormChooser([&](QWidget*) { return file; });
    if (!reason.isEmpty())
        messages.plan(test::MessageBoxWatcher::Press::Ok);
    const int result = runModal(dialog, [&] {
        auto* hours = dialog.controlAs<QLineEdit>(1071);
        auto* mobile = dialog.controlAs<QLineEdit>(1034); // the special pioneer box's x
        hours->setText("9.00");
        mobile->setText("9.00");
        auto* button = dialog.controlAs<QPushButton>(DetailedLayoutDialog::FORM_LAYOUT_BUTTON_ID);
        QVERIFY(button->isVisible());
        button->click();
        QCOMPARE(hours->text(), hoursX);
        QCOMPARE(mobile->text(), reason.isEmpty() ? "4.71" : "9.00");
        click(dialog, ID_OK);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(dialog.cardLayout().columnX(3), hoursX.toStdString());
    QCOMPARE(messages.boxes().size(), std::size_t(reason.isEmpty() ? 0 : 1));
    if (!reason.isEmpty()) {
        const QStringList lines = messages.boxes().front().text.split('\n');
        QCOMPARE(lines.value(0),
                 "Maketo iš „" + QDir::toNativeSeparators(file) + "“ paimti nepavyko:");
        // A damaged file's reason goes on with qpdf's own complaint.
        QVERIFY2(lines.value(1).startsWith(reason), qPrintable(lines.value(1)));
    }
}

void LayoutDialogsTest::optionsOpening_data() {
    QTest::addColumn<int>("dateFormat");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("row");
    QTest::newRow("format 0, version 0") << 0 << 0 << 0;
    QTest::newRow("format 3, version 1") << 3 << 1 << 1;
    QTest::newRow("version beyond the list") << 2 << 5 << 0;
}

void LayoutDialogsTest::optionsOpening() {
    QFETCH(int, dateFormat);
    QFETCH(int, version);
    QFETCH(int, row);
    test::TempFolder folder;
    OptionsDialog dialog(folder.path());
    dialog.setDateFormat(dateFormat);
    dialog.setCardVersion(version);
    dialog.setMargins("0.10", "0.20");
    CardLayout given = defaultsOf(1);
    given.setTableHeight("1.70");
    dialog.setCardLayout(given);
    const int result = runModal(dialog, [&] {
        QVERIFY(dialog.controlAs<QRadioButton>(1015 + dateFormat)->isChecked());
        QCOMPARE(dialog.controlAs<QLineEdit>(1014)->text(), QString("0.10"));
        QCOMPARE(dialog.controlAs<QLineEdit>(1019)->text(), QString("0.20"));
        QCOMPARE(spinText(dialog, 1057), QString("1.32"));
        QCOMPARE(spinText(dialog, 1058), QString("1.70"));
        QCOMPARE(dialog.controlAs<UpDownControl>(1057)->value(), 132);
        QCOMPARE(dialog.controlAs<UpDownControl>(1058)->value(), 170);
        auto* list = dialog.controlAs<QListWidget>(1067);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(1)->text(), QString("S-21-L  1/06  Printed in Finland"));
        QCOMPARE(list->item(2)->text(), QString("S-21-L  11/23"));
        QCOMPARE(list->currentRow(), row);
        click(dialog, 1015 + (dateFormat + 1) % 4);
        click(dialog, ID_OK);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(dialog.cardVersion(), row);
    QCOMPARE(dialog.dateFormat(), (dateFormat + 1) % 4);
    QVERIFY(fs::is_empty(folder.path())); // no version was switched
}

void LayoutDialogsTest::optionsSpinnerSteps_data() {
    QTest::addColumn<int>("spin");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("steps"); // > 0 up, < 0 down
    QTest::addColumn<QString>("expected");
    QTest::newRow("top stays at 1.50") << 1057 << "1.50" << 1 << "1.50";
    QTest::newRow("height stays at 1.50") << 1058 << "1.50" << -1 << "1.50";
    QTest::newRow("top three up") << 1057 << "1.32" << 3 << "1.35";
    QTest::newRow("below 1.00 keeps its 0") << 1057 << "0.80" << 1 << "0.81";
}

void LayoutDialogsTest::optionsSpinnerSteps() {
    QFETCH(int, spin);
    QFETCH(QString, start);
    QFETCH(int, steps);
    QFETCH(QString, expected);
    test::TempFolder folder;
    OptionsDialog dialog(folder.path());
    CardLayout before = defaultsOf(0);
    before.setSlotText(spin == 1057 ? SLOT_TABLE_TOP : SLOT_TABLE_HEIGHT, start.toStdString());
    dialog.setCardLayout(before);
    runModal(dialog, [&] {
        auto* upDown = dialog.controlAs<UpDownControl>(spin);
        for (int i = 0; i < std::abs(steps); ++i) {
            QTest::mouseClick(steps > 0 ? upDown->upButton() : upDown->downButton(),
                              Qt::LeftButton);
        }
        QCOMPARE(spinText(dialog, spin), expected);
    });
    CardLayout changed = before;
    changed.setSlotText(spin == 1057 ? SLOT_TABLE_TOP : SLOT_TABLE_HEIGHT, expected.toStdString());
    QVERIFY(dialog.cardLayout() == changed);
}

void LayoutDialogsTest::optionsRestoreOnlyTable_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("height");
    QTest::newRow("version 0") << 0 << "1.32"
                               << "1.99";
    QTest::newRow("version 1") << 1 << "1.32"
                               << "1.99";
    QTest::newRow("version 2, its own table") << 2 << "2.84"
                                              << "3.31";
}

void LayoutDialogsTest::optionsRestoreOnlyTable() {
    QFETCH(int, version);
    QFETCH(QString, top);
    QFETCH(QString, height);
    test::TempFolder folder;
    OptionsDialog dialog(folder.path());
    dialog.setCardVersion(version);
    CardLayout expected = layoutWithSpares(version);
    expected.setTableTop("1.45");
    expected.setTableHeight("2.10");
    expected.setHeaderX(0, "3.33");
    dialog.setCardLayout(expected);
    expected.setTableTop(top.toStdString());
    expected.setTableHeight(height.toStdString());
    runModal(dialog, [&] {
        click(dialog, 1061);
        QCOMPARE(spinText(dialog, 1057), top);
        QCOMPARE(spinText(dialog, 1058), height);
    });
    QVERIFY(dialog.cardLayout() == expected);
}

void LayoutDialogsTest::optionsVersionSwitchRoundTrip() {
    test::TempFolder folder;
    const CardLayout version0 = [] {
        CardLayout layout = layoutWithSpares(0);
        layout.setTableTop("1.45");
        return layout;
    }();
    OptionsDialog dialog(folder.path());
    dialog.setCardLayout(version0);
    const int result = runModal(dialog, [&] {
        auto* list = dialog.controlAs<QListWidget>(1067);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        QCOMPARE(dialog.cardVersion(), 1);
        QCOMPARE(test::readBytes(folder.path() / "cplot.dat"),
                 std::string(version0.bytes().data(), CARD_LAYOUT_SIZE));
        QVERIFY(dialog.cardLayout() == defaultsOf(1)); // no file of version 1 yet
        QTest::mouseClick(dialog.controlAs<UpDownControl>(1057)->upButton(), Qt::LeftButton);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        QVERIFY(dialog.cardLayout() == version0);
        QCOMPARE(spinText(dialog, 1057), QString("1.45"));
        click(dialog, ID_OK);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(dialog.cardVersion(), 0);
    CardLayout version1;
    QVERIFY(loadLayout(version1, 1, folder.path()));
    QCOMPARE(version1.tableTop(), std::string("1.33"));
}

void LayoutDialogsTest::optionsCancelAfterSwitchKeepsWrittenFile() {
    test::TempFolder folder;
    OptionsDialog dialog(folder.path());
    CardLayout atSwitch = layoutWithSpares(0);
    dialog.setCardLayout(atSwitch);
    atSwitch.setTableHeight("1.98");
    const int result = runModal(dialog, [&] {
        QTest::mouseClick(dialog.controlAs<UpDownControl>(1058)->downButton(), Qt::LeftButton);
        dialog.controlAs<QListWidget>(1067)->setCurrentRow(1);
        click(dialog, ID_CANCEL);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    const auto files = test::folderContents(folder.path());
    QCOMPARE(files.size(), std::size_t(1)); // only the file of the version left
    QCOMPARE(files.begin()->second, std::string(atSwitch.bytes().data(), CARD_LAYOUT_SIZE));
}

void LayoutDialogsTest::optionsMargins_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("leaveWith");
    QTest::addColumn<QString>("kept");
    QTest::newRow("5") << "5" << int(Qt::Key_Tab) << "5.00";
    QTest::newRow("125") << "125" << int(Qt::Key_Tab) << "1.25";
    QTest::newRow("12.5 refused") << "12.5" << int(Qt::Key_Tab) << "0.20";
    QTest::newRow("0.3 enter") << "0.3" << int(Qt::Key_Return) << "0.30";
    QTest::newRow("1,5 enter refused") << "1,5" << int(Qt::Key_Return) << "0.20";
}

void LayoutDialogsTest::optionsMargins() {
    QFETCH(QString, typed);
    QFETCH(int, leaveWith);
    QFETCH(QString, kept);
    test::TempFolder folder;
    OptionsDialog dialog(folder.path());
    dialog.setMargins("0.10", "0.20");
    dialog.setCardLayout(defaultsOf(0));
    const bool refused = kept == "0.20";
    if (refused)
        messages.plan(test::MessageBoxWatcher::Press::Ok);
    const int result = runModal(dialog, [&] {
        auto* left = dialog.controlAs<QLineEdit>(1019);
        typeInto(left, typed, Qt::Key(leaveWith));
        if (dialog.isVisible()) {
            QCOMPARE(left->text(), kept);
            QCOMPARE(dialog.marginLeft(), kept.toStdString());
        }
    });
    QCOMPARE(result == QDialog::Accepted, leaveWith == Qt::Key_Return && !refused);
    QCOMPARE(dialog.marginLeft(), kept.toStdString());
    QCOMPARE(dialog.marginTop(), std::string("0.10"));
    QCOMPARE(messages.boxes().size(), std::size_t(refused ? 1 : 0));
}

void LayoutDialogsTest::optionsDetailedLayoutOkAndCancel() {
    test::TempFolder folder;
    OptionsDialog dialog(folder.path());
    dialog.setCardVersion(1);
    const CardLayout before = layoutWithSpares(1);
    dialog.setCardLayout(before);
    // Drives the detailed layout dialog once it runs inside the options dialog.
    auto whenDetailedOpens = [&](std::function<void(DetailedLayoutDialog&)> drive) {
        QTimer::singleShot(0, &dialog, [&dialog, drive] {
            auto* detailed = dialog.findChild<DetailedLayoutDialog*>();
            QVERIFY(detailed && QTest::qWaitForWindowActive(detailed));
            QCOMPARE(detailed->cardVersion(), 1);
            drive(*detailed);
            if (detailed->isVisible()) {
                detailed->reject();
            }
        });
    };
    runModal(dialog, [&] {
        whenDetailedOpens([](DetailedLayoutDialog& detailed) {
            typeInto(detailed.controlAs<QLineEdit>(1066), "1.4");
            click(detailed, 1064);
            typeInto(detailed.controlAs<QLineEdit>(1031), "2");
            click(detailed, ID_CANCEL);
        });
        click(dialog, 1062);
        QVERIFY(dialog.cardLayout() == before);
        whenDetailedOpens([](DetailedLayoutDialog& detailed) {
            typeInto(detailed.controlAs<QLineEdit>(1066), "1.4");
            click(detailed, ID_OK);
        });
        click(dialog, 1062);
        QCOMPARE(spinText(dialog, 1057), QString("1.40"));
        QCOMPARE(dialog.controlAs<UpDownControl>(1057)->value(), 140);
    });
    CardLayout expected = before;
    expected.setTableTop("1.40");
    QVERIFY(dialog.cardLayout() == expected);
}

namespace {

class NoPrinters : public PrinterSource {
public:
    QString defaultPrinterName() const override { return {}; }
    std::unique_ptr<QPrinter> open(const QString&) const override { return nullptr; }
};

} // namespace

void LayoutDialogsTest::optionsDataLocationAndPrinterSetup() {
    test::TempFolder folder;
    OptionsDialog dialog(folder.path());
    dialog.setCardLayout(defaultsOf(0));
    int locationRuns = 0;
    dialog.setChangeDataLocation([&] {
        QVERIFY(dialog.isVisible());
        ++locationRuns;
    });
    ApplicationPrinter printer(std::make_shared<NoPrinters>());
    dialog.setApplicationPrinter(&printer);
    const QString file = QString::fromStdString((folder.path() / "card.pdf").string());
    QStringList startedFrom;
    bool confirm = false;
    dialog.setPrinterSetupDialog([&](QPrinter& chosen, QWidget* parent) {
        startedFrom << chosen.outputFileName();
        if (parent != &dialog) {
            return false;
        }
        chosen.setOutputFileName(file);
        return confirm;
    });
    runModal(dialog, [&] {
        click(dialog, 1013);
        click(dialog, 1012); // cancelled: nothing picked
        QVERIFY(!printer.hasPickedPrinter());
        confirm = true;
        click(dialog, 1012);
        click(dialog, 1012); // starts from the pick
        QVERIFY(dialog.isVisible());
    });
    QCOMPARE(locationRuns, 1);
    QCOMPARE(startedFrom, (QStringList{"", "", file}));
    QPrinter* next = printer.printerForCommand();
    QVERIFY(next);
    QCOMPARE(next->outputFileName(), file);
}

QTEST_MAIN(LayoutDialogsTest)
#include "layoutdialogs_test.moc"
