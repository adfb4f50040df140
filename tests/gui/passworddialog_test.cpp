// The data password prompt, driven key by key as a user would type.
#include "dialogs/passworddialog.h"
#include "text/codepage.h"
#include "text/strings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace pelkorl;

namespace {

const QString PROMPT = QStringLiteral("Įveskite slaptažodį");
const QString WARNING = QStringLiteral("Neteisingas slaptažodis ...");

// Types one character, as a key with that text (works for letters outside Latin-1 too).
void typeChar(QWidget* target, QChar ch) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(target, &release);
}

// One step of a session: "<ok>" clicks OK, "<enter>", "<esc>", "<bs>" press those keys,
// "<paste:...>" replaces the entry at once, anything else is typed character by character.
// Returns the number of changes made, each of which may close the dialog.
void perform(PasswordDialog& dialog, const QString& step, int& closedAt, int& count) {
    QLineEdit* entry = dialog.entry();
    auto after = [&] {
        ++count;
        if (closedAt < 0 && !dialog.isVisible())
            closedAt = count;
    };
    if (step == "<ok>") {
        QTest::mouseClick(dialog.controlAs<QPushButton>(1), Qt::LeftButton);
        after();
    } else if (step == "<enter>") {
        QTest::keyClick(entry, Qt::Key_Return);
        after();
    } else if (step == "<esc>") {
        QTest::keyClick(entry, Qt::Key_Escape);
        after();
    } else if (step == "<bs>") {
        QTest::keyClick(entry, Qt::Key_Backspace);
        after();
    } else if (step.startsWith("<paste:")) {
        entry->setText(step.mid(7, step.size() - 8));
        after();
    } else {
        for (QChar ch : step) {
            typeChar(entry, ch);
            after();
        }
    }
}

} // namespace

class PasswordDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithPromptAndMaskedEmptyEntry();
    void sessions_data();
    void sessions();
    void centredOverItsOwner();
    void modalRunAnswersThePrompt_data();
    void modalRunAnswersThePrompt();
};

void PasswordDialogTest::opensWithPromptAndMaskedEmptyEntry() {
    PasswordDialog dialog;
    dialog.setExpectedPassword("x");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), PROMPT);
    QCOMPARE(dialog.promptLine()->text(), PROMPT);
    QCOMPARE(dialog.entry()->text(), QString());
    QCOMPARE(dialog.entry()->echoMode(), QLineEdit::Password);
    QVERIFY(dialog.entry()->maxLength() >= 21);
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.entry()));
    QVERIFY(!dialog.passwordAccepted());
    QVERIFY(!dialog.wrongAttempt());
    dialog.reject();
}

