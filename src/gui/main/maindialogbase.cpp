#include "main/maindialogbase.h"

#include "card/cardbatch.h"
#include "card/figures.h"
#include "card/publisherfilter.h"
#include "dialogs/datalocationdialog.h"
#include "dialogs/optionsdialog.h"
#include "dialogs/passworddialog.h"
#include "main/cardcommands.h"
#include "main/headerpreviewpane.h"
#include "main/publisherlistbox.h"
#include "main/tablepreviewpane.h"
#include "printing/printjob.h"
#include "records/datalocation.h"
#include "text/dialogs.h"
#include "text/strings.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QCheckBox>
#include <QPushButton>
#include <QString>

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

bool runLocationDialog(MainDialogBase& owner, int& chosenDrive,
                       std::filesystem::path& removableFolder, bool driveUnavailable) {
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

bool runOptionsDialog(MainDialogBase& owner, OptionsValues& values) {
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

MainDialogBase::MainDialogBase(std::filesystem::path currentFolder, QWidget* parent)
    : TemplateDialog(MAIN_DIALOG_ID, parent, listFactory()),
      currentFolder_(std::move(currentFolder)), printer_(std::make_unique<ApplicationPrinter>()) {
    state.data = &data;
    publisherList_ = controlAs<PublisherListBox>(PUBLISHER_LIST_ID);
    passwordPrompt = [this](const std::string& expected) {
        return runPasswordDialog(this, expected);
    };
    chooseDataLocation = runLocationDialog;
    runOptions = runOptionsDialog;
    cardCommands_ = std::make_unique<CardCommands>(
        this, state, [this]() -> ApplicationPrinter& { return *printer_; },
        [this] {
            return batchRecords(data.store, listFilter, state.lastMonth, state.lastNameFirst);
        });
    connectHandlers();
}

MainDialogBase::~MainDialogBase() = default;

DataLocation MainDialogBase::dataLocation() const {
    DataLocation location;
    location.currentFolder = currentFolder_;
    location.removableFolder = removableDataFolder(removableFolder);
    location.dataDrive = dataDrive;
    location.startDrive = startDrive;
    return location;
}

void MainDialogBase::setPrinterSource(std::shared_ptr<const PrinterSource> source) {
    printer_ = std::make_unique<ApplicationPrinter>(std::move(source));
}

OwnerDrawSurface* MainDialogBase::headerSurface() const {
    return controlAs<OwnerDrawSurface>(HEADER_PANE_ID);
}

OwnerDrawSurface* MainDialogBase::tableSurface() const {
    return controlAs<OwnerDrawSurface>(TABLE_PANE_ID);
}

QCheckBox* MainDialogBase::checkBox(int id) const {
    return controlAs<QCheckBox>(id);
}

QCheckBox* MainDialogBase::monthBox(int row) const {
    if (row < 0 || row >= MONTH_ROWS)
        return nullptr;
    return checkBox(FIRST_MONTH_BOX_ID + row);
}

QPushButton* MainDialogBase::button(int id) const {
    return controlAs<QPushButton>(id);
}

void MainDialogBase::connectHandlers() {
    connect(publisherList_, &PublisherListBox::selectionChangedByUser, this,
            &MainDialogBase::listSelectionChangedByUser);
    connect(publisherList_, &PublisherListBox::characterTyped, this,
            &MainDialogBase::selectionChanged);
    connect(checkBox(LONG_NAME_BOX_ID), &QCheckBox::clicked, this,
            &MainDialogBase::longNameClicked);
    connect(checkBox(LAST_NAME_FIRST_BOX_ID), &QCheckBox::clicked, this,
            &MainDialogBase::lastNameFirstClicked);
    connect(button(FILTER_BUTTON_ID), &QPushButton::clicked, this, &MainDialogBase::filterClicked);
    connect(checkBox(PRINT_HEADER_BOX_ID), &QCheckBox::clicked, this,
            &MainDialogBase::printHeaderClicked);
    connect(checkBox(SEX_MARK_BOX_ID), &QCheckBox::clicked, this,
            &MainDialogBase::invalidateHeaderPane);
    for (int row = 0; row < MONTH_ROWS; ++row)
        connect(monthBox(row), &QCheckBox::clicked, this, &MainDialogBase::monthBoxClicked);
    connect(checkBox(TOTAL_BOX_ID), &QCheckBox::clicked, this, &MainDialogBase::monthBoxClicked);
    connect(checkBox(PREVIOUS_YEAR_BOX_ID), &QCheckBox::clicked, this,
            &MainDialogBase::updateMonthBoxes);
    connect(button(OPTIONS_BUTTON_ID), &QPushButton::clicked, this, &MainDialogBase::openOptions);
    connect(button(PRINT_ALL_BUTTON_ID), &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.printAll(); }); });
    connect(button(PREVIEW_BUTTON_ID), &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.preview(); }); });
    connect(button(EXPORT_PDF_BUTTON_ID), &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.exportCurrent(); }); });
    connect(button(EXPORT_ALL_PDF_BUTTON_ID), &QPushButton::clicked, this,
            [this] { runCardCommand([](CardCommands& c) { c.exportAll(); }); });

    // The renderers read the boxes' marks from the state, however a mark changed.
    for (int id : {PRINT_HEADER_BOX_ID, SEX_MARK_BOX_ID, TOTAL_BOX_ID})
        connect(checkBox(id), &QCheckBox::toggled, this, &MainDialogBase::syncCheckBoxes);
    for (int row = 0; row < MONTH_ROWS; ++row)
        connect(monthBox(row), &QCheckBox::toggled, this, &MainDialogBase::syncCheckBoxes);
}

