#include "toolkit/messagebox.h"

#include "text/strings.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <deque>
#include <optional>

namespace pelkorl {

namespace {

constexpr int APP_NAME_TEXT = 147;

struct State {
    std::deque<MessageBox::Answer> nextAnswers;
    std::vector<MessageBox::Shown> shown;
    std::optional<bool> interactive; // unset: decided by the platform
};

State& state() {
    static State s;
    return s;
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
    State& s = state();
    const QString title = caption.isEmpty() ? defaultCaption() : caption;
    Answer answer = Answer::Ok;
    if (!s.nextAnswers.empty()) {
        answer = s.nextAnswers.front();
        s.nextAnswers.pop_front();
        if (buttons == Buttons::Ok) {
            answer = Answer::Ok; // a box with one button cannot say anything else
        }
    } else if (isInteractive()) {
        answer = runBox(parent, text, title, buttons, icon);
    }
    s.shown.push_back(Shown{text, title, buttons, icon, answer});
    return answer;
}

QString MessageBox::defaultCaption() {
    const std::string name = loadText(APP_NAME_TEXT);
    if (!name.empty()) {
        return QString::fromStdString(name);
    }
    return QCoreApplication::applicationName();
}

void MessageBox::setNextAnswers(std::vector<Answer> answers) {
    state().nextAnswers.assign(answers.begin(), answers.end());
}

void MessageBox::setNextAnswer(Answer answer) {
    setNextAnswers({answer});
}

std::size_t MessageBox::pendingAnswers() {
    return state().nextAnswers.size();
}

void MessageBox::setInteractive(bool interactive) {
    state().interactive = interactive;
}

bool MessageBox::isInteractive() {
    const State& s = state();
    if (s.interactive) {
        return *s.interactive;
    }
    const QString platform = QGuiApplication::platformName();
    return !(platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"));
}

const std::vector<MessageBox::Shown>& MessageBox::shown() {
    return state().shown;
}

void MessageBox::clearShown() {
    state().shown.clear();
}

std::function<void(const std::string&)> MessageBox::reporter(QWidget* parent) {
    return [guard = QPointer<QWidget>(parent)](const std::string& text) {
        show(guard.data(), QString::fromStdString(text));
    };
}

std::function<bool(const std::string&)> MessageBox::confirmer(QWidget* parent) {
    return [guard = QPointer<QWidget>(parent)](const std::string& text) {
        return show(guard.data(), QString::fromStdString(text), QString(), Buttons::OkCancel) ==
               Answer::Ok;
    };
}

} // namespace pelkorl
