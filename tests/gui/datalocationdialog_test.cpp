// The data location dialog: preselection, the probe on OK, the folder picker, Cancel.
#include "dialogs/datalocationdialog.h"
#include "testfiles.h"
#include "text/dialogs.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace pelkorl;
namespace fs = std::filesystem;

namespace {

QRadioButton* radio(const DataLocationDialog& dialog, int id) {
    return dialog.controlAs<QRadioButton>(id);
}

bool messageShown(const DataLocationDialog& dialog) {
    return !dialog.control(DRIVE_UNAVAILABLE_TEXT_ID)->isHidden();
}

QString qPath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

class DataLocationDialogTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void opensWithChoiceAndMessage_data();
    void opensWithChoiceAndMessage();
    void pickerButtonSitsBesideDriveAWithoutMovingTheTemplate();
    void okTakesTheCheckedLocation_data();
    void okTakesTheCheckedLocation();
    void unusableFolderKeepsTheDialogOpen();
    void pickedFolderSelectsDriveA();
    void cancelKeepsChosenDriveAndFolder();
    void modalRunEndsOnEscape();

private:
    QStringList pickerCalls;
};

void DataLocationDialogTest::cleanup() {
    DataLocationDialog::setFolderPicker({});
    pickerCalls.clear();
}

void DataLocationDialogTest::opensWithChoiceAndMessage_data() {
    QTest::addColumn<int>("chosenDrive");
    QTest::addColumn<int>("driveUnavailable");
    QTest::addColumn<int>("checked");
    QTest::addColumn<QString>("folder");
    // The message's last line: the folder that was looked for.
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("current folder") << 0 << 0 << CURRENT_FOLDER_RADIO_ID << ""
                                    << "";
    QTest::newRow("drive A:") << 1 << 0 << DRIVE_A_RADIO_ID << "/media/usb"
                              << "";
    QTest::newRow("drive A: unavailable at start-up") << 1 << 1 << DRIVE_A_RADIO_ID << "/media/usb"
                                                      << "Ieškota aplanke: /media/usb";
    QTest::newRow("unavailable, no folder chosen") << 1 << 1 << DRIVE_A_RADIO_ID << ""
                                                   << "Aplankas nepasirinktas.";
    QTest::newRow("an odd stored value") << 7 << 0 << CURRENT_FOLDER_RADIO_ID << ""
                                         << "";
}

void DataLocationDialogTest::opensWithChoiceAndMessage() {
    QFETCH(int, chosenDrive);
    QFETCH(int, driveUnavailable);
    QFETCH(int, checked);
    QFETCH(QString, folder);
    QFETCH(QString, lastLine);
    DataLocationDialog dialog;
    QCOMPARE(dialog.chosenDrive(), 0);
    QVERIFY(!dialog.driveUnavailable());
    dialog.setRemovableFolder(folder.toStdString());
    dialog.setChosenDrive(chosenDrive);
    dialog.setDriveUnavailable(driveUnavailable == 1);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(radio(dialog, checked)->isChecked());
    const int other = checked == DRIVE_A_RADIO_ID ? CURRENT_FOLDER_RADIO_ID : DRIVE_A_RADIO_ID;
    QVERIFY(!radio(dialog, other)->isChecked());
    QCOMPARE(messageShown(dialog), driveUnavailable == 1);
#ifndef Q_OS_WIN
    if (driveUnavailable == 1)
        QCOMPARE(dialog.controlAs<QLabel>(DRIVE_UNAVAILABLE_TEXT_ID)->text().split('\n').last(),
                 lastLine);
#endif
    dialog.reject();
}

void DataLocationDialogTest::pickerButtonSitsBesideDriveAWithoutMovingTheTemplate() {
    DataLocationDialog dialog;
    QPushButton* button = dialog.folderButton();
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Aplankas..."));
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("control207")), button);
    QVERIFY(dialog.rect().contains(button->geometry()));
    QVERIFY(!button->isDefault());

    const DialogTemplate& t = dialogTemplate(DATA_LOCATION_DIALOG_ID);
    for (const ControlTemplate& c : t.controls) {
        const QRect place = dialogUnitsToPixels(c.x, c.y, c.w, c.h, dialog.controls().baseUnits());
        QCOMPARE(dialog.control(c.id)->geometry(), place);
        QVERIFY2(!place.intersects(button->geometry()), qPrintable(QString::number(c.id)));
    }
    // Right under radio 206, above radio 208.
    const QRect driveA = dialog.control(DRIVE_A_RADIO_ID)->geometry();
    const QRect current = dialog.control(CURRENT_FOLDER_RADIO_ID)->geometry();
    QVERIFY(button->geometry().top() >= driveA.bottom());
    QVERIFY(button->geometry().bottom() < current.top());
}

