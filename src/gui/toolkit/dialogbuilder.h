#pragma once
// Turns a dialog template into real Qt widgets: one widget per control, placed in dialog units
// converted with the dialog font's base units, in the template's tab order, each found by id.
//
//   PushButton/DefaultPushButton -> QPushButton    CheckBox        -> QCheckBox
//   AutoRadioButton              -> QRadioButton   GroupBox        -> QGroupBox
//   StaticText, Icon             -> QLabel         Edit            -> QLineEdit
//   ListBox                      -> SingleChoiceList  OwnerDrawButton -> OwnerDrawSurface
//   UpDown                       -> UpDownControl
#include "text/dialogs.h"

#include <QDialog>
#include <QFont>
#include <QListWidget>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QButtonGroup;
class QPainter;
class QToolButton;

namespace pelkorl {

// Pixels per four dialog units across (x) and per eight down (y).
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// Faces tried, in order, when the template's face is not installed.
extern const char* const DIALOG_FONT_FALLBACKS[2];

// The template's font, or the first installed fallback face at the template's size.
QFont dialogFont(const DialogTemplate& dialog);

// Average width of the 52 Latin letters (rounded) and the font's height.
DialogBaseUnits dialogBaseUnits(const QFont& font, const QWidget* onScreenOf = nullptr);

// Dialog units to pixels; each value is scaled on its own, rounding half away from zero.
int dialogUnitsToPixelsX(int units, DialogBaseUnits base);
int dialogUnitsToPixelsY(int units, DialogBaseUnits base);
QRect dialogUnitsToPixels(int x, int y, int w, int h, DialogBaseUnits base);

// A list box with one selected line that only another line replaces: a click below the last
// line or a Ctrl+click (or Ctrl+Space) on the selected line leaves it selected.
class SingleChoiceList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    QItemSelectionModel::SelectionFlags
    selectionCommand(const QModelIndex& index, const QEvent* event = nullptr) const override;
};

// An up-down (spin) control: two arrows that report a step and keep a position within a
// range. It never writes its buddy's text: whoever listens to stepped() does.
class UpDownControl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void setValue(int value); // clamped to the range
    int value() const { return value_; }

    void setBuddy(QWidget* buddy);
    QWidget* buddy() const { return buddy_; }
    // Up and Down keys on the control or its buddy step it.
    void setArrowKeys(bool on);

    // One step: +1 up, -1 down. stepped() is emitted first, then the position moves
    // within the range.
    void step(int direction);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void stepped(int direction);
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool stepForKey(int key);

    QToolButton* up_;
    QToolButton* down_;
    QPointer<QWidget> buddy_;
    bool arrowKeys_ = false;
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
};

// A surface that its owner paints (the preview panes): the builder gives it its place and
// state, the paint handler draws it.
class OwnerDrawSurface : public QWidget {
    Q_OBJECT
public:
    using PaintHandler = std::function<void(QPainter& painter, const QRect& updateRect)>;

    explicit OwnerDrawSurface(QWidget* parent = nullptr);
    void setPaintHandler(PaintHandler handler);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PaintHandler paintHandler_;
};

// Makes the widget of one control instead of the builder's own (e.g. a list with its own
// key handling). The builder still places it, applies its state and sets the tab order.
using ControlFactory = std::function<QWidget*(const ControlTemplate& control, QWidget* parent)>;
using ControlFactories = std::map<int, ControlFactory>;

class DialogControls;

// Fills `dialog` from `dialogTemplate`: font, title, window frame, fixed client size, one child
// widget per control, tab order. Button ID_OK calls accept() and ID_CANCEL reject(), so a
// subclass takes both, and Enter and Esc, by overriding them.
DialogControls buildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate,
                           const ControlFactories& factories = {});

// The widgets of a built dialog.
class DialogControls {
public:
    // The widget of control `id`, or nullptr (never for NO_ID).
    QWidget* control(int id) const;
    template <class T> T* controlAs(int id) const { return dynamic_cast<T*>(control(id)); }
    // For the dialogs' constructors: the widget of control `id`, which the dialog's code
    // cannot do without. A control missing from the template, or of another kind, is a
    // fault of the program: it stops with a message naming the dialog and the control.
    template <class T> T* require(int id) const {
        T* widget = controlAs<T>(id);
        if (!widget)
            controlMissing(id, T::staticMetaObject.className());
        return widget;
    }

    // Every control, those without an id included, in template order.
    const std::vector<QWidget*>& widgets() const { return widgets_; }
    // The exclusive group of a radio button, or nullptr.
    QButtonGroup* radioGroup(int id) const;
    DialogBaseUnits baseUnits() const { return baseUnits_; }

private:
    friend DialogControls buildDialog(QDialog&, const DialogTemplate&, const ControlFactories&);

    [[noreturn]] void controlMissing(int id, const char* wanted) const;

    std::string title_;                     // of the template, to name the dialog in a fault
    std::map<int, QPointer<QWidget>> byId_; // a control deleted by its owner reads as absent
    std::map<int, QButtonGroup*> radioGroups_;
    std::vector<QWidget*> widgets_;
    DialogBaseUnits baseUnits_;
};

// A dialog built from its template resource; the program's dialogs derive from it.
class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    explicit TemplateDialog(int resourceId, QWidget* parent = nullptr,
                            const ControlFactories& factories = {});

    int resourceId() const { return resourceId_; }
    QWidget* control(int id) const { return controls_.control(id); }
    template <class T> T* controlAs(int id) const { return controls_.controlAs<T>(id); }
    const DialogControls& controls() const { return controls_; }

protected:
    // See DialogControls::require.
    template <class T> T* require(int id) const { return controls_.require<T>(id); }

private:
    int resourceId_;
    DialogControls controls_;
};

} // namespace pelkorl