void MainDialogBase::syncCheckBoxes() {
    for (int row = 0; row < MONTH_ROWS; ++row)
        state.monthChecked[static_cast<std::size_t>(row)] = monthBox(row)->isChecked();
    state.totalChecked = checkBox(TOTAL_BOX_ID)->isChecked();
    state.printHeader = checkBox(PRINT_HEADER_BOX_ID)->isChecked();
    state.markSex = checkBox(SEX_MARK_BOX_ID)->isChecked();
}

void MainDialogBase::focusList() {
    publisherList_->setFocus(Qt::OtherFocusReason);
}

void MainDialogBase::attachPanes() {
    // The header and table previews paint these surfaces from `state`; each measures its
    // surface at its first paint. The header pane decides which name boxes and the V/M box
    // the dialog shows.
    if (headerPane_ || tablePane_)
        return;
    headerPane_ =
        new HeaderPreviewPane(headerSurface(), &state, [this](const HeaderPaneEffects& e) {
            applyHeaderPaneEffects(e, checkBox(LAST_NAME_FIRST_BOX_ID), checkBox(LONG_NAME_BOX_ID),
                                   checkBox(SEX_MARK_BOX_ID));
        });
    tablePane_ = new TablePreviewPane(tableSurface(), &state);
}

void MainDialogBase::invalidateHeaderPane() {
    if (OwnerDrawSurface* surface = headerSurface())
        surface->update();
}

void MainDialogBase::invalidateTablePane() {
    if (OwnerDrawSurface* surface = tableSurface())
        surface->update();
}

void MainDialogBase::fillPublisherList() {
    publisherList_->clearLines();
    for (const PublisherLine& line : publisherLines(data.store, listFilter, state.lastMonth))
        publisherList_->appendLine(line.text, line.record);
    publisherList_->selectLine(0);
    selectionChanged();
    focusList();
}

void MainDialogBase::selectionChanged() {
    state.selectedRecord = publisherList_->selectedLineRecord();
    invalidateHeaderPane();
    invalidateTablePane();
}

void MainDialogBase::showFilterName() {
    button(FILTER_BUTTON_ID)->setText(textFromUtf8(loadText(FILTER_NAME_BASE + listFilter)));
}

bool MainDialogBase::monthAvailable(int row) const {
    return pelkorl::monthAvailable(state, row);
}

void MainDialogBase::updateMonthBoxes() {
    state.previousYear = checkBox(PREVIOUS_YEAR_BOX_ID)->isChecked();
    invalidateTablePane();
    const MonthBoxes enabled = enabledMonthBoxes(state);
    for (int row = 0; row < MONTH_ROWS; ++row)
        monthBox(row)->setEnabled(enabled.month[static_cast<std::size_t>(row)]);
    QCheckBox* total = checkBox(TOTAL_BOX_ID);
    if (!enabled.total)
        total->setChecked(false);
    total->setEnabled(enabled.total);
}

