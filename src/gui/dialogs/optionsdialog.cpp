#include "dialogs/optionsdialog.h"

#include "card/spinstep.h"
#include "dialogs/detailedlayoutdialog.h"
#include "printing/printjob.h"
#include "settings/layoutfile.h"
#include "text/dialogs.h"
#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <algorithm>
#include <memory>
#include <tuple>

namespace pelkorl {

namespace {

constexpr const char* PRINTER_SETUP_TITLE = "Spausdinimo parinktys";

// The text an up-down control steps; the template puts it right before the control.
QLabel* valueTextOf(const UpDownControl& spin) {
    auto* text = qobject_cast<QLabel*>(spin.buddy());
    Q_ASSERT_X(text, "OptionsDialog", "an up-down control without its text");
    if (!text)
        qFatal("options dialog: an up-down control has no text beside it");
    return text;
}

} // namespace

OptionsDialog::OptionsDialog(std::filesystem::path layoutFolder, QWidget* parent)
    : TemplateDialog(OPTIONS_DIALOG_ID, parent), layoutFolder_(std::move(layoutFolder)),
      printerSetupDialog_(&OptionsDialog::showPrinterSetup),
      marginTopEdit_(require<QLineEdit>(MARGIN_TOP_EDIT)),
      marginLeftEdit_(require<QLineEdit>(MARGIN_LEFT_EDIT)),
      tableTopSpin_(require<UpDownControl>(TABLE_TOP_SPIN)),
      tableHeightSpin_(require<UpDownControl>(TABLE_HEIGHT_SPIN)),
      tableTopText_(valueTextOf(*tableTopSpin_)), tableHeightText_(valueTextOf(*tableHeightSpin_)),
      versionList_(require<QListWidget>(CARD_VERSION_LIST)) {
    for (QLineEdit* edit : {marginTopEdit_, marginLeftEdit_}) {
        edit->installEventFilter(this);
    }
    for (int format = 0; format < DATE_FORMAT_COUNT; ++format) {
        dateRadios_[format] = require<QRadioButton>(FIRST_DATE_RADIO + format);
        connect(dateRadios_[format], &QRadioButton::clicked, this,
                [this, format] { dateFormat_ = format; });
    }
    connect(tableTopSpin_, &UpDownControl::stepped, this,
            [this](int direction) { stepTableValue(true, direction); });
    connect(tableHeightSpin_, &UpDownControl::stepped, this,
            [this](int direction) { stepTableValue(false, direction); });
    connect(require<QPushButton>(RESTORE_BUTTON), &QPushButton::clicked, this,
            &OptionsDialog::restoreTableDefaults);
    connect(require<QPushButton>(DETAILED_LAYOUT_BUTTON), &QPushButton::clicked, this,
            &OptionsDialog::runDetailedLayout);
    connect(require<QPushButton>(DATA_LOCATION_BUTTON), &QPushButton::clicked, this, [this] {
        if (changeDataLocation_) {
            changeDataLocation_();
        }
    });
    connect(require<QPushButton>(PRINTER_SETUP_BUTTON), &QPushButton::clicked, this,
            &OptionsDialog::runPrinterSetup);
    connect(versionList_, &QListWidget::currentRowChanged, this, &OptionsDialog::switchCardVersion);
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

namespace {

// A page the printer takes only as a custom size: Qt's page tab lists the printer's own sizes
// and a "Custom" entry without its size, so it would show such a page as the first size of
// the list and take that on OK.
bool onlyCustom(const QPrinter& printer, const QPageSize& page) {
    const QPrinterInfo info(printer);
    if (info.isNull() || !info.supportsCustomPageSizes()) {
        return false;
    }
    const QList<QPageSize> sizes = info.supportedPageSizes();
    return std::none_of(sizes.begin(), sizes.end(),
                        [&](const QPageSize& size) { return size.isEquivalentTo(page); });
}

// Puts the page tab of Qt's printer properties back on the custom page when it opens.
class CustomPageKeeper : public QObject {
public:
    CustomPageKeeper(const QPrinter& printer, const QPageSize& page)
        : printer_(printer), name_(printer.printerName()), page_(page) {}
    bool shown() const { return shown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->inherits("QPrintPropertiesDialog") &&
            !shown_) {
            shown_ = true;
            if (printer_.printerName() == name_) {
                showCustomPage(static_cast<QWidget*>(watched));
            }
        }
        return false;
    }

private:
    void showCustomPage(QWidget* properties) const {
        auto* sizes = properties->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
        auto* units = properties->findChild<QComboBox*>(QStringLiteral("unitCombo"));
        auto* width = properties->findChild<QDoubleSpinBox*>(QStringLiteral("pageWidth"));
        auto* height = properties->findChild<QDoubleSpinBox*>(QStringLiteral("pageHeight"));
        const int custom =
            sizes ? sizes->findText(QCoreApplication::translate("QPageSetupWidget", "Custom")) : -1;
        if (custom < 0 || !units || !width || !height) {
            return;
        }
        sizes->setCurrentIndex(custom);
        // The page and layout units share their values.
        const auto unit = QPageSize::Unit(units->currentData().value<QPageLayout::Unit>());
        const QSizeF size = page_.size(unit);
        width->setValue(size.width());
        height->setValue(size.height());
    }

    const QPrinter& printer_;
    QString name_;
    QPageSize page_;
    bool shown_ = false;
};

} // namespace

bool OptionsDialog::showPrinterSetup(QPrinter& printer, QWidget* parent) {
    const QPageLayout before = printer.pageLayout();
    const QString printerBefore = printer.printerName();
    std::unique_ptr<CustomPageKeeper> keeper;
    if (printer.outputFormat() == QPrinter::NativeFormat &&
        onlyCustom(printer, before.pageSize())) {
        keeper = std::make_unique<CustomPageKeeper>(printer, before.pageSize());
        qApp->installEventFilter(keeper.get());
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(textFromUtf8(PRINTER_SETUP_TITLE));
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    // Nothing is printed from here: the confirming button only takes the choice.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) {
            ok->setText(QStringLiteral("OK"));
        }
    }
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    // A page tab never opened on the same printer was never seen: the custom page stays.
    if (confirmed && keeper && !keeper->shown() && printer.printerName() == printerBefore) {
        printer.setPageLayout(before);
    }
    return confirmed;
}

