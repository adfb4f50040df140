#include "dialogs/detailedlayoutdialog.h"

#include "text/dialogs.h"
#include "text/strings.h"
#include "toolkit/messagebox.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace pelkorl {

namespace {

constexpr const char* BOX_ID_PROPERTY = "layoutBoxId";

constexpr int TEXT_TITLE = 148;
constexpr int TEXT_RESTORE = 149;
constexpr int TEXT_VERSION_CAPTION = 400;
constexpr int VERSION_CAPTION_ROOM = 100; // ids 400-499 name card versions
constexpr int TEXT_PLACEMENTS = 1420;
constexpr int TEXT_VIDEO_SHOWINGS = 1421;

// Labels of the column rows that change with the column set.
constexpr int LABEL_BOOKS = 1076;
constexpr int LABEL_BROCHURES = 1075;
constexpr int LABEL_MAGAZINES = 1077;
constexpr int LABEL_RETURN_VISITS = 1078;
constexpr int LABEL_STUDIES = 1079;

QString qText(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// Layout texts are bytes; Latin-1 carries every byte to the box and back unchanged.
QString slotToBox(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string boxToSlot(const QString& text) {
    return text.toLatin1().toStdString();
}

std::string versionCaption(int version) {
    if (version < 0 || version >= VERSION_CAPTION_ROOM) {
        return {};
    }
    return loadText(TEXT_VERSION_CAPTION + version);
}

std::array<int, DetailedLayoutDialog::BOX_COUNT> makeBoxIds() {
    std::array<int, DetailedLayoutDialog::BOX_COUNT> ids{};
    std::size_t n = 0;
    for (int k = 0; k < HEADER_ITEM_COUNT; ++k) {
        ids[n++] = DetailedLayoutDialog::FIRST_X_BOX + k;
        ids[n++] = DetailedLayoutDialog::FIRST_Y_BOX + k;
    }
    ids[n++] = DetailedLayoutDialog::TABLE_TOP_BOX;
    ids[n++] = DetailedLayoutDialog::TABLE_HEIGHT_BOX;
    for (int i = 0; i < TABLE_COLUMN_COUNT; ++i) {
        ids[n++] = DetailedLayoutDialog::FIRST_COLUMN_BOX + i;
    }
    return ids;
}

} // namespace

DetailedLayoutDialog::DetailedLayoutDialog(QWidget* parent)
    : TemplateDialog(DETAILED_LAYOUT_DIALOG_ID, parent) {
    for (const int id : boxIds()) {
        QLineEdit* edit = box(id);
        if (!edit) {
            continue;
        }
        edit->setProperty(BOX_ID_PROPERTY, id);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, id] { uncheckedBoxes_.insert(id); });
    }
    if (auto* restore = controlAs<QPushButton>(RESTORE_BUTTON)) {
        connect(restore, &QPushButton::clicked, this, &DetailedLayoutDialog::restoreDefaults);
    }
}

const std::array<int, DetailedLayoutDialog::BOX_COUNT>& DetailedLayoutDialog::boxIds() {
    static const std::array<int, BOX_COUNT> ids = makeBoxIds();
    return ids;
}

int DetailedLayoutDialog::slotOfBox(int boxId) {
    if (boxId >= FIRST_X_BOX && boxId < FIRST_X_BOX + HEADER_ITEM_COUNT) {
        return 2 * (boxId - FIRST_X_BOX);
    }
    if (boxId >= FIRST_Y_BOX && boxId < FIRST_Y_BOX + HEADER_ITEM_COUNT) {
        return 2 * (boxId - FIRST_Y_BOX) + 1;
    }
    if (boxId == TABLE_TOP_BOX) {
        return SLOT_TABLE_TOP;
    }
    if (boxId == TABLE_HEIGHT_BOX) {
        return SLOT_TABLE_HEIGHT;
    }
    if (boxId >= FIRST_COLUMN_BOX && boxId < FIRST_COLUMN_BOX + TABLE_COLUMN_COUNT) {
        return SLOT_COLUMN_X + (boxId - FIRST_COLUMN_BOX);
    }
    return -1;
}

QLineEdit* DetailedLayoutDialog::box(int boxId) const {
    return controlAs<QLineEdit>(boxId);
}

