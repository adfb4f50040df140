// Before any Qt header: Qt's keyword macros (slots) must not meet the core's members.
#include "records/datalocation.h"

#include "dialogs/datalocationdialog.h"
#include "text/dialogs.h"
#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/qtstrings.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <string>

namespace pelkorl {

namespace {

// Where the picker's button sits, in dialog units: under the text of radio 206, above
// radio 208, clear of every control of the template.
constexpr int FOLDER_BUTTON_X = 26;
constexpr int FOLDER_BUTTON_Y = 22;
constexpr int FOLDER_BUTTON_W = 50;
constexpr int FOLDER_BUTTON_H = 12;

DataLocationDialog::FolderPicker& folderPicker() {
    static DataLocationDialog::FolderPicker picker;
    return picker;
}

QString systemFolderPicker(QWidget* parent, const QString& caption, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, caption, start);
}

} // namespace

DataLocationDialog::DataLocationDialog(QWidget* parent)
    : TemplateDialog(DATA_LOCATION_DIALOG_ID, parent),
      driveA_(require<QRadioButton>(DRIVE_A_RADIO_ID)),
      currentFolder_(require<QRadioButton>(CURRENT_FOLDER_RADIO_ID)),
      unavailableText_(require<QLabel>(DRIVE_UNAVAILABLE_TEXT_ID)),
      removableFolder_(removableDataFolder(std::string())), givenFolder_(removableFolder_),
      unavailableMessage_(unavailableText_->text()) {
#ifndef Q_OS_WIN
    // No drive letters here: drive A: is a folder the user picks.
    folderButton_ = new QPushButton(textFromUtf8(loadText(REMOVABLE_FOLDER_BUTTON_TEXT)), this);
    folderButton_->setObjectName(QStringLiteral("control%1").arg(REMOVABLE_FOLDER_BUTTON_ID));
    folderButton_->setFont(font());
    folderButton_->setAutoDefault(false);
    folderButton_->setGeometry(dialogUnitsToPixels(FOLDER_BUTTON_X, FOLDER_BUTTON_Y,
                                                   FOLDER_BUTTON_W, FOLDER_BUTTON_H,
                                                   controls().baseUnits()));
    QWidget::setTabOrder(driveA_, folderButton_);
    connect(folderButton_, &QPushButton::clicked, this, [this] { pickRemovableFolder(); });
    showFolder();
#endif
}

void DataLocationDialog::setRemovableFolder(const std::filesystem::path& folder) {
    removableFolder_ = folder;
    givenFolder_ = folder;
    showFolder();
}

void DataLocationDialog::showFolder() {
    const QString where = QDir::toNativeSeparators(textFromPath(removableFolder_));
    if (folderButton_) {
        folderButton_->setToolTip(where);
        driveA_->setToolTip(where);
    }
}

void DataLocationDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        prepareControls();
    TemplateDialog::showEvent(event);
}

void DataLocationDialog::prepareControls() {
    (chosenDrive_ == 1 ? driveA_ : currentFolder_)->setChecked(true);
    if (driveUnavailable_)
        showUnavailable();
    else
        unavailableText_->hide();
}

void DataLocationDialog::showUnavailable() {
    QString text = unavailableMessage_;
#ifndef Q_OS_WIN
    // Without drive letters the drive is a folder: say which one was looked for.
    const QString where = QDir::toNativeSeparators(textFromPath(removableFolder_));
    const QString line = where.isEmpty()
                             ? textFromUtf8(loadText(NO_FOLDER_CHOSEN))
                             : textFromUtf8(loadText(LOOKED_IN_FOLDER)).replace("%1", where);
    text += '\n' + fontMetrics().elidedText(line, Qt::ElideMiddle, unavailableText_->width());
    unavailableText_->setToolTip(where);
#endif
    unavailableText_->setText(text);
    unavailableText_->show();
}

void DataLocationDialog::accept() {
    unavailableText_->hide();
    const int choice = driveA_->isChecked() && !currentFolder_->isChecked() ? 1 : 0;
    if (!probeDataDrive(choice, removableFolder_)) {
        showUnavailable();
        return;
    }
    chosenDrive_ = choice;
    TemplateDialog::accept();
}

void DataLocationDialog::reject() {
    removableFolder_ = givenFolder_;
    showFolder();
    TemplateDialog::reject();
}

void DataLocationDialog::pickRemovableFolder() {
    const FolderPicker& picker = folderPicker();
    const QString caption = windowTitle();
    const QString start = textFromPath(removableFolder_);
    const QString chosen =
        picker ? picker(this, caption, start) : systemFolderPicker(this, caption, start);
    if (chosen.isEmpty())
        return;
    removableFolder_ = pathFromText(chosen);
    showFolder();
    driveA_->setChecked(true);
}

void DataLocationDialog::setFolderPicker(FolderPicker picker) {
    folderPicker() = std::move(picker);
}

} // namespace pelkorl
