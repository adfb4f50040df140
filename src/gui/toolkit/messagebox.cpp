#include "toolkit/messagebox.h"

#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/qtstrings.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <deque>

namespace pelkorl {

namespace {

std::deque<MessageBox::Answer>& nextAnswers() {
    static std::deque<MessageBox::Answer> answers;
    return answers;
}

QMessageBox::Icon qtIcon(MessageBox::Icon icon) {
    switch (icon) {
    case MessageBox::Icon::Information:
        return QMessageBox::Information;
    case MessageBox::Icon::Exclamation:
        return QMessageBox::Warning;
    case MessageBox::Icon::Question:
        return QMessageBox::Question;
    case MessageBox::Icon::Stop:
        return QMessageBox::Critical;
    case MessageBox::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

MessageBox::Answer runBox(QWidget* parent, const QString& text, const QString& caption,
                          MessageBox::Buttons buttons, MessageBox::Icon icon) {
    QMessageBox box(parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowTitle(caption);
    box.setIcon(qtIcon(icon));
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    QPushButton* cancel = nullptr;
    if (buttons == MessageBox::Buttons::OkCancel) {
        cancel = box.addButton(QMessageBox::Cancel);
    }
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel ? cancel : ok);
    box.exec();
    if (cancel && box.clickedButton() != ok) {
        return MessageBox::Answer::Cancel;
    }
    return MessageBox::Answer::Ok;
}

} // namespace

MessageBox::Answer MessageBox::show(QWidget* parent, const QString& text, const QString& caption,
                                    Buttons buttons, Icon icon) {
    std::deque<Answer>& prepared = nextAnswers();
    if (!prepared.empty()) {
        const Answer answer = prepared.front();
        prepared.pop_front();
        // A box with one button cannot say anything else.
        return buttons == Buttons::Ok ? Answer::Ok : answer;
    }
    return runBox(parent, text, caption.isEmpty() ? defaultCaption() : caption, buttons, icon);
}

QString MessageBox::defaultCaption() {
    const std::string name = loadText(PROGRAM_NAME_TEXT);
    if (!name.empty()) {
        return textFromUtf8(name);
    }
    return QCoreApplication::applicationName();
}

void MessageBox::setNextAnswers(std::vector<Answer> answers) {
    nextAnswers().assign(answers.begin(), answers.end());
}

void MessageBox::setNextAnswer(Answer answer) {
    setNextAnswers({answer});
}

std::function<void(const std::string&)> MessageBox::reporter(QWidget* parent) {
    return [guard = QPointer<QWidget>(parent)](const std::string& text) {
        show(guard.data(), textFromUtf8(text));
    };
}

std::function<bool(const std::string&)> MessageBox::confirmer(QWidget* parent) {
    return [guard = QPointer<QWidget>(parent)](const std::string& text) {
        return show(guard.data(), textFromUtf8(text), QString(), Buttons::OkCancel) == Answer::Ok;
    };
}

} // namespace pelkorl
