#pragma once
// Every message box of the program goes through here, so tests can answer boxes in advance,
// see what was shown, and never block on a modal box.
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QWidget;

// A system header of one platform turns this name into a macro.
#ifdef MessageBox
#undef MessageBox
#endif

namespace pelkorl {

class MessageBox {
public:
    enum class Buttons { Ok, OkCancel };
    enum class Icon { None, Information, Exclamation, Question, Stop };
    enum class Answer { Ok, Cancel };

    struct Shown {
        QString text;
        QString caption;
        Buttons buttons;
        Icon icon;
        Answer answer;
    };

    // Shows a modal box and returns the button pressed; Esc answers Cancel (Ok when there is
    // no Cancel). An empty caption means defaultCaption(). The text is shown as plain text.
    static Answer show(QWidget* parent, const QString& text, const QString& caption = QString(),
                       Buttons buttons = Buttons::Ok, Icon icon = Icon::Exclamation);

    // The program's name from the string table, else the application's name.
    static QString defaultCaption();

    // Answers for the next boxes, in order; a box with a prepared answer is not shown.
    static void setNextAnswers(std::vector<Answer> answers);
    static void setNextAnswer(Answer answer);
    static std::size_t pendingAnswers();

    // Without interaction no box is ever opened: unanswered boxes take their default button
    // (Ok). On by itself on the headless platforms, where nobody could press a button.
    static void setInteractive(bool interactive);
    static bool isInteractive();

    // Every box asked for, shown or answered in advance, oldest first.
    static const std::vector<Shown>& shown();
    static void clearShown();

    // For the core's message callbacks: a UTF-8 text shown with OK and the exclamation icon.
    static std::function<void(const std::string&)> reporter(QWidget* parent);
    // A UTF-8 question with OK and Cancel; true for OK.
    static std::function<bool(const std::string&)> confirmer(QWidget* parent);
};

} // namespace pelkorl
