#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include "main/maindialog.h"

#include "card/cardbatch.h"
#include "card/cardlayout.h"
#include "card/figures.h"
#include "card/publisherfilter.h"
#include "card/totals.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/datalocationdialog.h"
#include "dialogs/optionsdialog.h"
#include "dialogs/passworddialog.h"
#include "main/cardcommands.h"
#include "main/headerpreviewpane.h"
#include "main/publisherlistbox.h"
#include "main/tablepreviewpane.h"
#include "printing/printjob.h"
#include "records/datalocation.h"
#include "settings/layoutfile.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "settings/startupdata.h"
#include "text/dialogs.h"
#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/appicon.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QKeySequence>
#include <QPushButton>
#include <QString>
#include <QStringList>

#include <vector>

namespace pelkorl {

namespace {

ControlFactories listFactory() {
    ControlFactories factories;
    factories[PUBLISHER_LIST_ID] = [](const ControlTemplate& c, QWidget* parent) -> QWidget* {
        auto* list = new PublisherListBox(parent);
        list->setVerticalScrollBarPolicy(c.has(ControlStyle::VSCROLL) ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
        if (!c.has(ControlStyle::BORDER))
            list->setFrameShape(QFrame::NoFrame);
        return list;
    };
    return factories;
}

// The template and this class are built together: a control missing from it is a fault of
// the program, never of the user's data, and nothing sensible can run without it.
template <class T> T* resolved(const TemplateDialog& dialog, int id) {
    T* control = dialog.controlAs<T>(id);
    Q_ASSERT_X(control, "MainDialog", "a control is missing from the main dialog's template");
    if (!control)
        qFatal("Pelkorl: the main dialog's template has no %s of id %d",
               T::staticMetaObject.className(), id);
    return control;
}

bool runLocationDialog(MainDialog& owner, int& chosenDrive, std::filesystem::path& removableFolder,
                       bool driveUnavailable) {
    DataLocationDialog dialog(&owner);
    dialog.setChosenDrive(chosenDrive);
    dialog.setDriveUnavailable(driveUnavailable);
    dialog.setRemovableFolder(removableFolder);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosenDrive = dialog.chosenDrive();
    removableFolder = dialog.removableFolder();
    return true;
}

bool runOptionsDialog(MainDialog& owner, OptionsValues& values) {
    OptionsDialog dialog(owner.currentFolder(), &owner);
    dialog.setDateFormat(values.dateFormat);
    dialog.setCardVersion(values.cardVersion);
    dialog.setMargins(values.marginTop, values.marginLeft);
    dialog.setCardLayout(values.layout);
    dialog.setChangeDataLocation([&owner] { owner.changeDataLocation(); });
    dialog.setApplicationPrinter(&owner.applicationPrinter());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    values.dateFormat = dialog.dateFormat();
    values.cardVersion = dialog.cardVersion();
    values.marginTop = dialog.marginTop();
    values.marginLeft = dialog.marginLeft();
    values.layout = dialog.cardLayout();
    return true;
}

} // namespace

MainDialog::MainDialog(SettingsLocation settingsFile, std::filesystem::path currentFolder,
                       QDate today, QWidget* parent)
    : TemplateDialog(MAIN_DIALOG_ID, parent, listFactory()), settingsFile_(std::move(settingsFile)),
      currentFolder_(std::move(currentFolder)), today_(today),
      printer_(std::make_unique<ApplicationPrinter>()) {
    state_.data = &data_;
    resolveControls();
    passwordPrompt_ = [this](const std::string& expected) {
        return runPasswordDialog(this, expected);
    };
    chooseDataLocation_ = runLocationDialog;
    runOptions_ = runOptionsDialog;
    cardCommands_ = std::make_unique<CardCommands>(
        this, state_, [this]() -> ApplicationPrinter& { return *printer_; },
        [this] {
            return batchRecords(data_.store, listFilter_, state_.lastMonth, state_.lastNameFirst);
        });
    cardCommands_->setFormFileStore([this] { return textFromUtf8(fillFormFile_); },
                                    [this](const QString& file) {
                                        const std::string kept = utf8FromText(file);
                                        if (kept != fillFormFile_) {
                                            fillFormFile_ = kept;
                                            settings_ = SettingsState::Changed;
                                        }
                                    });
    cardCommands_->setInputFiles([this] {
        std::vector<std::filesystem::path> files = dataFilesOf(dataLocation());
        for (const std::filesystem::path& layout : layoutFiles(currentFolder_))
            files.push_back(layout);
        files.push_back(settingsFile_.readFile);
        files.push_back(settingsFile_.writeFile);
        return files;
    });
    // A totals record chosen in the preview is shown in both panes.
    cardCommands_->setShownChanged([this] {
        invalidateHeaderPane();
        invalidateTablePane();
    });
    connectHandlers();
}

MainDialog::~MainDialog() = default;

void MainDialog::resolveControls() {
    publisherList_ = resolved<PublisherListBox>(*this, PUBLISHER_LIST_ID);
    filterButton_ = resolved<QPushButton>(*this, FILTER_BUTTON_ID);
    headerSurface_ = resolved<OwnerDrawSurface>(*this, HEADER_PANE_ID);
    tableSurface_ = resolved<OwnerDrawSurface>(*this, TABLE_PANE_ID);
    lastNameFirstBox_ = resolved<QCheckBox>(*this, LAST_NAME_FIRST_BOX_ID);
    longNameBox_ = resolved<QCheckBox>(*this, LONG_NAME_BOX_ID);
    printHeaderBox_ = resolved<QCheckBox>(*this, PRINT_HEADER_BOX_ID);
    sexMarkBox_ = resolved<QCheckBox>(*this, SEX_MARK_BOX_ID);
    for (int row = 0; row < MONTH_ROWS; ++row)
        monthBoxes_[static_cast<std::size_t>(row)] =
            resolved<QCheckBox>(*this, FIRST_MONTH_BOX_ID + row);
    totalBox_ = resolved<QCheckBox>(*this, TOTAL_BOX_ID);
    previousYearBox_ = resolved<QCheckBox>(*this, PREVIOUS_YEAR_BOX_ID);
    optionsButton_ = resolved<QPushButton>(*this, OPTIONS_BUTTON_ID);
    printAllButton_ = resolved<QPushButton>(*this, PRINT_ALL_BUTTON_ID);
    totalsButton_ = resolved<QPushButton>(*this, TOTALS_BUTTON_ID);
    previewButton_ = resolved<QPushButton>(*this, PREVIEW_BUTTON_ID);
    exportPdfButton_ = resolved<QPushButton>(*this, EXPORT_PDF_BUTTON_ID);
    exportAllPdfButton_ = resolved<QPushButton>(*this, EXPORT_ALL_PDF_BUTTON_ID);
    fillFormButton_ = resolved<QPushButton>(*this, FILL_FORM_BUTTON_ID);
    printFormBox_ = resolved<QCheckBox>(*this, PRINT_FORM_BOX_ID);
}

DataLocation MainDialog::dataLocation() const {
    DataLocation location;
    location.currentFolder = currentFolder_;
    location.removableFolder = removableDataFolder(removableFolder_);
    location.dataDrive = dataDrive_;
    location.startDrive = startDrive_;
    return location;
}

void MainDialog::setPrinterSource(std::shared_ptr<const PrinterSource> source) {
    printer_ = std::make_unique<ApplicationPrinter>(std::move(source));
}

QCheckBox* MainDialog::checkBox(int id) const {
    return controlAs<QCheckBox>(id);
}

QCheckBox* MainDialog::monthBox(int row) const {
    if (row < 0 || row >= MONTH_ROWS)
        return nullptr;
    return monthBoxes_[static_cast<std::size_t>(row)];
}

QPushButton* MainDialog::button(int id) const {
    return controlAs<QPushButton>(id);
}

// ---- Start-up and close

void MainDialog::initialise() {
    if (initialised_)
        return;
    initialised_ = true;

    // The clock is read once: every month decision of the run uses these two.
    const QDate today = today_.isValid() ? today_ : QDate::currentDate();
    takeClock(state_, today.year(), today.month());

    attachPanes();
    showFilterName();
    addAboutCommand();
    setWindowIcon(appIcon());
    startDrive_ = static_cast<std::uint8_t>(driveNumberOf(currentFolder_));

    const Profile profile = ProfileFile(settingsFile_.readFile).read();
    Settings settings;
    readDataLocation(profile, settings);
    dataDrive_ = settings.dataDrive;
    removableFolder_ = settings.removableFolder;
    settings_ = SettingsState::Unchanged;
    start_ = StartState::Running;

    if (!probeDataDrive(dataDrive_, removableDataFolder(removableFolder_))) {
        int chosen = dataDrive_;
        std::filesystem::path folder = removableDataFolder(removableFolder_);
        if (chooseDataLocation_ && chooseDataLocation_(*this, chosen, folder, true)) {
            const std::string chosenFolder = folderSetting(folder);
            if (chosen != dataDrive_ || chosenFolder != removableFolder_) {
                dataDrive_ = static_cast<std::uint8_t>(chosen);
                removableFolder_ = chosenFolder;
                settings_ = SettingsState::Changed;
            }
        } else {
            start_ = StartState::Aborted;
        }
    }

    if (start_ == StartState::Running &&
        allocateRecordStore(data_.store, MessageBox::reporter(this)))
        loadPublisherData(data_, dataLocation(), start_, passwordPrompt_);
    if (start_ == StartState::Running)
        fillPublisherList();
    state_.useLongName = 1;

    readRemainingSettings(profile, settings, cardVersionCount());
    applyRemainingSettings(state_, settings);
    fillFormFile_ = settings.fillFormFile;

    lastNameFirstBox_->setChecked(state_.lastNameFirst != 0);
    longNameBox_->setChecked(true);
    printHeaderBox_->setChecked(true);
    sexMarkBox_->setChecked(false);
    printFormBox_->setChecked(state_.printForm);

    if (start_ == StartState::Aborted) {
        // Nothing after this would outlive the dialog, and no layout was loaded to save.
        closeMainDialog();
        return;
    }

    previousYearBox_->setChecked(false);
    updateMonthBoxes();

    loadCardLayout(state_, currentFolder_);
    layoutLoaded_ = true;
    updateTitle();
}

int MainDialog::exec() {
    initialise();
    if (closed_)
        return result();
    return TemplateDialog::exec();
}

ProfileWrite MainDialog::writeSettingsFile() {
    Settings settings;
    settings.dataDrive = dataDrive_;
    settings.removableFolder = removableFolder_;
    settings.dateFormat = state_.dateFormat;
    settings.lastNameFirst = state_.lastNameFirst;
    settings.cardVersion = state_.cardVersion;
    settings.marginTop = state_.marginTop;
    settings.marginLeft = state_.marginLeft;
    settings.printForm = state_.printForm;
    settings.fillFormFile = fillFormFile_;
    prepareSettingsWrite(settingsFile_);
    ProfileFile profile(settingsFile_.writeFile);
    return writeSettings(profile, settings);
}

void MainDialog::closeMainDialog() {
    if (!closed_) {
        closed_ = true;
        freeRecordStore(data_.store);
        // The records are gone: nothing may read the old selection any more.
        state_.selectedRecord = -1;
        std::vector<std::filesystem::path> unwritten;
        if (settings_ == SettingsState::Changed && writeSettingsFile() != ProfileWrite::Written)
            unwritten.push_back(settingsFile_.writeFile);
        if (layoutLoaded_ &&
            saveLayout(state_.layout, state_.cardVersion, currentFolder_) != WriteResult::Written)
            unwritten.push_back(
                findIgnoringCase(currentFolder_, layoutFileName(state_.cardVersion)));
        // Said once for all of them; the dialog closes all the same.
        if (!unwritten.empty()) {
            QStringList names;
            for (const std::filesystem::path& file : unwritten)
                names << QDir::toNativeSeparators(textFromPath(file));
            MessageBox::show(this, textFromUtf8(loadText(FILES_NOT_WRITTEN))
                                       .replace(QStringLiteral("%1"), names.join('\n')));
        }
    }
    TemplateDialog::reject();
}

void MainDialog::reject() {
    closeMainDialog();
}

// ---- Controls and panes

void MainDialog::connectHandlers() {
    connect(publisherList_, &PublisherListBox::selectionChangedByUser, this,
            &MainDialog::listSelectionChangedByUser);
    connect(publisherList_, &PublisherListBox::characterTyped, this, &MainDialog::selectionChanged);
    // A click on the line already selected brings its card back after a totals record.
    connect(publisherList_, &QListWidget::itemClicked, this, [this] {
        if (showsTotals(state_))
            selectionChanged();
    });
    connect(longNameBox_, &QCheckBox::clicked, this, &MainDialog::longNameClicked);
    connect(lastNameFirstBox_, &QCheckBox::clicked, this, &MainDialog::lastNameFirstClicked);
    connect(filterButton_, &QPushButton::clicked, this, &MainDialog::filterClicked);
    connect(printHeaderBox_, &QCheckBox::clicked, this, &MainDialog::printHeaderClicked);
    connect(sexMarkBox_, &QCheckBox::clicked, this, &MainDialog::invalidateHeaderPane);
    for (QCheckBox* box : monthBoxes_)
        connect(box, &QCheckBox::clicked, this, &MainDialog::monthBoxClicked);
    connect(totalBox_, &QCheckBox::clicked, this, &MainDialog::monthBoxClicked);
    connect(previousYearBox_, &QCheckBox::clicked, this, &MainDialog::updateMonthBoxes);
    connect(optionsButton_, &QPushButton::clicked, this, &MainDialog::openOptions);
    // Remembered for the next run like any setting.
    connect(printFormBox_, &QCheckBox::clicked, this, [this](bool checked) {
        state_.printForm = checked;
        settings_ = SettingsState::Changed;
    });
    connect(printAllButton_, &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.printAll(); }); });
    connect(totalsButton_, &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.printTotals(); }); });
    connect(previewButton_, &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.preview(); }); });
    connect(exportPdfButton_, &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.exportCurrent(); }); });
    connect(exportAllPdfButton_, &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.exportAll(); }); });
    connect(fillFormButton_, &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.fillForm(); }); });

    // The renderers read the boxes' marks from the state, however a mark changed.
    for (QCheckBox* box : {printHeaderBox_, sexMarkBox_, totalBox_})
        connect(box, &QCheckBox::toggled, this, &MainDialog::syncCheckBoxes);
    for (QCheckBox* box : monthBoxes_)
        connect(box, &QCheckBox::toggled, this, &MainDialog::syncCheckBoxes);
}

