#include "dialogs/optionsdialog.h"

#include "card/spinstep.h"
#include "dialogs/detailedlayoutdialog.h"
#include "printing/printjob.h"
#include "settings/layoutfile.h"
#include "text/dialogs.h"
#include "text/strings.h"
#include "toolkit/messagebox.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <memory>

namespace pelkorl {

namespace {

constexpr int TEXT_VERSION_CAPTION = 400;
constexpr int VERSION_CAPTION_ROOM = 100; // ids 400-499 name card versions
// The restore button's table top and height, the same for every card version.
constexpr int TEXT_DEFAULT_TABLE_TOP = 700;
constexpr int TEXT_DEFAULT_TABLE_HEIGHT = 701;
constexpr const char* PRINTER_SETUP_TITLE = "Spausdinimo parinktys";

QString qText(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// Inch texts are bytes; Latin-1 carries every byte to the widget and back unchanged.
QString inchText(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string inchBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

} // namespace

OptionsDialog::OptionsDialog(std::filesystem::path layoutFolder, QWidget* parent)
    : TemplateDialog(OPTIONS_DIALOG_ID, parent), layoutFolder_(std::move(layoutFolder)),
      printerSetupDialog_(&OptionsDialog::showPrinterSetup) {
    for (const int id : {MARGIN_TOP_EDIT, MARGIN_LEFT_EDIT}) {
        if (QLineEdit* edit = marginEdit(id)) {
            edit->installEventFilter(this);
        }
    }
    for (int format = 0; format < 4; ++format) {
        if (auto* radio = controlAs<QRadioButton>(FIRST_DATE_RADIO + format)) {
            connect(radio, &QRadioButton::clicked, this,
                    [this, format] { editDateFormat = format; });
        }
    }
    for (const int id : {TABLE_TOP_SPIN, TABLE_HEIGHT_SPIN}) {
        if (auto* spin = controlAs<UpDownControl>(id)) {
            connect(spin, &UpDownControl::stepped, this,
                    [this, id](int direction) { stepTableValue(id, direction); });
        }
    }
    if (auto* restore = controlAs<QPushButton>(RESTORE_BUTTON)) {
        connect(restore, &QPushButton::clicked, this, &OptionsDialog::restoreTableDefaults);
    }
    if (auto* detailed = controlAs<QPushButton>(DETAILED_LAYOUT_BUTTON)) {
        connect(detailed, &QPushButton::clicked, this, &OptionsDialog::runDetailedLayout);
    }
    if (auto* location = controlAs<QPushButton>(DATA_LOCATION_BUTTON)) {
        connect(location, &QPushButton::clicked, this, [this] {
            if (changeDataLocation_) {
                changeDataLocation_();
            }
        });
    }
    if (auto* setup = controlAs<QPushButton>(PRINTER_SETUP_BUTTON)) {
        connect(setup, &QPushButton::clicked, this, &OptionsDialog::runPrinterSetup);
    }
    if (auto* versions = controlAs<QListWidget>(CARD_VERSION_LIST)) {
        connect(versions, &QListWidget::currentRowChanged, this, &OptionsDialog::switchCardVersion);
    }
}

void OptionsDialog::setChangeDataLocation(std::function<void()> changeDataLocation) {
    changeDataLocation_ = std::move(changeDataLocation);
}

void OptionsDialog::setApplicationPrinter(ApplicationPrinter* printer) {
    applicationPrinter_ = printer;
}

void OptionsDialog::setPrinterSetupDialog(PrinterSetupDialog dialog) {
    printerSetupDialog_ = dialog ? std::move(dialog) : PrinterSetupDialog(&showPrinterSetup);
}

bool OptionsDialog::showPrinterSetup(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QString::fromUtf8(PRINTER_SETUP_TITLE));
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    // Nothing is printed from here: the confirming button only takes the choice.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) {
            ok->setText(QStringLiteral("OK"));
        }
    }
    return dialog.exec() == QDialog::Accepted;
}

QLineEdit* OptionsDialog::marginEdit(int id) const {
    return controlAs<QLineEdit>(id);
}

std::string& OptionsDialog::marginField(int id) {
    return id == MARGIN_TOP_EDIT ? editMarginTop : editMarginLeft;
}

QLabel* OptionsDialog::spinBuddy(int spinId) const {
    auto* spin = controlAs<UpDownControl>(spinId);
    return spin ? qobject_cast<QLabel*>(spin->buddy()) : nullptr;
}

void OptionsDialog::initialise() {
    if (initialised_) {
        return;
    }
    initialised_ = true;

    if (editDateFormat >= 0 && editDateFormat < 4) {
        if (auto* radio = controlAs<QRadioButton>(FIRST_DATE_RADIO + editDateFormat)) {
            radio->setChecked(true);
        }
    }
    for (const int id : {MARGIN_TOP_EDIT, MARGIN_LEFT_EDIT}) {
        if (QLineEdit* edit = marginEdit(id)) {
            edit->setText(inchText(marginField(id)));
        }
    }
    if (auto* spin = controlAs<UpDownControl>(TABLE_TOP_SPIN)) {
        spin->setRange(TABLE_TOP_LOWER, TABLE_TOP_UPPER);
    }
    if (auto* spin = controlAs<UpDownControl>(TABLE_HEIGHT_SPIN)) {
        spin->setRange(TABLE_HEIGHT_LOWER, TABLE_HEIGHT_UPPER);
    }
    refreshTableValues();

    const int count = std::min(cardVersionCount(), VERSION_CAPTION_ROOM);
    if (editCardVersionIndex < 0 || editCardVersionIndex >= count) {
        editCardVersionIndex = 0;
    }
    if (auto* versions = controlAs<QListWidget>(CARD_VERSION_LIST)) {
        // Filling and preselecting is not the user's switch of versions.
        const QSignalBlocker quiet(versions);
        versions->clear();
        for (int v = 0; v < count; ++v) {
            versions->addItem(qText(loadText(TEXT_VERSION_CAPTION + v)));
        }
        if (count > 0) {
            versions->setCurrentRow(editCardVersionIndex);
        }
    }
}

