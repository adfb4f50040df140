#pragma once
// Sees every message box of a widget test the moment it is shown, keeps what it showed and
// presses the button the test planned. A box nobody planned fails the test at once and is
// closed with its Esc button, so a forgotten box never blocks the run.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QString>
#include <QTest>

#include <deque>
#include <vector>

namespace pelkorl::test {

class MessageBoxWatcher : public QObject {
public:
    enum class Press { Ok, Cancel };

    struct Box {
        QString text;
        QString caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        bool planned = false;
    };

    // Create it once the application object exists (a member of the test class).
    MessageBoxWatcher() { QCoreApplication::instance()->installEventFilter(this); }
    ~MessageBoxWatcher() override {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeEventFilter(this);
    }
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // The next box not yet planned is answered with `press`.
    void plan(Press press) { planned_.push_back(press); }
    // Boxes shown since the last reset, oldest first.
    const std::vector<Box>& boxes() const { return boxes_; }
    // Planned answers no box has taken yet.
    std::size_t unusedPlans() const { return planned_.size(); }
    void reset() {
        boxes_.clear();
        planned_.clear();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                seen(box);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void seen(QMessageBox* box) {
        Box shown{box->text(), box->windowTitle(), box->icon(), box->standardButtons(),
                  !planned_.empty()};
        Press press = Press::Cancel;
        if (shown.planned) {
            press = planned_.front();
            planned_.pop_front();
        }
        boxes_.push_back(shown);
        if (!shown.planned)
            QTest::qFail(qPrintable(QStringLiteral("unexpected message box \"%1\": %2")
                                        .arg(shown.caption, shown.text)),
                         __FILE__, __LINE__);
        // Pressed once the box's own event loop runs.
        QMetaObject::invokeMethod(
            box, [box, press] { pressButton(*box, press); }, Qt::QueuedConnection);
    }

    static void pressButton(QMessageBox& box, Press press) {
        QAbstractButton* button =
            box.button(press == Press::Ok ? QMessageBox::Ok : QMessageBox::Cancel);
        if (!button)
            button = box.escapeButton();
        if (button)
            button->click();
        else
            box.reject();
    }

    std::deque<Press> planned_;
    std::vector<Box> boxes_;
};

} // namespace pelkorl::test
