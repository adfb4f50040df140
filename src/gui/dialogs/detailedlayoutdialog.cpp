#include "dialogs/detailedlayoutdialog.h"
#include "printing/formfields.h"

#include "text/dialogs.h"
#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

namespace pelkorl {

namespace {

// Labels of the column rows that change with the column set.
constexpr int BOOKS_LABEL_ID = 1076;
constexpr int BROCHURES_LABEL_ID = 1075;
constexpr int MAGAZINES_LABEL_ID = 1077;
constexpr int RETURN_VISITS_LABEL_ID = 1078;
constexpr int STUDIES_LABEL_ID = 1079;
constexpr int HOURS_LABEL_ID = 1092;
constexpr int FIRST_HEADER_LABEL_ID = 1080; // + row
constexpr int FIRST_NOTE_ID = 1093;         // the notes on where positions count from

std::string versionCaption(int version) {
    if (version < 0 || version >= CARD_VERSION_CAPTION_ROOM) {
        return {};
    }
    return loadText(CARD_VERSION_CAPTION_BASE + version);
}

QString askForFormFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, textFromUtf8(loadText(FORM_LAYOUT_FILE_TITLE)),
                                        QString(), textFromUtf8(loadText(FORM_LAYOUT_FILE_FILTER)));
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
    : TemplateDialog(DETAILED_LAYOUT_DIALOG_ID, parent),
      booksLabel_(require<QLabel>(BOOKS_LABEL_ID)),
      brochuresLabel_(require<QLabel>(BROCHURES_LABEL_ID)),
      magazinesLabel_(require<QLabel>(MAGAZINES_LABEL_ID)),
      returnVisitsLabel_(require<QLabel>(RETURN_VISITS_LABEL_ID)),
      studiesLabel_(require<QLabel>(STUDIES_LABEL_ID)),
      hoursLabel_(require<QLabel>(HOURS_LABEL_ID)),
      restoreButton_(require<QPushButton>(RESTORE_BUTTON)),
      formButton_(require<QPushButton>(FORM_LAYOUT_BUTTON_ID)), chooseForm_(askForFormFile),
      cancelButton_(require<QPushButton>(ID_CANCEL)),
      hiddenColumnBox_(require<QLineEdit>(HIDDEN_COLUMN_BOX)) {
    for (int row = 0; row < HEADER_ITEM_COUNT; ++row)
        headerLabels_[static_cast<std::size_t>(row)] = require<QLabel>(FIRST_HEADER_LABEL_ID + row);
    for (std::size_t i = 0; i < notes_.size(); ++i)
        notes_[i] = require<QLabel>(FIRST_NOTE_ID + static_cast<int>(i));
    for (std::size_t i = 0; i < BOX_COUNT; ++i) {
        QLineEdit* edit = require<QLineEdit>(boxIds()[i]);
        boxes_[i] = edit;
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { uncheckedBoxes_.insert(edit); });
    }
    connect(restoreButton_, &QPushButton::clicked, this, &DetailedLayoutDialog::restoreDefaults);
    connect(formButton_, &QPushButton::clicked, this, &DetailedLayoutDialog::askForForm);
}

const std::array<int, DetailedLayoutDialog::BOX_COUNT>& DetailedLayoutDialog::boxIds() {
    static const std::array<int, BOX_COUNT> ids = makeBoxIds();
    return ids;
}

