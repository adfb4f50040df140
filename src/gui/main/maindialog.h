#pragma once
// The program's one window: the publisher list with its filter and type-ahead, the check
// boxes that decide what a card prints, the month boxes, the two previews, the options and
// data-location commands and the print commands.
//
// Start-up runs in a fixed order (clock, settings, data location, record store and
// publisher data, list, remaining settings, check boxes, month boxes, layout, title)
// because that order decides what the user sees when the data location is missing or the
// password is refused; close frees the records, writes the settings when one changed and
// rewrites the layout file of the card version.
//
// State flows one way: handlers change the dialog's CardState, then invalidate the two
// preview surfaces (header first, then table), which read it when they repaint. The
// controls are resolved once from the template and held here; the handlers use them.
#include "card/cardlayout.h"
#include "card/cardstate.h"
#include "card/publisherfilter.h"
#include "records/publisherdata.h"
#include "settings/profile.h"
#include "settings/settingslocation.h"
#include "text/textids.h"
#include "toolkit/dialogbuilder.h"

#include <QDate>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QPushButton;

namespace pelkorl {

class ApplicationPrinter;
class CardCommands;
class HeaderPreviewPane;
class PrinterSource;
class PublisherListBox;
class TablePreviewPane;

// Controls of the main dialog.
inline constexpr int PUBLISHER_LIST_ID = 1000;
inline constexpr int FILTER_BUTTON_ID = 1029;
inline constexpr int HEADER_PANE_ID = 1006;
inline constexpr int LAST_NAME_FIRST_BOX_ID = 1007;
inline constexpr int LONG_NAME_BOX_ID = 1010;
inline constexpr int PRINT_HEADER_BOX_ID = 1030;
inline constexpr int SEX_MARK_BOX_ID = 1031;
inline constexpr int TABLE_PANE_ID = 129;
inline constexpr int FIRST_MONTH_BOX_ID = 1015; // row 0 (September); row i is 1015 + i
inline constexpr int TOTAL_BOX_ID = 1028;
inline constexpr int PREVIOUS_YEAR_BOX_ID = 1027;
inline constexpr int OPTIONS_BUTTON_ID = 1014;
// Every listed card, the print preview, and PDF files (main/cardcommands.h).
inline constexpr int PRINT_ALL_BUTTON_ID = 1100;
inline constexpr int PREVIEW_BUTTON_ID = 1101;
inline constexpr int EXPORT_PDF_BUTTON_ID = 1102;
inline constexpr int EXPORT_ALL_PDF_BUTTON_ID = 1103;
inline constexpr int FILL_FORM_BUTTON_ID = 1105; // "Pildyti S-21 PDF formą..."
inline constexpr int PRINT_FORM_BOX_ID = 1104;
// Run by the options dialog on its parent; the main dialog has no control of this id.
inline constexpr int CHANGE_LOCATION_COMMAND = 1013;

// Title parts: program name, then the card version's caption.

// The about command: its id among the system menu's commands, and its text.
inline constexpr int ABOUT_COMMAND = 16;

// What the options dialog edits: copies handed in, taken back after OK.
struct OptionsValues {
    int dateFormat = 0;
    std::string marginTop;
    std::string marginLeft;
    CardLayout layout;
    int cardVersion = 0;
};

class MainDialog : public TemplateDialog {
    Q_OBJECT
public:
    // Runs the options dialog over `owner` on `values`; true for OK.
    using OptionsRunner = std::function<bool(MainDialog& owner, OptionsValues& values)>;
    // Runs the data location dialog: in, the location to preselect, the removable folder and
    // whether to show the unavailable-drive message at once; out after OK, the choice and the
    // folder. True for OK.
    using LocationChooser =
        std::function<bool(MainDialog& owner, int& chosenDrive,
                           std::filesystem::path& removableFolder, bool driveUnavailable)>;

    // `settingsFile`: where the settings are read and written. `currentFolder`: the data
    // folder (the process's working folder at start-up); the record-keeping program's files
    // and the layout files are found there. `today`: the date start-up takes instead of the
    // clock (tests); a null date reads the local clock once at start-up.
    MainDialog(SettingsLocation settingsFile, std::filesystem::path currentFolder,
               QDate today = QDate(), QWidget* parent = nullptr);
    ~MainDialog() override;

    // ---- Start-up and close
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

    // ---- What the dialog holds (read only from outside)
    // What the renderers and panes read: selection, months, settings, layout, check boxes.
    const CardState& state() const { return state_; }
    // Both years' records, extension data and remarks; state().data points here.
    const PublisherData& data() const { return data_; }
    ListFilter listFilter() const { return listFilter_; }
    // A setting changed since start-up: the close writes the settings file.
    bool settingsChanged() const { return settings_ == SettingsState::Changed; }
    // The start was abandoned (no data location, password refused).
    bool startAborted() const { return start_ == StartState::Aborted; }
    // 0 = current folder, 1 = drive A: (the removable folder).
    std::uint8_t dataDrive() const { return dataDrive_; }
    // Where the publisher files are read from now.
    DataLocation dataLocation() const;
    const std::filesystem::path& currentFolder() const { return currentFolder_; }
    const SettingsLocation& settingsFile() const { return settingsFile_; }

    // The printer of every print command; the options dialog's printer setup changes it.
    ApplicationPrinter& applicationPrinter() { return *printer_; }
    // Print all, preview and PDF files, on this dialog's state, printer and list.
    CardCommands& cardCommands() { return *cardCommands_; }
    // Prints on the printers of `source` from now on (tests).
    void setPrinterSource(std::shared_ptr<const PrinterSource> source);

