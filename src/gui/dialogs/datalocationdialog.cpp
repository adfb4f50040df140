// Before any Qt header: Qt's keyword macros (slots) must not meet the core's members.
#include "records/datalocation.h"

#include "dialogs/datalocationdialog.h"
#include "text/dialogs.h"
#include "text/strings.h"

#include <QAbstractButton>
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

QString toQString(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(utf8.data()),
                             static_cast<qsizetype>(utf8.size()));
}

std::filesystem::path toPath(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool isChecked(const QWidget* widget) {
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    return button && button->isChecked();
}

void setChecked(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setChecked(true);
}

} // namespace

DataLocationDialog::DataLocationDialog(QWidget* parent)
    : TemplateDialog(DATA_LOCATION_DIALOG_ID, parent),
      removableFolder_(removableDataFolder(std::string())), givenFolder_(removableFolder_) {
#ifndef Q_OS_WIN
    // No drive letters here: drive A: is a folder the user picks.
    folderButton_ =
        new QPushButton(QString::fromStdString(loadText(REMOVABLE_FOLDER_BUTTON_TEXT)), this);
    folderButton_->setObjectName(QStringLiteral("control%1").arg(REMOVABLE_FOLDER_BUTTON_ID));
    folderButton_->setFont(font());
    folderButton_->setAutoDefault(false);
    folderButton_->setGeometry(dialogUnitsToPixels(FOLDER_BUTTON_X, FOLDER_BUTTON_Y,
                                                   FOLDER_BUTTON_W, FOLDER_BUTTON_H,
                                                   controls().baseUnits()));
    if (QWidget* driveA = control(DRIVE_A_RADIO_ID))
        QWidget::setTabOrder(driveA, folderButton_);
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
    const QString where = QDir::toNativeSeparators(toQString(removableFolder_));
    if (folderButton_)
        folderButton_->setToolTip(where);
    if (QWidget* driveA = control(DRIVE_A_RADIO_ID); driveA && folderButton_)
        driveA->setToolTip(where);
}

void DataLocationDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        prepareControls();
    TemplateDialog::showEvent(event);
}

void DataLocationDialog::prepareControls() {
    setChecked(control(chosenDrive == 1 ? DRIVE_A_RADIO_ID : CURRENT_FOLDER_RADIO_ID));
    if (QWidget* message = control(DRIVE_UNAVAILABLE_TEXT_ID))
        message->setVisible(driveUnavailable == 1);
}

void DataLocationDialog::accept() {
    QWidget* message = control(DRIVE_UNAVAILABLE_TEXT_ID);
    if (message)
        message->hide();
    const int choice =
        isChecked(control(DRIVE_A_RADIO_ID)) && !isChecked(control(CURRENT_FOLDER_RADIO_ID)) ? 1
                                                                                             : 0;
    if (!probeDataDrive(choice, removableFolder_)) {
        if (message)
            message->show();
        return;
    }
    chosenDrive = choice;
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
    const QString start = toQString(removableFolder_);
    const QString chosen =
        picker ? picker(this, caption, start) : systemFolderPicker(this, caption, start);
    if (chosen.isEmpty())
        return;
    removableFolder_ = toPath(chosen);
    showFolder();
    setChecked(control(DRIVE_A_RADIO_ID));
}

void DataLocationDialog::setFolderPicker(FolderPicker picker) {
    folderPicker() = std::move(picker);
}

} // namespace pelkorl
