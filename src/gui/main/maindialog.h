#pragma once
// The program's one window. Start-up runs in a fixed order (clock, settings, data location,
// record store and publisher data, list, remaining settings, check boxes, month boxes,
// layout, title) because that order decides what the user sees when the data location is
// missing or the password is refused; close frees the records, writes the settings when one
// changed and rewrites the layout file of the card version.
#include "main/maindialogbase.h"
#include "settings/settingslocation.h"

#include <QDate>

#include <filesystem>

class QAction;

namespace pelkorl {

// The about command: its id among the system menu's commands, and its text.
inline constexpr int ABOUT_COMMAND = 16;
inline constexpr int ABOUT_COMMAND_TEXT = 101;

class MainDialog : public MainDialogBase {
    Q_OBJECT
public:
    // `settingsFile`: where the settings are read and written. `currentFolder`: the data
    // folder (the process's working folder at start-up). `today`: the date start-up takes
    // instead of the clock (tests); a null date reads the local clock once at start-up.
    MainDialog(SettingsLocation settingsFile, std::filesystem::path currentFolder,
               QDate today = QDate(), QWidget* parent = nullptr);
    ~MainDialog() override;

    // The start-up sequence; runs once (exec() runs it when nobody did).
    void initialise();
    bool initialised() const { return initialised_; }
    // Start-up, then the dialog modally unless the start was abandoned.
    int exec() override;

    // Button 2, Esc and the close box: frees the records, writes the settings when one
    // changed, rewrites the layout file, ends the dialog. Runs once.
    void closeMainDialog();
    void reject() override;
    bool closed() const { return closed_; }
    // The layout was loaded, so a close writes it back.
    bool layoutLoaded() const { return layoutLoaded_; }

    const SettingsLocation& settingsFile() const { return settingsFile_; }

    // A system-menu command; true when it was ours (the about command).
    bool systemCommand(int commandId);
    // The about box over this dialog, modal.
    void openAboutBox();
    // The about command where the system menu cannot take it (context menu and F1); nullptr
    // where it went into the system menu, or when its text is empty.
    QAction* aboutAction() const { return aboutAction_; }

protected:
#ifdef _WIN32
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void addAboutCommand();
    void writeSettingsFile();

    SettingsLocation settingsFile_;
    QDate today_;
    QAction* aboutAction_ = nullptr;
    bool initialised_ = false;
    bool closed_ = false;
    bool layoutLoaded_ = false;
};

} // namespace pelkorl
