#include "dialogs/passworddialog.h"

#include "text/dialogs.h"
#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/qtstrings.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

#include <algorithm>

namespace pelkorl {

namespace {

// The stored field holds up to 21 bytes; leave the entry room for all of them.
constexpr int ENTRY_MAX_LENGTH = 32;

QString uiText(int id) {
    return textFromUtf8(loadText(id));
}

} // namespace

PasswordDialog::PasswordDialog(QWidget* parent)
    : TemplateDialog(PASSWORD_DIALOG_ID, parent), entry_(require<QLineEdit>(PASSWORD_ENTRY_ID)),
      promptLine_(require<QLabel>(PASSWORD_PROMPT_LINE_ID)) {
    entry_->setEchoMode(QLineEdit::Password);
    entry_->setMaxLength(ENTRY_MAX_LENGTH);
    connect(entry_, &QLineEdit::textChanged, this, [this] { entryChanged(); });
    promptLine_->setText(uiText(PASSWORD_PROMPT_TEXT));
}

void PasswordDialog::setExpectedPassword(std::string password) {
    expectedPassword_ = std::move(password);
}

int PasswordDialog::passwordLengthLimit() const {
    // A password longer than the limit must still be typeable key by key.
    return std::max(PASSWORD_ENTRY_LIMIT, static_cast<int>(expectedPassword_.size()));
}

void PasswordDialog::showEvent(QShowEvent* event) {
    TemplateDialog::showEvent(event);
    if (!event->spontaneous()) {
        finished_ = false;
        entry_->setFocus();
    }
}

void PasswordDialog::entryChanged() {
    if (finished_)
        return;
    const std::string typed = cp1257FromText(entry_->text());
    // Completing the password wins even after the warning.
    if (typed == expectedPassword_) {
        passwordAccepted_ = true;
        finish();
        return;
    }
    // After the warning any other change is the second wrong attempt, which closes.
    if (wrongAttempt_ || static_cast<int>(typed.size()) > passwordLengthLimit())
        accept();
}

void PasswordDialog::accept() {
    if (finished_)
        return;
    const QString warning = uiText(WRONG_PASSWORD_TEXT);
    promptLine_->setText(warning);
    setWindowTitle(warning);
    if (wrongAttempt_) {
        finish();
        return;
    }
    wrongAttempt_ = true;
}

void PasswordDialog::reject() {
    finish();
}

void PasswordDialog::finish() {
    if (finished_)
        return;
    finished_ = true;
    QDialog::done(passwordAccepted_ ? QDialog::Accepted : QDialog::Rejected);
}

bool runPasswordDialog(QWidget* parent, const std::string& expectedPassword) {
    PasswordDialog dialog(parent);
    dialog.setExpectedPassword(expectedPassword);
    dialog.exec();
    return dialog.passwordAccepted();
}

} // namespace pelkorl