std::string& OptionsDialog::marginOf(const QLineEdit* edit) {
    return edit == marginTopEdit_ ? marginTop_ : marginLeft_;
}

void OptionsDialog::initialise() {
    if (initialised_) {
        return;
    }
    initialised_ = true;

    if (dateFormat_ >= 0 && dateFormat_ < DATE_FORMAT_COUNT) {
        dateRadios_[dateFormat_]->setChecked(true);
    }
    for (QLineEdit* edit : {marginTopEdit_, marginLeftEdit_}) {
        edit->setText(textFromBytes(marginOf(edit)));
    }
    tableTopSpin_->setRange(TABLE_TOP_LOWER, TABLE_TOP_UPPER);
    tableHeightSpin_->setRange(TABLE_HEIGHT_LOWER, TABLE_HEIGHT_UPPER);
    refreshTableValues();

    const int count = std::min(cardVersionCount(), CARD_VERSION_CAPTION_ROOM);
    if (cardVersion_ < 0 || cardVersion_ >= count) {
        cardVersion_ = 0;
    }
    // Filling and preselecting is not the user's switch of versions.
    const QSignalBlocker quiet(versionList_);
    versionList_->clear();
    for (int v = 0; v < count; ++v) {
        versionList_->addItem(textFromUtf8(loadText(CARD_VERSION_CAPTION_BASE + v)));
    }
    if (count > 0) {
        versionList_->setCurrentRow(cardVersion_);
    }
}