void OptionsDialog::showEvent(QShowEvent* event) {
    initialise();
    TemplateDialog::showEvent(event);
}

void OptionsDialog::refreshTableValues() {
    const std::pair<int, std::string> values[] = {
        {TABLE_TOP_SPIN, editLayoutCopy.tableTop()},
        {TABLE_HEIGHT_SPIN, editLayoutCopy.tableHeight()},
    };
    for (const auto& [spinId, text] : values) {
        if (auto* spin = controlAs<UpDownControl>(spinId)) {
            spin->setValue(inchesToHundredths(text));
        }
        if (QLabel* buddy = spinBuddy(spinId)) {
            buddy->setText(inchText(text));
        }
    }
}

void OptionsDialog::stepTableValue(int spinId, int direction) {
    QLabel* buddy = spinBuddy(spinId);
    if (!buddy) {
        return;
    }
    const bool top = spinId == TABLE_TOP_SPIN;
    const std::string value = stepSpinValue(inchBytes(buddy->text()), direction,
                                            top ? TABLE_TOP_LOWER : TABLE_HEIGHT_LOWER,
                                            top ? TABLE_TOP_UPPER : TABLE_HEIGHT_UPPER);
    if (top) {
        editLayoutCopy.setTableTop(value);
    } else {
        editLayoutCopy.setTableHeight(value);
    }
    buddy->setText(inchText(value));
}

void OptionsDialog::restoreTableDefaults() {
    editLayoutCopy.setTableTop(loadText(TEXT_DEFAULT_TABLE_TOP));
    editLayoutCopy.setTableHeight(loadText(TEXT_DEFAULT_TABLE_HEIGHT));
    refreshTableValues();
}

void OptionsDialog::runDetailedLayout() {
    DetailedLayoutDialog detailed(this);
    detailed.editLayout = editLayoutCopy;
    detailed.editCardVersion = editCardVersionIndex;
    if (detailed.exec() == QDialog::Accepted) {
        editLayoutCopy = detailed.editLayout;
    }
    refreshTableValues();
}

void OptionsDialog::switchCardVersion(int row) {
    if (row < 0) {
        return;
    }
    // The version being left keeps its layout in its file, even if this dialog is cancelled.
    saveLayout(editLayoutCopy, editCardVersionIndex, layoutFolder_);
    editCardVersionIndex = row;
    if (!loadLayout(editLayoutCopy, editCardVersionIndex, layoutFolder_)) {
        setLayoutDefaults(editLayoutCopy, editCardVersionIndex);
    }
    refreshTableValues();
}

void OptionsDialog::runPrinterSetup() {
    // Start from the printer the next command would use; the system's default when there
    // is none yet, so the user can still pick one.
    std::unique_ptr<QPrinter> printer =
        applicationPrinter_ ? applicationPrinter_->printerForCommand() : nullptr;
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    if (printerSetupDialog_(*printer, this) && applicationPrinter_) {
        applicationPrinter_->setPickedPrinter(*printer);
    }
}

bool OptionsDialog::commitMargin(int id) {
    QLineEdit* edit = marginEdit(id);
    if (!edit) {
        return true;
    }
    std::string text = inchBytes(edit->text());
    const bool accepted = normaliseInchEntry(text, MessageBox::reporter(this));
    if (accepted) {
        marginField(id) = text;
    }
    edit->setText(inchText(marginField(id)));
    return accepted;
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        auto* edit = qobject_cast<QLineEdit*>(watched);
        // Another window taking the focus (a message box, a menu) leaves the edit where it is.
        const bool leavesEdit =
            reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        if (edit && leavesEdit) {
            const int id = edit == marginEdit(MARGIN_TOP_EDIT) ? MARGIN_TOP_EDIT : MARGIN_LEFT_EDIT;
            // Once the focus change is complete, so the message box does not fight it.
            QMetaObject::invokeMethod(
                this,
                [this, id] {
                    if (isVisible()) {
                        commitMargin(id);
                    }
                },
                Qt::QueuedConnection);
        }
    }
    return TemplateDialog::eventFilter(watched, event);
}

void OptionsDialog::accept() {
    // A margin typed and confirmed with Enter never lost the focus: take it now, and keep
    // the dialog open when it is refused, so the typed value is not silently dropped.
    for (const int id : {MARGIN_TOP_EDIT, MARGIN_LEFT_EDIT}) {
        QLineEdit* edit = marginEdit(id);
        if (edit && inchBytes(edit->text()) != marginField(id) && !commitMargin(id)) {
            edit->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    TemplateDialog::accept();
}

} // namespace pelkorl