void MainDialogBase::updateTitle() {
    setWindowTitle(textFromUtf8(loadText(PROGRAM_NAME_TEXT) + " - " +
                                loadText(CARD_VERSION_CAPTION_BASE + state.cardVersion)));
}

void MainDialogBase::listSelectionChangedByUser() {
    state.useLongName = 1;
    checkBox(LONG_NAME_BOX_ID)->setChecked(true);
    selectionChanged();
}

void MainDialogBase::longNameClicked() {
    state.useLongName = checkBox(LONG_NAME_BOX_ID)->isChecked() ? 1 : 0;
    selectionChanged();
    focusList();
}

void MainDialogBase::lastNameFirstClicked() {
    state.lastNameFirst = checkBox(LAST_NAME_FIRST_BOX_ID)->isChecked() ? 1 : 0;
    settingsChanged = 1;
    selectionChanged();
    focusList();
}

void MainDialogBase::filterClicked() {
    listFilter = nextListFilter(listFilter);
    showFilterName();
    fillPublisherList();
}

void MainDialogBase::printHeaderClicked() {
    QCheckBox* sexMark = checkBox(SEX_MARK_BOX_ID);
    sexMark->setChecked(false);
    sexMark->setEnabled(checkBox(PRINT_HEADER_BOX_ID)->isChecked());
    invalidateHeaderPane();
}

void MainDialogBase::monthBoxClicked() {
    // Printing figures of single months usually goes onto a card whose header is already
    // printed; the V/M box keeps its state.
    checkBox(PRINT_HEADER_BOX_ID)->setChecked(false);
    invalidateHeaderPane();
    invalidateTablePane();
}

void MainDialogBase::openOptions() {
    if (!runOptions)
        return;
    OptionsValues values;
    values.dateFormat = state.dateFormat;
    values.marginTop = state.marginTop;
    values.marginLeft = state.marginLeft;
    values.layout = state.layout;
    values.cardVersion = state.cardVersion;
    if (runOptions(*this, values)) {
        if (values.dateFormat != state.dateFormat || values.marginTop != state.marginTop ||
            values.marginLeft != state.marginLeft || values.cardVersion != state.cardVersion ||
            values.layout.bytes() != state.layout.bytes())
            settingsChanged = 1;
        state.marginTop = values.marginTop;
        state.marginLeft = values.marginLeft;
        state.dateFormat = values.dateFormat;
        state.cardVersion = values.cardVersion;
        state.layout = values.layout;
    }
    if (settingsChanged == 1) {
        fillPublisherList();
        state.columnSet = columnSetOf(state.cardVersion);
        updateTitle();
        selectionChanged();
    }
    focusList();
}

void MainDialogBase::changeDataLocation() {
    const std::uint8_t rememberedDrive = dataDrive;
    const std::string rememberedFolder = removableFolder;
    startAborted = 0;
    int chosen = dataDrive;
    std::filesystem::path folder = removableDataFolder(removableFolder);
    if (chooseDataLocation && chooseDataLocation(*this, chosen, folder, false)) {
        const std::string chosenFolder = folderSetting(folder);
        const bool otherFolder = chosenFolder != removableFolder;
        if (otherFolder) {
            removableFolder = chosenFolder;
            settingsChanged = 1;
        }
        // Another folder for drive A: is another location as well.
        if (chosen != dataDrive || (chosen != 0 && otherFolder)) {
            dataDrive = static_cast<std::uint8_t>(chosen);
            settingsChanged = 1;
            if (!reloadAfterLocationChange(data, dataLocation(), startAborted,
                                           MessageBox::confirmer(this), passwordPrompt)) {
                dataDrive = rememberedDrive;
                removableFolder = rememberedFolder;
            }
        }
    }
    if (startAborted == 1)
        loadPublisherData(data, dataLocation(), startAborted, passwordPrompt);
    if (settingsChanged == 1)
        fillPublisherList();
}

void MainDialogBase::runCardCommand(const std::function<void(CardCommands&)>& command) {
    command(*cardCommands_);
    focusList();
}

void MainDialogBase::accept() {
    // The name and mobile number are the header pane's choice for the publisher selected
    // now, even when Enter comes before the pane could repaint.
    if (headerPane_)
        headerPane_->refreshChoice();
    const PrintResult result = printCard(this, state, *printer_);
    if (result == PrintResult::Printed || result == PrintResult::PageFailed)
        focusList();
}

} // namespace pelkorl