void MainDialog::syncCheckBoxes() {
    for (int row = 0; row < MONTH_ROWS; ++row)
        state_.monthChecked[static_cast<std::size_t>(row)] =
            monthBoxes_[static_cast<std::size_t>(row)]->isChecked();
    state_.totalChecked = totalBox_->isChecked();
    state_.printHeader = printHeaderBox_->isChecked();
    state_.markSex = sexMarkBox_->isChecked();
}

void MainDialog::focusList() {
    publisherList_->setFocus(Qt::OtherFocusReason);
}

void MainDialog::attachPanes() {
    // The header and table previews paint these surfaces from the state; each measures its
    // surface at its first paint. The header pane decides which name boxes and the V/M box
    // the dialog shows.
    if (headerPane_ || tablePane_)
        return;
    headerPane_ =
        new HeaderPreviewPane(headerSurface_, &state_, [this](const HeaderPaneEffects& e) {
            applyHeaderPaneEffects(e, lastNameFirstBox_, longNameBox_, sexMarkBox_);
        });
    tablePane_ = new TablePreviewPane(tableSurface_, &state_);
}

void MainDialog::invalidateHeaderPane() {
    headerSurface_->update();
}

void MainDialog::invalidateTablePane() {
    tableSurface_->update();
}

void MainDialog::fillPublisherList() {
    publisherList_->clearLines();
    for (const PublisherLine& line : publisherLines(data_.store, listFilter_, state_.lastMonth))
        publisherList_->appendLine(line.text, line.record);
    publisherList_->selectLine(0);
    selectionChanged();
    focusList();
}