void DataLocationDialogTest::okTakesTheCheckedLocation_data() {
    QTest::addColumn<int>("click");
    QTest::addColumn<int>("chosen");
    QTest::newRow("current folder") << CURRENT_FOLDER_RADIO_ID << 0;
    QTest::newRow("drive A:") << DRIVE_A_RADIO_ID << 1;
}

void DataLocationDialogTest::okTakesTheCheckedLocation() {
    QFETCH(int, click);
    QFETCH(int, chosen);
    test::TempFolder temp;
    DataLocationDialog dialog;
    dialog.setRemovableFolder(temp.path());
    dialog.setChosenDrive(1 - chosen);
    dialog.setDriveUnavailable(1 == 1);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(radio(dialog, click), Qt::LeftButton);
    QTest::mouseClick(dialog.controlAs<QPushButton>(ID_OK), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenDrive(), chosen);
    QVERIFY(!messageShown(dialog));
    QVERIFY(test::folderContents(temp.path()).empty()); // no probe file left behind
    QCOMPARE(dialog.removableFolder(), temp.path());
}

void DataLocationDialogTest::unusableFolderKeepsTheDialogOpen() {
    test::TempFolder temp;
    DataLocationDialog dialog;
    dialog.setRemovableFolder(temp.path() / "not plugged in");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(!messageShown(dialog));
    radio(dialog, DRIVE_A_RADIO_ID)->click();
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QVERIFY(messageShown(dialog));
    QCOMPARE(dialog.chosenDrive(), 0);

    // Once the media is there, OK goes through and the message goes away.
    fs::create_directory(temp.path() / "not plugged in");
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.chosenDrive(), 1);
    QVERIFY(!messageShown(dialog));
    QVERIFY(test::folderContents(temp.path() / "not plugged in").empty());
}

void DataLocationDialogTest::pickedFolderSelectsDriveA() {
    test::TempFolder temp;
    const fs::path media = temp.path() / "Diskelis ąčę";
    fs::create_directory(media);
    DataLocationDialog::setFolderPicker([this, media](QWidget* parent, const QString& caption,
                                                      const QString& start) {
        pickerCalls << caption << start;
        return parent ? QString::fromUtf8(reinterpret_cast<const char*>(media.u8string().c_str()))
                      : QString();
    });
    DataLocationDialog dialog;
    dialog.setRemovableFolder(temp.path());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(radio(dialog, CURRENT_FOLDER_RADIO_ID)->isChecked());
    QTest::mouseClick(dialog.folderButton(), Qt::LeftButton);
    QCOMPARE(pickerCalls, (QStringList{dialog.windowTitle(), qPath(temp.path())}));
    QCOMPARE(dialog.removableFolder(), media);
    QVERIFY(radio(dialog, DRIVE_A_RADIO_ID)->isChecked());
    QVERIFY(!radio(dialog, CURRENT_FOLDER_RADIO_ID)->isChecked());
    QVERIFY(dialog.folderButton()->toolTip().contains(QStringLiteral("Diskelis ąčę")));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenDrive(), 1);
    QCOMPARE(dialog.removableFolder(), media);
    QVERIFY(test::folderContents(media).empty());
}

void DataLocationDialogTest::cancelKeepsChosenDriveAndFolder() {
    test::TempFolder temp;
    QString answer; // the picker first cancelled, then answered
    DataLocationDialog::setFolderPicker(
        [&answer](QWidget*, const QString&, const QString&) { return answer; });
    DataLocationDialog dialog;
    dialog.setRemovableFolder("/media/stick");
    dialog.setChosenDrive(0);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.pickRemovableFolder();
    QCOMPARE(dialog.removableFolder(), fs::path("/media/stick"));
    QVERIFY(radio(dialog, CURRENT_FOLDER_RADIO_ID)->isChecked());

    answer = qPath(temp.path());
    dialog.pickRemovableFolder();
    QCOMPARE(dialog.removableFolder(), temp.path());
    QTest::mouseClick(dialog.controlAs<QPushButton>(ID_CANCEL), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.chosenDrive(), 0);
    QCOMPARE(dialog.removableFolder(), fs::path("/media/stick"));
}

void DataLocationDialogTest::modalRunEndsOnEscape() {
    DataLocationDialog dialog;
    dialog.setChosenDrive(1);
    dialog.setDriveUnavailable(1 == 1);
    bool sawMessage = false;
    QTimer::singleShot(0, [&] {
        if (QApplication::activeModalWidget() != &dialog)
            return;
        sawMessage = messageShown(dialog) && radio(dialog, DRIVE_A_RADIO_ID)->isChecked();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTimer::singleShot(5000, &dialog, [&] { dialog.done(-1); });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(sawMessage);
    QCOMPARE(dialog.chosenDrive(), 1);
}

QTEST_MAIN(DataLocationDialogTest)
#include "datalocationdialog_test.moc"