void OptionsDialog::showEvent(QShowEvent* event) {
    initialise();
    TemplateDialog::showEvent(event);
}

void OptionsDialog::refreshTableValues() {
    const std::tuple<UpDownControl*, QLabel*, std::string> values[] = {
        {tableTopSpin_, tableTopText_, layout_.tableTop()},
        {tableHeightSpin_, tableHeightText_, layout_.tableHeight()},
    };
    for (const auto& [spin, valueText, text] : values) {
        spin->setValue(inchesToHundredths(text));
        valueText->setText(textFromBytes(text));
    }
}

void OptionsDialog::stepTableValue(bool top, int direction) {
    QLabel* valueText = top ? tableTopText_ : tableHeightText_;
    const std::string value = stepSpinValue(bytesFromText(valueText->text()), direction,
                                            top ? TABLE_TOP_LOWER : TABLE_HEIGHT_LOWER,
                                            top ? TABLE_TOP_UPPER : TABLE_HEIGHT_UPPER);
    if (top) {
        layout_.setTableTop(value);
    } else {
        layout_.setTableHeight(value);
    }
    valueText->setText(textFromBytes(value));
}

void OptionsDialog::restoreTableDefaults() {
    // The card version's own table: the older cards share 1.32 and 1.99, but the 11/23
    // card's table would run into its header at those.
    CardLayout defaults;
    setLayoutDefaults(defaults, cardVersion_);
    layout_.setTableTop(defaults.tableTop());
    layout_.setTableHeight(defaults.tableHeight());
    refreshTableValues();
}

void OptionsDialog::runDetailedLayout() {
    DetailedLayoutDialog detailed(this);
    detailed.setCardLayout(layout_);
    detailed.setCardVersion(cardVersion_);
    if (detailed.exec() == QDialog::Accepted) {
        layout_ = detailed.cardLayout();
    }
    refreshTableValues();
}

void OptionsDialog::switchCardVersion(int row) {
    if (row < 0) {
        return;
    }
    // The version being left keeps its layout in its file, even if this dialog is cancelled.
    saveLayout(layout_, cardVersion_, layoutFolder_);
    cardVersion_ = row;
    if (!loadLayout(layout_, cardVersion_, layoutFolder_)) {
        setLayoutDefaults(layout_, cardVersion_);
    }
    refreshTableValues();
}

void OptionsDialog::runPrinterSetup() {
    // Qt's dialog switches the printer it works on while the user browses the list, so it
    // works on a candidate: a cancelled setup leaves the application's printer as it was.
    std::unique_ptr<QPrinter> candidate =
        applicationPrinter_ ? applicationPrinter_->setupCandidate()
                            : std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (printerSetupDialog_(*candidate, this) && applicationPrinter_) {
        applicationPrinter_->takeSetup(std::move(candidate));
    }
}

bool OptionsDialog::commitMargin(QLineEdit* edit) {
    std::string text = bytesFromText(edit->text());
    const bool accepted = normaliseInchEntry(text, MessageBox::reporter(this));
    if (accepted) {
        marginOf(edit) = text;
    }
    edit->setText(textFromBytes(marginOf(edit)));
    return accepted;
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == marginTopEdit_ || watched == marginLeftEdit_)) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window taking the focus (a message box, a menu) leaves the edit where it is.
        const bool leavesEdit =
            reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
        if (leavesEdit) {
            QLineEdit* edit = static_cast<QLineEdit*>(watched);
            // Once the focus change is complete, so the message box does not fight it.
            QMetaObject::invokeMethod(
                this,
                [this, edit] {
                    if (isVisible()) {
                        commitMargin(edit);
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
    for (QLineEdit* edit : {marginTopEdit_, marginLeftEdit_}) {
        if (bytesFromText(edit->text()) != marginOf(edit) && !commitMargin(edit)) {
            edit->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    TemplateDialog::accept();
}

} // namespace pelkorl