void MainDialog::selectionChanged() {
    state_.selectedRecord = publisherList_->selectedLineRecord();
    // The publisher's card again, after a totals record chosen in the preview.
    state_.totals = TotalsRecord::None;
    invalidateHeaderPane();
    invalidateTablePane();
}

void MainDialog::showFilterName() {
    filterButton_->setText(textFromUtf8(loadText(filterNameId(listFilter_))));
}

void MainDialog::updateMonthBoxes() {
    state_.previousYear = previousYearBox_->isChecked();
    invalidateTablePane();
    const MonthBoxes enabled = enabledMonthBoxes(state_);
    for (int row = 0; row < MONTH_ROWS; ++row)
        monthBoxes_[static_cast<std::size_t>(row)]->setEnabled(
            enabled.month[static_cast<std::size_t>(row)]);
    if (!enabled.total)
        totalBox_->setChecked(false);
    totalBox_->setEnabled(enabled.total);
}

void MainDialog::updateTitle() {
    setWindowTitle(textFromUtf8(loadText(PROGRAM_NAME_TEXT) + " - " +
                                loadText(CARD_VERSION_CAPTION_BASE + state_.cardVersion)));
}

// ---- Handlers

void MainDialog::listSelectionChangedByUser() {
    state_.useLongName = 1;
    longNameBox_->setChecked(true);
    selectionChanged();
}

