#include "dialogs/passworddialog.h"

#include "text/codepage.h"
#include "text/dialogs.h"
#include "text/strings.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

#include <algorithm>

namespace pelkorl {

namespace {

constexpr int PROMPT_TEXT = 102;
constexpr int WRONG_PASSWORD_TEXT = 103;

// The stored field holds up to 21 bytes; leave the entry room for all of them.
constexpr int ENTRY_MAX_LENGTH = 32;

QString uiText(int id) {
    return QString::fromStdString(loadText(id));
}

} // namespace

PasswordDialog::PasswordDialog(QWidget* parent) : TemplateDialog(PASSWORD_DIALOG_ID, parent) {
    if (QLineEdit* edit = entry()) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setMaxLength(ENTRY_MAX_LENGTH);
        connect(edit, &QLineEdit::textChanged, this, [this] { entryChanged(); });
    }
    if (QLabel* line = promptLine())
        line->setText(uiText(PROMPT_TEXT));
}

QLineEdit* PasswordDialog::entry() const {
    return controlAs<QLineEdit>(PASSWORD_ENTRY_ID);
}

QLabel* PasswordDialog::promptLine() const {
    return controlAs<QLabel>(PASSWORD_PROMPT_LINE_ID);
}

int PasswordDialog::passwordLengthLimit() const {
    // A password longer than the limit must still be typeable key by key.
    return std::max(PASSWORD_ENTRY_LIMIT, static_cast<int>(expectedPassword.size()));
}

void PasswordDialog::showEvent(QShowEvent* event) {
    TemplateDialog::showEvent(event);
    if (!event->spontaneous()) {
        finished_ = false;
        if (QLineEdit* edit = entry())
            edit->setFocus();
    }
}

void PasswordDialog::entryChanged() {
    if (finished_)
        return;
    const QLineEdit* edit = entry();
    const std::string typed = edit ? utf8ToCp1257(edit->text().toStdString()) : std::string();
    // Completing the password wins even after the warning.
    if (typed == expectedPassword) {
        passwordAccepted = 1;
        finish();
        return;
    }
    // After the warning any other change is the second wrong attempt, which closes.
    if (wrongAttempt == 1 || static_cast<int>(typed.size()) > passwordLengthLimit())
        accept();
}

void PasswordDialog::accept() {
    if (finished_)
        return;
    const QString warning = uiText(WRONG_PASSWORD_TEXT);
    if (QLabel* line = promptLine())
        line->setText(warning);
    setWindowTitle(warning);
    if (wrongAttempt == 1) {
        finish();
        return;
    }
    wrongAttempt = 1;
}

void PasswordDialog::reject() {
    finish();
}

void PasswordDialog::finish() {
    if (finished_)
        return;
    finished_ = true;
    QDialog::done(passwordAccepted == 1 ? QDialog::Accepted : QDialog::Rejected);
}

bool runPasswordDialog(QWidget* parent, const std::string& expectedPassword) {
    PasswordDialog dialog(parent);
    dialog.expectedPassword = expectedPassword;
    dialog.exec();
    return dialog.passwordAccepted == 1;
}

} // namespace pelkorl
