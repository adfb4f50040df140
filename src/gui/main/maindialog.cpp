#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include "main/maindialog.h"

#include "card/cardlayout.h"
#include "dialogs/aboutdialog.h"
#include "records/datalocation.h"
#include "settings/layoutfile.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "settings/startupdata.h"
#include "text/strings.h"
#include "toolkit/appicon.h"
#include "toolkit/messagebox.h"

#include <QAction>
#include <QCheckBox>
#include <QKeySequence>

namespace pelkorl {

MainDialog::MainDialog(SettingsLocation settingsFile, std::filesystem::path currentFolder,
                       QDate today, QWidget* parent)
    : MainDialogBase(std::move(currentFolder), parent), settingsFile_(std::move(settingsFile)),
      today_(today) {}

MainDialog::~MainDialog() = default;

void MainDialog::initialise() {
    if (initialised_)
        return;
    initialised_ = true;

    // The clock is read once: every month decision of the run uses these two.
    const QDate today = today_.isValid() ? today_ : QDate::currentDate();
    takeClock(state, today.year(), today.month());

    attachPanes();
    showFilterName();
    addAboutCommand();
    setWindowIcon(appIcon());
    startDrive = static_cast<std::uint8_t>(driveNumberOf(currentFolder()));

    const Profile profile = ProfileFile(settingsFile_.readFile).read();
    Settings settings;
    readDataLocation(profile, settings);
    dataDrive = settings.dataDrive;
    removableFolder = settings.removableFolder;
    settingsChanged = 0;
    startAborted = 0;

    if (!probeDataDrive(dataDrive, removableDataFolder(removableFolder))) {
        int chosen = dataDrive;
        std::filesystem::path folder = removableDataFolder(removableFolder);
        if (chooseDataLocation && chooseDataLocation(*this, chosen, folder, true)) {
            const std::string chosenFolder = folderSetting(folder);
            if (chosen != dataDrive || chosenFolder != removableFolder) {
                dataDrive = static_cast<std::uint8_t>(chosen);
                removableFolder = chosenFolder;
                settingsChanged = 1;
            }
        } else {
            startAborted = 1;
        }
    }

    if (startAborted == 0 && allocateRecordStore(data.store, MessageBox::reporter(this)))
        loadPublisherData(data, dataLocation(), startAborted, passwordPrompt);
    if (startAborted == 0)
        fillPublisherList();
    state.useLongName = 1;

    readRemainingSettings(profile, settings, cardVersionCount());
    applyRemainingSettings(state, settings);

    checkBox(LAST_NAME_FIRST_BOX_ID)->setChecked(state.lastNameFirst != 0);
    checkBox(LONG_NAME_BOX_ID)->setChecked(true);
    checkBox(PRINT_HEADER_BOX_ID)->setChecked(true);
    checkBox(SEX_MARK_BOX_ID)->setChecked(false);

    if (startAborted == 1) {
        // Nothing after this would outlive the dialog, and no layout was loaded to save.
        closeMainDialog();
        return;
    }

    checkBox(PREVIOUS_YEAR_BOX_ID)->setChecked(false);
    updateMonthBoxes();

    loadCardLayout(state, currentFolder());
    layoutLoaded_ = true;
    updateTitle();
}

int MainDialog::exec() {
    initialise();
    if (closed_)
        return result();
    return MainDialogBase::exec();
}

void MainDialog::writeSettingsFile() {
    Settings settings;
    settings.dataDrive = dataDrive;
    settings.removableFolder = removableFolder;
    settings.dateFormat = state.dateFormat;
    settings.lastNameFirst = state.lastNameFirst;
    settings.cardVersion = state.cardVersion;
    settings.marginTop = state.marginTop;
    settings.marginLeft = state.marginLeft;
    prepareSettingsWrite(settingsFile_);
    ProfileFile profile(settingsFile_.writeFile);
    writeSettings(profile, settings);
}

void MainDialog::closeMainDialog() {
    if (!closed_) {
        closed_ = true;
        freeRecordStore(data.store);
        // The records are gone: nothing may read the old selection any more.
        state.selectedRecord = -1;
        if (settingsChanged == 1)
            writeSettingsFile();
        if (layoutLoaded_)
            saveLayout(state.layout, state.cardVersion, currentFolder());
    }
    MainDialogBase::reject();
}

void MainDialog::reject() {
    closeMainDialog();
}

bool MainDialog::systemCommand(int commandId) {
    if ((commandId & ~0xF) != ABOUT_COMMAND)
        return false;
    openAboutBox();
    return true;
}

void MainDialog::openAboutBox() {
    AboutDialog about(currentFolder(), this);
    about.exec();
}

#ifdef _WIN32

void MainDialog::addAboutCommand() {
    const std::string text = loadText(ABOUT_COMMAND_TEXT);
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    if (!menu || text.empty())
        return;
    const std::wstring wide = QString::fromStdString(text).toStdWString();
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, ABOUT_COMMAND, wide.c_str());
}

bool MainDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    const MSG* msg = static_cast<const MSG*>(message);
    if (eventType == "windows_generic_MSG" && msg->message == WM_SYSCOMMAND &&
        systemCommand(static_cast<int>(msg->wParam & 0xFFFF))) {
        *result = 0;
        return true;
    }
    return MainDialogBase::nativeEvent(eventType, message, result);
}

#else

// Window systems without a menu a program may extend: the same command in the dialog's
// context menu and on F1.
void MainDialog::addAboutCommand() {
    const std::string text = loadText(ABOUT_COMMAND_TEXT);
    if (text.empty() || aboutAction_)
        return;
    aboutAction_ = new QAction(QString::fromStdString(text), this);
    aboutAction_->setShortcut(QKeySequence(Qt::Key_F1));
    aboutAction_->setShortcutContext(Qt::WindowShortcut);
    connect(aboutAction_, &QAction::triggered, this, [this] { systemCommand(ABOUT_COMMAND); });
    addAction(aboutAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

#endif

} // namespace pelkorl