void DetailedLayoutDialog::initialise() {
    if (initialised_) {
        return;
    }
    initialised_ = true;

    editColumnSet = columnSetOf(editCardVersion) == ColumnSet::Placements ? 1 : 0;
    if (editColumnSet == 1) {
        auto* books = controlAs<QLabel>(LABEL_BOOKS);
        auto* brochures = controlAs<QLabel>(LABEL_BROCHURES);
        auto* magazines = controlAs<QLabel>(LABEL_MAGAZINES);
        auto* returnVisits = controlAs<QLabel>(LABEL_RETURN_VISITS);
        auto* studies = controlAs<QLabel>(LABEL_STUDIES);
        if (books && brochures && magazines && returnVisits && studies) {
            books->setText(qText(loadText(TEXT_PLACEMENTS)));
            brochures->setText(qText(loadText(TEXT_VIDEO_SHOWINGS)));
            // Each row moves up one: the order of these two copies matters.
            magazines->setText(returnVisits->text());
            returnVisits->setText(studies->text());
            studies->hide();
        }
        if (QLineEdit* unused = box(HIDDEN_COLUMN_BOX)) {
            unused->hide();
        }
    }

    fillBoxes();

    const std::string caption = versionCaption(editCardVersion);
    setWindowTitle(qText(loadText(TEXT_TITLE) + " - " + caption));
    if (auto* restore = controlAs<QPushButton>(RESTORE_BUTTON)) {
        restore->setText(qText(loadText(TEXT_RESTORE) + " - " + caption));
    }
    if (QLineEdit* first = box(FIRST_X_BOX)) {
        first->setFocus(Qt::OtherFocusReason);
    }
}

void DetailedLayoutDialog::showEvent(QShowEvent* event) {
    initialise();
    TemplateDialog::showEvent(event);
}

void DetailedLayoutDialog::fillBoxes() {
    for (const int id : boxIds()) {
        if (QLineEdit* edit = box(id)) {
            edit->setText(slotToBox(editLayout.slotText(slotOfBox(id))));
        }
    }
    uncheckedBoxes_.clear();
}

void DetailedLayoutDialog::readBoxesBack() {
    // The hidden column box too, so its slot keeps what it was shown with.
    for (const int id : boxIds()) {
        if (QLineEdit* edit = box(id)) {
            editLayout.setSlotText(slotOfBox(id), boxToSlot(edit->text()));
        }
    }
}

void DetailedLayoutDialog::restoreDefaults() {
    setLayoutDefaults(editLayout, editCardVersion);
    fillBoxes();
}

bool DetailedLayoutDialog::validateEntry(int boxId) {
    QLineEdit* edit = box(boxId);
    if (!edit) {
        return false;
    }
    std::string text = boxToSlot(edit->text());
    if (normaliseInchEntry(text, MessageBox::reporter(this))) {
        edit->setText(slotToBox(text));
        uncheckedBoxes_.erase(boxId);
        return true;
    }
    edit->setFocus(Qt::OtherFocusReason);
    return false;
}

bool DetailedLayoutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        auto* edit = qobject_cast<QLineEdit*>(watched);
        const int id = edit ? edit->property(BOX_ID_PROPERTY).toInt() : 0;
        // Another window taking the focus (a message box, a menu) leaves the box where it is;
        // and moving to Cancel must always be possible, whatever the box holds.
        const bool leavesBox =
            reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        const bool toCancel = QApplication::focusWidget() == control(ID_CANCEL);
        if (edit && slotOfBox(id) >= 0 && leavesBox && !toCancel) {
            // The check runs once the focus change has completed.
            QMetaObject::invokeMethod(
                this,
                [this, id] {
                    if (isVisible()) {
                        validateEntry(id);
                    }
                },
                Qt::QueuedConnection);
        }
    }
    return TemplateDialog::eventFilter(watched, event);
}

void DetailedLayoutDialog::accept() {
    // A box typed into and never left (Enter on it) is checked now, so that no unchecked
    // text reaches the layout; a refused one keeps the dialog open.
    for (const int id : boxIds()) {
        if (uncheckedBoxes_.count(id) != 0 && !validateEntry(id)) {
            return;
        }
    }
    readBoxesBack();
    TemplateDialog::accept();
}

} // namespace pelkorl
