#pragma once
// The data password prompt. It closes by itself the moment the entry equals the password;
// OK, or an entry that grows too long, is one wrong attempt and shows the warning; after
// the warning only a change that completes the password is still accepted.
#include "toolkit/dialogbuilder.h"

#include <string>

class QLabel;
class QLineEdit;

namespace pelkorl {

inline constexpr int PASSWORD_PROMPT_LINE_ID = 245;
inline constexpr int PASSWORD_ENTRY_ID = 244;

// An entry longer than this counts as a wrong attempt (unless the password itself is
// longer, see passwordLengthLimit).
inline constexpr int PASSWORD_ENTRY_LIMIT = 13;

class PasswordDialog : public TemplateDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(QWidget* parent = nullptr);

    // The password to match, raw Windows-1257 bytes as stored in the data.
    void setExpectedPassword(std::string password);
    // Once the entry equalled the password; the dialog's result.
    bool passwordAccepted() const { return passwordAccepted_; }
    // Once a wrong attempt was made.
    bool wrongAttempt() const { return wrongAttempt_; }

    // The entry's length beyond which it counts as a wrong attempt.
    int passwordLengthLimit() const;

    QLineEdit* entry() const { return entry_; }
    QLabel* promptLine() const { return promptLine_; }

    // OK button and Enter: a wrong attempt (a correct entry never gets this far).
    void accept() override;
    // Esc: closes; passwordAccepted() stays as it is.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // One change of the entry's text (key stroke, paste, deletion).
    void entryChanged();
    void finish();

    QLineEdit* entry_;
    QLabel* promptLine_;
    std::string expectedPassword_;
    bool passwordAccepted_ = false;
    bool wrongAttempt_ = false;
    bool finished_ = false;
};

// Runs the prompt modally over `parent`; true when the password was given. Fits the data
// layer's PasswordPrompt.
bool runPasswordDialog(QWidget* parent, const std::string& expectedPassword);

} // namespace pelkorl