void MainDialog::longNameClicked() {
    state_.useLongName = longNameBox_->isChecked() ? 1 : 0;
    selectionChanged();
    focusList();
}

void MainDialog::lastNameFirstClicked() {
    state_.lastNameFirst = lastNameFirstBox_->isChecked() ? 1 : 0;
    settings_ = SettingsState::Changed;
    selectionChanged();
    focusList();
}

void MainDialog::filterClicked() {
    listFilter_ = nextListFilter(listFilter_);
    showFilterName();
    fillPublisherList();
}

void MainDialog::printHeaderClicked() {
    sexMarkBox_->setChecked(false);
    sexMarkBox_->setEnabled(printHeaderBox_->isChecked());
    invalidateHeaderPane();
}

void MainDialog::monthBoxClicked() {
    // Printing figures of single months usually goes onto a card whose header is already
    // printed; the V/M box keeps its state.
    printHeaderBox_->setChecked(false);
    invalidateHeaderPane();
    invalidateTablePane();
}

void MainDialog::openOptions() {
    if (!runOptions_)
        return;
    OptionsValues values;
    values.dateFormat = state_.dateFormat;
    values.marginTop = state_.marginTop;
    values.marginLeft = state_.marginLeft;
    values.layout = state_.layout;
    values.cardVersion = state_.cardVersion;
    if (runOptions_(*this, values)) {
        if (values.dateFormat != state_.dateFormat || values.marginTop != state_.marginTop ||
            values.marginLeft != state_.marginLeft || values.cardVersion != state_.cardVersion ||
            values.layout.bytes() != state_.layout.bytes())
            settings_ = SettingsState::Changed;
        state_.marginTop = values.marginTop;
        state_.marginLeft = values.marginLeft;
        state_.dateFormat = values.dateFormat;
        state_.cardVersion = values.cardVersion;
        state_.layout = values.layout;
    }
    if (settings_ == SettingsState::Changed) {
        fillPublisherList();
        state_.columnSet = columnSetOf(state_.cardVersion);
        updateTitle();
        selectionChanged();
    }
    focusList();
}

