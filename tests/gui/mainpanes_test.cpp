// The preview panes in the running main dialog: they paint their surfaces, show and hide
// the name and V/M boxes for the selected publisher, and a print right after a selection
// takes the name and mobile number the header pane chose for that publisher.
#include "maindialogfixture.h"

#include "main/headerpreviewpane.h"
#include "main/publisherlistbox.h"
#include "main/tablepreviewpane.h"
#include "recordingcanvas.h"
#include "render/cardrender.h"

#include <QCheckBox>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

const QDate APRIL_2027(2027, 4, 12);

sample::PublisherSpec withMobile(sample::PublisherSpec p, const std::string& mobile) {
    p.mobilePhone = mobile;
    return p;
}

// The text of a PDF, or a null string when pdftotext is not installed.
QString pdfText(const fs::path& file) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess process;
    process.start(tool, {QString::fromStdString(file.string()), QStringLiteral("-")});
    if (!process.waitForFinished(10000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class MainPanesTest : public QObject {
    Q_OBJECT

private slots:
    void panesPaintTheirSurfaces() {
        DialogRun run;
        writeCurrentYear(run.folder(), {person("Jonas", "Petrauskas", true, 101)});
        MainDialog& dialog = run.start(APRIL_2027);
        QVERIFY(dialog.headerPane());
        QVERIFY(dialog.tablePane());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_VERIFY(dialog.headerPane()->measured());
        const QSize header = dialog.headerSurface()->size();
        QVERIFY(dialog.headerPane()->paneRect() == (Rect{0, 0, header.width(), header.height()}));
        QTRY_VERIFY(dialog.tablePane()->measured());
        const QImage table = dialog.tableSurface()->grab().toImage();
        QCOMPARE(qGray(table.pixel(0, 0)), 0); // the table's frame
        QCOMPARE(dialog.state().displayName, std::string("Jonas Petrauskas"));
        dialog.closeMainDialog();
    }

    void boxesFollowTheSelectedPublisher() {
        DialogRun run;
        sample::PublisherSpec withLongName = person("Jonas", "Petrauskas", true, 101);
        withLongName.extensionIndex = 1;
        withLongName.male = true;
        sample::PublisherSpec plain = person("Ona", "Petrauskienė", true, 102);
        writeCurrentYear(run.folder(), {withLongName, plain});
        QVERIFY(sample::writeExtensionFile(
            run.folder() / "xten7.dat",
            {sample::encodeExtension(101, sample::toCp1257("Jonas Antanas Petrauskas"))}));
        MainDialog& dialog = run.start(APRIL_2027);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCheckBox* lastNameFirst = dialog.checkBox(LAST_NAME_FIRST_BOX_ID);
        QCheckBox* longName = dialog.checkBox(LONG_NAME_BOX_ID);
        QCheckBox* sexMark = dialog.checkBox(SEX_MARK_BOX_ID);

        // The first line is selected at start: long name in use, so no name order box.
        QTRY_VERIFY(lastNameFirst->isHidden());
        QVERIFY(!longName->isHidden());
        QVERIFY(!sexMark->isHidden());
        QCOMPARE(dialog.state().displayName, std::string("Jonas Antanas Petrauskas"));

        // Unticking the long name box brings the name order back.
        longName->click();
        QTRY_VERIFY(!lastNameFirst->isHidden());
        QCOMPARE(dialog.state().displayName, std::string("Jonas Petrauskas"));

        // A publisher without extension data and without sex: both boxes go.
        PublisherListBox* list = dialog.publisherList();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QTRY_VERIFY(longName->isHidden());
        QTRY_VERIFY(sexMark->isHidden());
        QVERIFY(!lastNameFirst->isHidden());
        dialog.closeMainDialog();
    }

    void printRightAfterSelectingUsesThatPublisher() {
        DialogRun run;
        writeCurrentYear(run.folder(),
                         {withMobile(person("Jonas", "Petrauskas", true, 101), "+370 600 00101"),
                          withMobile(person("Ona", "Grigienė", true, 102), "+370 600 00102")});
        MainDialog& dialog = run.start(APRIL_2027);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_COMPARE(dialog.state().mobileText, std::string("+370 600 00101"));

        // Down and Enter with no chance to repaint in between.
        PublisherListBox* list = dialog.publisherList();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(run.printers->opened, 1);
        QCOMPARE(dialog.state().displayName, sample::toCp1257("Ona Grigienė"));
        QCOMPARE(dialog.state().mobileText, std::string("+370 600 00102"));

        RecordingCanvas printed(300, 300);
        CardState card = dialog.state();
        drawCardHeader(printed, card);
        QStringList texts;
        for (const TextCall& t : printed.texts())
            texts << QString::fromStdString(t.text);
        QVERIFY2(texts.contains(QStringLiteral("Ona Grigienė")), qPrintable(texts.join('|')));
        QVERIFY(texts.contains(QStringLiteral("+370 600 00102")));
        QVERIFY(!texts.contains(QStringLiteral("Jonas Petrauskas")));

        const QString pdf = pdfText(run.printers->folder / "card1.pdf");
        if (!pdf.isNull()) {
            QVERIFY2(pdf.contains(QStringLiteral("Ona Grigienė")), qPrintable(pdf));
            QVERIFY(pdf.contains(QStringLiteral("+370 600 00102")));
            QVERIFY(!pdf.contains(QStringLiteral("Petrauskas")));
        }
        dialog.closeMainDialog();
    }
};

QTEST_MAIN(MainPanesTest)
#include "mainpanes_test.moc"