int DetailedLayoutDialog::slotOfBox(int boxId, int version) {
    if (boxId >= FIRST_X_BOX && boxId < FIRST_X_BOX + HEADER_ITEM_COUNT) {
        return 2 * headerRowItem(version, boxId - FIRST_X_BOX);
    }
    if (boxId >= FIRST_Y_BOX && boxId < FIRST_Y_BOX + HEADER_ITEM_COUNT) {
        return 2 * headerRowItem(version, boxId - FIRST_Y_BOX) + 1;
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

int DetailedLayoutDialog::slotOf(const QLineEdit* edit) const {
    const auto at = std::find(boxes_.begin(), boxes_.end(), edit);
    return at == boxes_.end()
               ? -1
               : slotOfBox(boxIds()[static_cast<std::size_t>(at - boxes_.begin())], cardVersion_);
}

void DetailedLayoutDialog::initialise() {
    if (initialised_) {
        return;
    }
    initialised_ = true;

    placements_ = columnSetOf(cardVersion_) == ColumnSet::Placements;
    if (placements_) {
        booksLabel_->setText(textFromUtf8(loadText(PLACEMENTS_TEXT)));
        brochuresLabel_->setText(textFromUtf8(loadText(VIDEO_SHOWINGS_TEXT)));
        // Each row moves up one: the order of these two copies matters.
        magazinesLabel_->setText(returnVisitsLabel_->text());
        returnVisitsLabel_->setText(studiesLabel_->text());
        studiesLabel_->hide();
        hiddenColumnBox_->hide();
    }
    if (columnSetOf(cardVersion_) == ColumnSet::Ministry)
        relabelForMinistryCard();
    else
        formButton_->hide();

    fillBoxes();

    const std::string caption = versionCaption(cardVersion_);
    setWindowTitle(textFromUtf8(loadText(DETAILED_LAYOUT_TITLE_TEXT) + " - " + caption));
    restoreButton_->setText(textFromUtf8(loadText(RESTORE_DEFAULTS_TEXT) + " - " + caption));
    boxes_.front()->setFocus(Qt::OtherFocusReason); // the first header item's x
}

void DetailedLayoutDialog::relabelForMinistryCard() {
    // The rows of the address and telephones edit the service year, the anointed box and the
    // special pioneer box; the hope row is the other-sheep box.
    const auto relabel = [](QLabel* label, int id) {
        label->setText(textFromUtf8(loadText(id)));
    };
    relabel(headerLabels_[1], LABEL_SERVICE_YEAR);
    relabel(headerLabels_[2], LABEL_ANOINTED);
    relabel(headerLabels_[3], LABEL_SPECIAL_PIONEER);
    relabel(headerLabels_[6], LABEL_OTHER_SHEEP);
    // Columns 0-3 in the order of the card, then the two that place the form.
    const QString studies = studiesLabel_->text();
    const QString hours = hoursLabel_->text();
    relabel(booksLabel_, LABEL_SHARED_IN_MINISTRY);
    brochuresLabel_->setText(studies);
    relabel(hoursLabel_, LABEL_AUXILIARY_PIONEER);
    magazinesLabel_->setText(hours);
    relabel(returnVisitsLabel_, LABEL_MONTH_COLUMN);
    relabel(studiesLabel_, LABEL_CARD_WIDTH);
    // Its positions count from the paper's edges; its centred figures stand on the middles.
    for (std::size_t i = 0; i < notes_.size(); ++i)
        relabel(notes_[i], MINISTRY_LAYOUT_NOTES + static_cast<int>(i));
}

void DetailedLayoutDialog::showEvent(QShowEvent* event) {
    initialise();
    TemplateDialog::showEvent(event);
}

void DetailedLayoutDialog::fillBoxes() {
    for (QLineEdit* edit : boxes_) {
        edit->setText(textFromBytes(layout_.slotText(slotOf(edit))));
    }
    uncheckedBoxes_.clear();
}

void DetailedLayoutDialog::readBoxesBack() {
    // The hidden column box too, so its slot keeps what it was shown with.
    for (const QLineEdit* edit : boxes_) {
        layout_.setSlotText(slotOf(edit), bytesFromText(edit->text()));
    }
}

void DetailedLayoutDialog::restoreDefaults() {
    setLayoutDefaults(layout_, cardVersion_);
    fillBoxes();
}

void DetailedLayoutDialog::askForForm() {
    const QString file = chooseForm_(this);
    if (!file.isEmpty())
        takeLayoutFromForm(file);
}

bool DetailedLayoutDialog::takeLayoutFromForm(const QString& file) {
    // What the boxes hold now, so the slots the form does not set keep what they show.
    const CardLayout before = layout_;
    readBoxesBack();
    CardLayout taken = layout_;
    layout_ = before;
    const FormLayoutResult result = layoutFromForm(pathFromText(file), taken);
    if (result.error != FormLayoutError::None) {
        MessageBox::reporter(this)(
            formLayoutMessage(result, utf8FromText(QDir::toNativeSeparators(file))));
        return false;
    }
    layout_ = taken;
    fillBoxes();
    return true;
}

bool DetailedLayoutDialog::validateEntry(QLineEdit* edit) {
    std::string text = bytesFromText(edit->text());
    if (normaliseInchEntry(text, MessageBox::reporter(this))) {
        edit->setText(textFromBytes(text));
        uncheckedBoxes_.erase(edit);
        return true;
    }
    edit->setFocus(Qt::OtherFocusReason);
    return false;
}

bool DetailedLayoutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const auto at = std::find(boxes_.begin(), boxes_.end(), watched);
        // Another window taking the focus (a message box, a menu) leaves the box where it is;
        // and moving to Cancel must always be possible, whatever the box holds.
        const bool leavesBox =
            reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        const bool toCancel = QApplication::focusWidget() == cancelButton_;
        if (at != boxes_.end() && leavesBox && !toCancel) {
            QLineEdit* edit = *at;
            // The check runs once the focus change has completed.
            QMetaObject::invokeMethod(
                this,
                [this, edit] {
                    if (isVisible()) {
                        validateEntry(edit);
                    }
                },
                Qt::QueuedConnection);
        }
    }
    return TemplateDialog::eventFilter(watched, event);
}

void DetailedLayoutDialog::accept() {
    // A box typed into and never left (Enter on it) is checked now, so that no unchecked
    // text reaches the layout; a refused one keeps the dialog open. In the boxes' order.
    for (QLineEdit* edit : boxes_) {
        if (uncheckedBoxes_.count(edit) != 0 && !validateEntry(edit)) {
            return;
        }
    }
    readBoxesBack();
    TemplateDialog::accept();
}

} // namespace pelkorl