    // ---- Controls, for whoever drives the dialog from outside, by the template's ids
    PublisherListBox* publisherList() const { return publisherList_; }
    OwnerDrawSurface* headerSurface() const { return headerSurface_; }
    OwnerDrawSurface* tableSurface() const { return tableSurface_; }
    // The previews painting those surfaces; nullptr until start-up attached them.
    HeaderPreviewPane* headerPane() const { return headerPane_; }
    TablePreviewPane* tablePane() const { return tablePane_; }
    QCheckBox* checkBox(int id) const;
    QCheckBox* monthBox(int row) const; // row 0-11; nullptr outside
    QPushButton* button(int id) const;

    // ---- Handlers
    // selectedRecord from the selected line (-1 for none); repaints header, then table.
    void selectionChanged();
    // Button 1014.
    void openOptions();
    // Command 1013 from the options dialog.
    void changeDataLocation();
    // Button 1 and Enter: prints; never closes the dialog.
    void accept() override;
    // A system-menu command; true when it was ours (the about command).
    bool systemCommand(int commandId);
    // The about box over this dialog, modal.
    void openAboutBox();
    // The about command where the system menu cannot take it (context menu and F1); nullptr
    // where it went into the system menu, or when its text is empty.
    QAction* aboutAction() const { return aboutAction_; }

    // ---- Seams for the dialogs this one opens (tests replace them)
    void setPasswordPrompt(PasswordPrompt prompt) { passwordPrompt_ = std::move(prompt); }
    void setLocationChooser(LocationChooser chooser) { chooseDataLocation_ = std::move(chooser); }
    // Without one, button 1014 does nothing.
    void setOptionsRunner(OptionsRunner runner) { runOptions_ = std::move(runner); }

protected:
#ifdef _WIN32
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void resolveControls();
    void connectHandlers();
    // Connects the preview panes to their surfaces and marks them not yet measured.
    void attachPanes();
    void focusList();
    void addAboutCommand();
    ProfileWrite writeSettingsFile();

    // Rebuilds the list for listFilter in file order, selects its first line, runs
    // selectionChanged and puts the focus on the list.
    void fillPublisherList();
    // The filter button shows the name of listFilter.
    void showFilterName();
    // Enables the month boxes for the year shown (box 1027) and the total box accordingly.
    void updateMonthBoxes();
    // Title: program name, " - ", card version caption.
    void updateTitle();
    // Marks a preview as needing a repaint.
    void invalidateHeaderPane();
    void invalidateTablePane();

    void listSelectionChangedByUser();
    void longNameClicked();
    void lastNameFirstClicked();
    void filterClicked();
    void printHeaderClicked();
    void monthBoxClicked();
    // Buttons 1100-1103: the command runs, then the focus goes back to the list.
    void runCardCommand(const std::function<void(CardCommands&)>& command);
    void syncCheckBoxes();

    // ---- Run-time state
    SettingsLocation settingsFile_;
    std::filesystem::path currentFolder_;
    QDate today_;
    CardState state_;
    PublisherData data_;
    ListFilter listFilter_ = ListFilter::All;
    // Whether the close writes the settings file.
    enum class SettingsState { Unchanged, Changed };
    SettingsState settings_ = SettingsState::Unchanged;
    StartState start_ = StartState::Running;
    std::uint8_t dataDrive_ = 0;
    std::uint8_t startDrive_ = 0; // drive current at start-up (1 = A:); 0 without drive letters
    // The folder standing for drive A: as kept in the settings (UTF-8).
    std::string removableFolder_;
    // The user's fillable S-21 form, as kept in the settings (UTF-8).
    std::string fillFormFile_;
    bool initialised_ = false;
    bool closed_ = false;
    bool layoutLoaded_ = false;

    PasswordPrompt passwordPrompt_;
    LocationChooser chooseDataLocation_;
    OptionsRunner runOptions_;

    std::unique_ptr<ApplicationPrinter> printer_;
    std::unique_ptr<CardCommands> cardCommands_;

    // ---- Controls, resolved once from the template
    PublisherListBox* publisherList_ = nullptr;
    QPushButton* filterButton_ = nullptr;
    OwnerDrawSurface* headerSurface_ = nullptr;
    OwnerDrawSurface* tableSurface_ = nullptr;
    QCheckBox* lastNameFirstBox_ = nullptr;
    QCheckBox* longNameBox_ = nullptr;
    QCheckBox* printHeaderBox_ = nullptr;
    QCheckBox* sexMarkBox_ = nullptr;
    std::array<QCheckBox*, MONTH_ROWS> monthBoxes_{};
    QCheckBox* totalBox_ = nullptr;
    QCheckBox* previousYearBox_ = nullptr;
    QPushButton* optionsButton_ = nullptr;
    QPushButton* printAllButton_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    QPushButton* exportPdfButton_ = nullptr;
    QPushButton* exportAllPdfButton_ = nullptr;
    QPushButton* fillFormButton_ = nullptr;
    QCheckBox* printFormBox_ = nullptr;
    HeaderPreviewPane* headerPane_ = nullptr; // owned by its surface
    TablePreviewPane* tablePane_ = nullptr;   // owned by its surface
    QAction* aboutAction_ = nullptr;
};

} // namespace pelkorl
