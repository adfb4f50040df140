#include "toolkit/dialogbuilder.h"

#include "render/pagegeometry.h"
#include "toolkit/appicon.h"
#include "toolkit/qtstrings.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>

namespace pelkorl {

const char* const DIALOG_FONT_FALLBACKS[2] = {"Liberation Sans", "DejaVu Sans"};

namespace {

// The classic dialog font size when a template names none.
constexpr int DEFAULT_DIALOG_POINTS = 8;

// Icon controls show the icon at the system's standard size, whatever the template says.
constexpr int ICON_PIXELS = 32;

bool fontInstalled(const QString& family) {
    return !family.isEmpty() && QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

Qt::Alignment textAlignment(const ControlTemplate& c) {
    if (c.has(ControlStyle::TEXT_CENTER)) {
        return Qt::AlignHCenter;
    }
    if (c.has(ControlStyle::TEXT_RIGHT)) {
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

bool takesClicks(ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
    case ControlKind::CheckBox:
    case ControlKind::AutoRadioButton:
    case ControlKind::Edit:
    case ControlKind::ListBox:
        return true;
    default:
        return false;
    }
}

QWidget* makeWidget(const ControlTemplate& c, QWidget* parent) {
    const QString text = textFromUtf8(c.text);
    switch (c.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
        auto* button = new QPushButton(text, parent);
        // A focused push button takes Enter, the default button otherwise.
        button->setAutoDefault(true);
        button->setDefault(c.kind == ControlKind::DefaultPushButton);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(text, parent);
    case ControlKind::AutoRadioButton: {
        auto* radio = new QRadioButton(text, parent);
        radio->setAutoExclusive(false); // its QButtonGroup decides
        return radio;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(text, parent);
    case ControlKind::StaticText: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setAlignment(textAlignment(c) | Qt::AlignTop);
        label->setWordWrap(true);
        return label;
    }
    case ControlKind::Icon: {
        auto* label = new QLabel(parent);
        label->setPixmap(appIcon().pixmap(ICON_PIXELS, ICON_PIXELS));
        return label;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(text, parent);
        edit->setAlignment(textAlignment(c) | Qt::AlignVCenter);
        edit->setFrame(c.has(ControlStyle::BORDER));
        if (c.has(ControlStyle::PASSWORD)) {
            edit->setEchoMode(QLineEdit::Password);
        }
        return edit;
    }
    case ControlKind::ListBox: {
        auto* list = new SingleChoiceList(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setUniformItemSizes(true);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(c.has(ControlStyle::VSCROLL) ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
        if (!c.has(ControlStyle::BORDER)) {
            list->setFrameShape(QFrame::NoFrame);
        }
        return list;
    }
    case ControlKind::OwnerDrawButton:
        return new OwnerDrawSurface(parent);
    case ControlKind::UpDown: {
        auto* upDown = new UpDownControl(parent);
        upDown->setArrowKeys(c.has(ControlStyle::ARROW_KEYS));
        return upDown;
    }
    }
    return new QWidget(parent);
}

Qt::FocusPolicy focusPolicyOf(const ControlTemplate& c) {
    if (!takesClicks(c.kind)) {
        return Qt::NoFocus;
    }
    return c.has(ControlStyle::TAB_STOP) ? Qt::StrongFocus : Qt::ClickFocus;
}

Qt::WindowFlags windowFlagsOf(const DialogTemplate& d) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (d.has(DialogStyle::CAPTION)) {
        flags |= Qt::WindowTitleHint;
    }
    if (d.has(DialogStyle::SYSTEM_MENU)) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}

} // namespace

QFont dialogFont(const DialogTemplate& dialog) {
    QString family = textFromUtf8(dialog.fontFace);
    if (!fontInstalled(family)) {
        family.clear();
        for (const char* fallback : DIALOG_FONT_FALLBACKS) {
            if (fontInstalled(QString::fromLatin1(fallback))) {
                family = QString::fromLatin1(fallback);
                break;
            }
        }
    }
    QFont font = family.isEmpty() ? QFont() : QFont(family);
    font.setPointSize(dialog.fontPoints > 0 ? dialog.fontPoints : DEFAULT_DIALOG_POINTS);
    return font;
}

DialogBaseUnits dialogBaseUnits(const QFont& font, const QWidget* onScreenOf) {
    static const QString LETTERS =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics = onScreenOf ? QFontMetrics(font, onScreenOf) : QFontMetrics(font);
    const int width = metrics.horizontalAdvance(LETTERS);
    return DialogBaseUnits{(width + 26) / 52, metrics.height()};
}

int dialogUnitsToPixelsX(int units, DialogBaseUnits base) {
    return mulDiv(units, base.x, 4);
}

int dialogUnitsToPixelsY(int units, DialogBaseUnits base) {
    return mulDiv(units, base.y, 8);
}

QRect dialogUnitsToPixels(int x, int y, int w, int h, DialogBaseUnits base) {
    return QRect(dialogUnitsToPixelsX(x, base), dialogUnitsToPixelsY(y, base),
                 dialogUnitsToPixelsX(w, base), dialogUnitsToPixelsY(h, base));
}

// ---- SingleChoiceList

QItemSelectionModel::SelectionFlags SingleChoiceList::selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const {
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (!index.isValid() ||
        command.testAnyFlags(QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return command;
}

// ---- UpDownControl

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    setFocusPolicy(Qt::NoFocus);
}

void UpDownControl::setRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    setValue(value_);
}

void UpDownControl::setValue(int value) {
    const int clamped = std::clamp(value, minimum_, maximum_);
    if (clamped != value_) {
        value_ = clamped;
        emit valueChanged(value_);
    }
}

void UpDownControl::setBuddy(QWidget* buddy) {
    if (buddy_) {
        buddy_->removeEventFilter(this);
    }
    buddy_ = buddy;
    if (buddy_) {
        buddy_->installEventFilter(this);
    }
}

void UpDownControl::setArrowKeys(bool on) {
    arrowKeys_ = on;
}

void UpDownControl::step(int direction) {
    if (direction == 0) {
        return;
    }
    emit stepped(direction);
    setValue(value_ + (direction > 0 ? 1 : -1));
}

bool UpDownControl::stepForKey(int key) {
    if (!arrowKeys_ || !isEnabled()) {
        return false;
    }
    if (key == Qt::Key_Up) {
        step(1);
        return true;
    }
    if (key == Qt::Key_Down) {
        step(-1);
        return true;
    }
    return false;
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    if (!stepForKey(event->key())) {
        QWidget::keyPressEvent(event);
    }
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        if (stepForKey(static_cast<QKeyEvent*>(event)->key())) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int upper = height() / 2;
    up_->setGeometry(0, 0, width(), upper);
    down_->setGeometry(0, upper, width(), height() - upper);
}

// ---- OwnerDrawSurface

OwnerDrawSurface::OwnerDrawSurface(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void OwnerDrawSurface::setPaintHandler(PaintHandler handler) {
    paintHandler_ = std::move(handler);
    update();
}

void OwnerDrawSurface::paintEvent(QPaintEvent* event) {
    if (paintHandler_) {
        QPainter painter(this);
        paintHandler_(painter, event->rect());
    }
}

// ---- DialogControls

QWidget* DialogControls::control(int id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second.data();
}

void DialogControls::controlMissing(int id, const char* wanted) const {
    const QWidget* found = control(id);
    const QByteArray what = QStringLiteral("dialog \"%1\": control %2 %3, a %4 was expected")
                                .arg(textFromUtf8(title_))
                                .arg(id)
                                .arg(found ? QStringLiteral("is a %1").arg(QString::fromLatin1(
                                                 found->metaObject()->className()))
                                           : QStringLiteral("is missing from the template"))
                                .arg(QString::fromLatin1(wanted))
                                .toUtf8();
    Q_ASSERT_X(false, "DialogControls::require", what.constData());
    qFatal("%s", what.constData());
}

QButtonGroup* DialogControls::radioGroup(int id) const {
    auto it = radioGroups_.find(id);
    return it == radioGroups_.end() ? nullptr : it->second;
}

DialogControls buildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate,
                           const ControlFactories& factories) {
    DialogControls result;
    result.title_ = dialogTemplate.title;

    dialog.setWindowFlags(windowFlagsOf(dialogTemplate));
    dialog.setWindowTitle(textFromUtf8(dialogTemplate.title));
    dialog.setFont(dialogFont(dialogTemplate));
    result.baseUnits_ = dialogBaseUnits(dialog.font(), &dialog);
    const DialogBaseUnits base = result.baseUnits_;
    dialog.setFixedSize(dialogUnitsToPixelsX(dialogTemplate.w, base),
                        dialogUnitsToPixelsY(dialogTemplate.h, base));

    QButtonGroup* radios = nullptr;
    QWidget* previous = nullptr;
    QWidget* lastFocusable = nullptr;
    for (const ControlTemplate& c : dialogTemplate.controls) {
        auto factory = c.id == NO_ID ? factories.end() : factories.find(c.id);
        QWidget* widget = nullptr;
        if (factory != factories.end() && factory->second) {
            widget = factory->second(c, &dialog);
        }
        if (!widget) {
            widget = makeWidget(c, &dialog);
            widget->setFocusPolicy(focusPolicyOf(c));
        }
        if (widget->parentWidget() != &dialog) {
            widget->setParent(&dialog);
        }
        // Explicitly, so no per-class application font wins over the template's.
        widget->setFont(dialog.font());
        if (c.id != NO_ID) {
            widget->setObjectName(QStringLiteral("control%1").arg(c.id));
            result.byId_.emplace(c.id, widget);
        }
        result.widgets_.push_back(widget);

        QRect place = dialogUnitsToPixels(c.x, c.y, c.w, c.h, base);
        if (c.kind == ControlKind::Icon) {
            place.setSize(QSize(ICON_PIXELS, ICON_PIXELS));
        }
        if ((c.kind == ControlKind::CheckBox || c.kind == ControlKind::AutoRadioButton) &&
            c.text.empty()) {
            // A box without text is just its mark: never clip the style's mark.
            const bool radio = c.kind == ControlKind::AutoRadioButton;
            QStyle* style = widget->style();
            const QSize mark(style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                      : QStyle::PM_IndicatorWidth,
                                                nullptr, widget),
                             style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorHeight
                                                      : QStyle::PM_IndicatorHeight,
                                                nullptr, widget));
            place.setSize(place.size().expandedTo(mark));
        }
        if (c.kind == ControlKind::UpDown) {
            auto* upDown = dynamic_cast<UpDownControl*>(widget);
            if (upDown && previous && c.has(ControlStyle::AUTO_BUDDY)) {
                upDown->setBuddy(previous);
                if (c.has(ControlStyle::ALIGN_RIGHT)) {
                    // The arrows take the right end of the buddy, which gives up that room.
                    QRect buddyPlace = previous->geometry();
                    const int width = std::min(place.width(), buddyPlace.width());
                    buddyPlace.setWidth(buddyPlace.width() - width);
                    previous->setGeometry(buddyPlace);
                    place =
                        QRect(buddyPlace.right() + 1, buddyPlace.top(), width, buddyPlace.height());
                }
            }
        }
        widget->setGeometry(place);

        // Radio buttons are exclusive among those up to the next GROUP control.
        if (c.has(ControlStyle::GROUP)) {
            radios = nullptr;
        }
        if (auto* radio = dynamic_cast<QRadioButton*>(widget)) {
            if (!radios) {
                radios = new QButtonGroup(&dialog);
                radios->setExclusive(true);
            }
            radio->setAutoExclusive(false);
            radios->addButton(radio, c.id);
            if (c.id != NO_ID) {
                result.radioGroups_.emplace(c.id, radios);
            }
        }

        if (c.id == ID_OK || c.id == ID_CANCEL) {
            if (auto* button = dynamic_cast<QAbstractButton*>(widget)) {
                if (c.id == ID_OK) {
                    QObject::connect(button, &QAbstractButton::clicked, &dialog, &QDialog::accept);
                } else {
                    QObject::connect(button, &QAbstractButton::clicked, &dialog, &QDialog::reject);
                }
            }
        }

        widget->setEnabled(!c.has(ControlStyle::DISABLED));
        if (c.has(ControlStyle::HIDDEN)) {
            widget->hide();
        }

        if (widget->focusPolicy() & Qt::TabFocus) {
            if (lastFocusable) {
                QWidget::setTabOrder(lastFocusable, widget);
            }
            lastFocusable = widget;
        }
        previous = widget;
    }
    return result;
}

// ---- TemplateDialog

TemplateDialog::TemplateDialog(int resourceId, QWidget* parent, const ControlFactories& factories)
    : QDialog(parent), resourceId_(resourceId) {
    controls_ = buildDialog(*this, dialogTemplate(resourceId), factories);
}

} // namespace pelkorl