// expected: the stored password as UTF-8 (stored as Windows-1257); steps: see perform().
// closedAt: the change (counted over all steps) that closes the dialog, -1 = stays open.
void PasswordDialogTest::sessions_data() {
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("closedAt");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<int>("warned");

    QTest::newRow("correct closes at its last character")
        << "Slaptas" << QStringList{"Slaptas"} << 7 << 1 << 0;
    QTest::newRow("correct then more typing has no effect")
        << "ab" << QStringList{"abcd"} << 2 << 1 << 0;
    QTest::newRow("wrong, OK, one more character refuses")
        << "Slaptas" << QStringList{"blogas", "<ok>", "x"} << 8 << 0 << 1;
    QTest::newRow("wrong, OK, OK refuses")
        << "Slaptas" << QStringList{"blogas", "<ok>", "<ok>"} << 8 << 0 << 1;
    QTest::newRow("Enter is OK") << "Slaptas" << QStringList{"blog", "<enter>", "<enter>"} << 6 << 0
                                 << 1;
    QTest::newRow("wrong, OK, deletion refuses")
        << "Slaptas" << QStringList{"Slaptaz", "<ok>", "<bs>"} << 9 << 0 << 1;
    QTest::newRow("after the warning the missing last character accepts")
        << "Slaptas" << QStringList{"Slapta", "<ok>", "s"} << 8 << 1 << 1;
    QTest::newRow("after the warning a paste of the password accepts")
        << "Slaptas" << QStringList{"zz", "<ok>", "<paste:Slaptas>"} << 4 << 1 << 1;
    QTest::newRow("OK on an empty entry warns") << "Slaptas" << QStringList{"<ok>"} << -1 << 0 << 1;
    QTest::newRow("14 wrong characters warn without OK")
        << "Slaptas" << QStringList{"abcdefghijklmn"} << -1 << 0 << 1;
    QTest::newRow("13 wrong characters do not warn")
        << "Slaptas" << QStringList{"abcdefghijklm"} << -1 << 0 << 0;
    QTest::newRow("the change after 14 wrong characters refuses")
        << "Slaptas" << QStringList{"abcdefghijklmn", "<bs>"} << 15 << 0 << 1;
    QTest::newRow("14-character password")
        << "abcdefghijklmn" << QStringList{"abcdefghijklmn"} << 14 << 1 << 0;
    QTest::newRow("15-character password")
        << "abcdefghijklmnO" << QStringList{"abcdefghijklmnO"} << 15 << 1 << 0;
    QTest::newRow("20-character password")
        << "Ab3-efghijklmnopqrsT" << QStringList{"Ab3-efghijklmnopqrsT"} << 20 << 1 << 0;
    QTest::newRow("21 bytes, the whole field")
        << "abcdefghijklmnopqrstu" << QStringList{"abcdefghijklmnopqrstu"} << 21 << 1 << 0;
    QTest::newRow("longer password: a wrong entry warns past its length")
        << "abcdefghijklmnopqrst" << QStringList{"abcdefghijklmnopqrsX", "Y"} << -1 << 0 << 1;
    QTest::newRow("case differs: no acceptance")
        << "Slaptas" << QStringList{"slaptas", "<ok>", "<ok>"} << 9 << 0 << 1;
    QTest::newRow("case differs in the last letter")
        << "SlaptaS" << QStringList{"Slaptas"} << -1 << 0 << 0;
    QTest::newRow("Lithuanian letters typed as Unicode")
        << "Šaltinėlis" << QStringList{"Šaltinėlis"} << 10 << 1 << 0;
    QTest::newRow("Lithuanian letters in the other case")
        << "Šaltinėlis" << QStringList{"šaltinėlis"} << -1 << 0 << 0;
    QTest::newRow("Esc refuses") << "Slaptas" << QStringList{"Slapta", "<esc>"} << 7 << 0 << 0;
    QTest::newRow("Esc after the warning refuses")
        << "Slaptas" << QStringList{"<ok>", "<esc>"} << 2 << 0 << 1;
}

void PasswordDialogTest::sessions() {
    QFETCH(QString, expected);
    QFETCH(QStringList, steps);
    QFETCH(int, closedAt);
    QFETCH(int, accepted);
    QFETCH(int, warned);

    PasswordDialog dialog;
    dialog.setExpectedPassword(utf8ToCp1257(expected.toStdString()));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    int closed = -1;
    int count = 0;
    for (const QString& step : steps)
        perform(dialog, step, closed, count);

    QCOMPARE(closed, closedAt);
    QCOMPARE(dialog.passwordAccepted(), accepted == 1);
    QCOMPARE(dialog.wrongAttempt(), warned == 1);
    QCOMPARE(dialog.windowTitle(), warned ? WARNING : PROMPT);
    QCOMPARE(dialog.promptLine()->text(), warned ? WARNING : PROMPT);
    if (closedAt > 0)
        QCOMPARE(dialog.result(), accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
    else
        dialog.reject();
}

void PasswordDialogTest::centredOverItsOwner() {
    QWidget owner;
    owner.setGeometry(100, 120, 700, 500);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    PasswordDialog dialog(&owner);
    dialog.setExpectedPassword("x");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint offset = dialog.frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 8,
             qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
    dialog.reject();
}

void PasswordDialogTest::modalRunAnswersThePrompt_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<bool>("given");
    QTest::newRow("typed") << "Mėnulis" << false << true;
    QTest::newRow("wrong then Esc") << "Mėnu" << true << false;
}

void PasswordDialogTest::modalRunAnswersThePrompt() {
    QFETCH(QString, typed);
    QFETCH(bool, escape);
    QFETCH(bool, given);
    bool driven = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<PasswordDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        driven = true;
        for (QChar ch : typed)
            typeChar(dialog->entry(), ch);
        if (escape)
            QTest::keyClick(dialog->entry(), Qt::Key_Escape);
    });
    // Whatever happens above, never leave the test waiting on an open dialog.
    QTimer::singleShot(5000, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    const bool result = runPasswordDialog(nullptr, utf8ToCp1257("Mėnulis"));
    QVERIFY(driven);
    QCOMPARE(result, given);
}

QTEST_MAIN(PasswordDialogTest)
#include "passworddialog_test.moc"