void MainDialog::changeDataLocation() {
    const std::uint8_t rememberedDrive = dataDrive_;
    const std::string rememberedFolder = removableFolder_;
    start_ = StartState::Running;
    int chosen = dataDrive_;
    std::filesystem::path folder = removableDataFolder(removableFolder_);
    if (chooseDataLocation_ && chooseDataLocation_(*this, chosen, folder, false)) {
        const std::string chosenFolder = folderSetting(folder);
        const bool otherFolder = chosenFolder != removableFolder_;
        if (otherFolder) {
            removableFolder_ = chosenFolder;
            settings_ = SettingsState::Changed;
        }
        // Another folder for drive A: is another location as well.
        if (chosen != dataDrive_ || (chosen != 0 && otherFolder)) {
            dataDrive_ = static_cast<std::uint8_t>(chosen);
            settings_ = SettingsState::Changed;
            if (!reloadAfterLocationChange(data_, dataLocation(), start_,
                                           MessageBox::confirmer(this), passwordPrompt_)) {
                dataDrive_ = rememberedDrive;
                removableFolder_ = rememberedFolder;
            }
        }
    }
    if (start_ == StartState::Aborted)
        loadPublisherData(data_, dataLocation(), start_, passwordPrompt_);
    if (settings_ == SettingsState::Changed)
        fillPublisherList();
}

void MainDialog::runCardCommand(const std::function<void(CardCommands&)>& command) {
    command(*cardCommands_);
    focusList();
}

void MainDialog::accept() {
    // The name and mobile number are the header pane's choice for the publisher selected
    // now, even when Enter comes before the pane could repaint.
    if (headerPane_)
        headerPane_->refreshChoice();
    const PrintResult result = printCard(this, state_, *printer_);
    if (result == PrintResult::Printed || result == PrintResult::PageFailed)
        focusList();
}

// ---- The about command

bool MainDialog::systemCommand(int commandId) {
    if ((commandId & ~0xF) != ABOUT_COMMAND)
        return false;
    openAboutBox();
    return true;
}

void MainDialog::openAboutBox() {
    AboutDialog about(currentFolder_, this);
    about.exec();
}

#ifdef _WIN32

void MainDialog::addAboutCommand() {
    const std::string text = loadText(ABOUT_COMMAND_TEXT);
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    if (!menu || text.empty())
        return;
    const std::wstring wide = textFromUtf8(text).toStdWString();
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
    return TemplateDialog::nativeEvent(eventType, message, result);
}

#else

// Window systems without a menu a program may extend: the same command in the dialog's
// context menu and on F1.
void MainDialog::addAboutCommand() {
    const std::string text = loadText(ABOUT_COMMAND_TEXT);
    if (text.empty() || aboutAction_)
        return;
    aboutAction_ = new QAction(textFromUtf8(text), this);
    aboutAction_->setShortcut(QKeySequence(Qt::Key_F1));
    aboutAction_->setShortcutContext(Qt::WindowShortcut);
    connect(aboutAction_, &QAction::triggered, this, [this] { systemCommand(ABOUT_COMMAND); });
    addAction(aboutAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

#endif

} // namespace pelkorl
