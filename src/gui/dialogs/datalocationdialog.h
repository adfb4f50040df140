#pragma once
// The choice of the data location: the current folder, or drive A: (on systems without
// drive letters a removable-media folder, chosen with a picker beside the drive's radio
// button). OK probes the choice and stays open with a message while it cannot be used.
#include "text/textids.h"
#include "toolkit/dialogbuilder.h"

#include <QString>

#include <filesystem>
#include <functional>

class QLabel;
class QPushButton;
class QRadioButton;
class QShowEvent;

namespace pelkorl {

inline constexpr int DRIVE_A_RADIO_ID = 206;
inline constexpr int CURRENT_FOLDER_RADIO_ID = 208;
inline constexpr int DRIVE_UNAVAILABLE_TEXT_ID = 243;
// The folder picker's button, added beside radio 206 (not part of the template).
inline constexpr int REMOVABLE_FOLDER_BUTTON_ID = 207;
// Caption of that button in the string table.

class DataLocationDialog : public TemplateDialog {
    Q_OBJECT
public:
    // Asks for a folder: parent, caption, folder to start in; an empty result is a cancel.
    using FolderPicker =
        std::function<QString(QWidget* parent, const QString& caption, const QString& start)>;

    explicit DataLocationDialog(QWidget* parent = nullptr);

    // In: the location to preselect; out after OK: 0 = current folder, 1 = drive A:.
    void setChosenDrive(int drive) { chosenDrive_ = drive; }
    int chosenDrive() const { return chosenDrive_; }
    // Shows the unavailable-drive message from the start.
    void setDriveUnavailable(bool unavailable) { driveUnavailable_ = unavailable; }
    bool driveUnavailable() const { return driveUnavailable_; }

    // The folder that stands for drive A:. Set before running; after OK the folder to keep
    // (the main dialog stores it in the settings); Cancel restores the one given.
    void setRemovableFolder(const std::filesystem::path& folder);
    const std::filesystem::path& removableFolder() const { return removableFolder_; }

    // Checks the radio of chosenDrive and shows or hides the message; run when shown.
    void prepareControls();
    // OK button and Enter: probe the choice; close with OK only when it can be used.
    void accept() override;
    // Cancel button and Esc: chosenDrive() keeps its value.
    void reject() override;
    // The picker button: a chosen folder becomes drive A: and selects it.
    void pickRemovableFolder();

    // The picker button, or nullptr where drive A: is a real drive.
    QPushButton* folderButton() const { return folderButton_; }

    // Replaces the system's folder dialog (tests); an empty picker restores it.
    static void setFolderPicker(FolderPicker picker);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showFolder();
    // The unavailable-drive message, with the folder that was looked for.
    void showUnavailable();

    QRadioButton* driveA_;
    QRadioButton* currentFolder_;
    QLabel* unavailableText_;
    int chosenDrive_ = 0;
    bool driveUnavailable_ = false;
    std::filesystem::path removableFolder_;
    std::filesystem::path givenFolder_;
    QString unavailableMessage_;
    QPushButton* folderButton_ = nullptr;
};

} // namespace pelkorl
