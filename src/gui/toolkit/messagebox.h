#pragma once
// Every message box of the program goes through here, so tests can answer a box in advance.
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

    // Shows a modal box and returns the button pressed; Esc answers Cancel (Ok when there is
    // no Cancel). An empty caption means defaultCaption(). The text is shown as plain text.
    static Answer show(QWidget* parent, const QString& text, const QString& caption = QString(),
                       Buttons buttons = Buttons::Ok, Icon icon = Icon::Exclamation);

    // The program's name from the string table, else the application's name.
    static QString defaultCaption();

    // Answers for the next boxes, in order; a box with a prepared answer is not shown and
    // returns it (Ok for a box without Cancel). An empty list drops any left.
    static void setNextAnswers(std::vector<Answer> answers);
    static void setNextAnswer(Answer answer);

    // For the core's message callbacks: a UTF-8 text shown with OK and the exclamation icon.
    static std::function<void(const std::string&)> reporter(QWidget* parent);
    // A UTF-8 question with OK and Cancel; true for OK.
    static std::function<bool(const std::string&)> confirmer(QWidget* parent);
};

} // namespace pelkorl
