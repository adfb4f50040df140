#pragma once
// The main dialog's controls and their handlers: the publisher list with its filter and
// type-ahead, the check boxes that decide what a card prints, the month boxes, the options
// and data-location commands, and the print command. The dialog's start-up, close and
// settings file live in MainDialog (app/), which derives from this.
//
// State flows one way: handlers change the fields here and in `state`, then invalidate the
// two preview surfaces (header first, then table), which read `state` when they repaint.
#include "card/cardlayout.h"
#include "card/cardstate.h"
#include "records/publisherdata.h"
#include "toolkit/dialogbuilder.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

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
// Every listed card, the print preview, and PDF files (ui/cardcommands.h).
inline constexpr int PRINT_ALL_BUTTON_ID = 1100;
inline constexpr int PREVIEW_BUTTON_ID = 1101;
inline constexpr int EXPORT_PDF_BUTTON_ID = 1102;
inline constexpr int EXPORT_ALL_PDF_BUTTON_ID = 1103;
// Run by the options dialog on its parent; the main dialog has no control of this id.
inline constexpr int CHANGE_LOCATION_COMMAND = 1013;

// Title parts: program name, then the card version's caption.
inline constexpr int PROGRAM_NAME_TEXT = 147;
inline constexpr int CARD_VERSION_CAPTION_BASE = 400;

// What the options dialog edits: copies handed in, taken back after OK.
struct OptionsValues {
    int dateFormat = 0;
    std::string marginTop;
    std::string marginLeft;
    CardLayout layout;
    int cardVersion = 0;
};

class MainDialogBase : public TemplateDialog {
    Q_OBJECT
public:
    // Runs the options dialog over `owner` on `values`; true for OK.
    using OptionsRunner = std::function<bool(MainDialogBase& owner, OptionsValues& values)>;
    // Runs the data location dialog: in, the location to preselect, the removable folder and
    // whether to show the unavailable-drive message at once; out after OK, the choice and the
    // folder. True for OK.
    using LocationChooser =
        std::function<bool(MainDialogBase& owner, int& chosenDrive,
                           std::filesystem::path& removableFolder, bool driveUnavailable)>;

    // `currentFolder`: the working folder of the process at start-up; the record-keeping
    // program's files and the layout files are found there.
    explicit MainDialogBase(std::filesystem::path currentFolder, QWidget* parent = nullptr);
    ~MainDialogBase() override;

    // ---- Run-time state
    // What the renderers and panes read: selection, months, settings, layout, check boxes.
    CardState state;
    // Both years' records, extension data and remarks; state.data points here.
    PublisherData data;
    int listFilter = 0; // 0-3, see ui/publisherfilter.h
    std::uint8_t settingsChanged = 0;
    int startAborted = 0;
    std::uint8_t dataDrive = 0;  // 0 = current folder, 1 = drive A: (the removable folder)
    std::uint8_t startDrive = 0; // drive current at start-up (1 = A:); 0 without drive letters
    // The folder standing for drive A: as kept in the settings (UTF-8).
    std::string removableFolder;

    const std::filesystem::path& currentFolder() const { return currentFolder_; }
    // The printer of every print command; the options dialog's printer setup changes it.
    ApplicationPrinter& applicationPrinter() { return *printer_; }
    // Print all, preview and PDF files, on this dialog's state, printer and list.
    CardCommands& cardCommands() { return *cardCommands_; }
    // Prints on the printers of `source` from now on (tests).
    void setPrinterSource(std::shared_ptr<const PrinterSource> source);
    // Where the publisher files are read from now.
    DataLocation dataLocation() const;

    // ---- Controls
    PublisherListBox* publisherList() const { return publisherList_; }
    OwnerDrawSurface* headerSurface() const;
    OwnerDrawSurface* tableSurface() const;
    // The previews painting those surfaces; nullptr until attachPanes ran.
    HeaderPreviewPane* headerPane() const { return headerPane_; }
    TablePreviewPane* tablePane() const { return tablePane_; }
    QCheckBox* checkBox(int id) const;
    QCheckBox* monthBox(int row) const; // row 0-11
    QPushButton* button(int id) const;

    // ---- Operations
    // Rebuilds the list for listFilter in file order, selects its first line, runs
    // selectionChanged and puts the focus on the list.
    void fillPublisherList();
    // selectedRecord from the selected line (-1 for none); repaints header, then table.
    void selectionChanged();
    // The filter button shows the name of listFilter.
    void showFilterName();
    // Enables the month boxes for the year shown (box 1027) and the total box accordingly.
    void updateMonthBoxes();
    // Row `row` (0 = September) of the previous service year can be printed.
    bool monthAvailable(int row) const;
    // Title: program name, " - ", card version caption.
    void updateTitle();
    // Button 1014.
    void openOptions();
    // Command 1013 from the options dialog.
    void changeDataLocation();
    // Button 1 and Enter: prints; never closes the dialog.
    void accept() override;
    // Marks a preview as needing a repaint.
    void invalidateHeaderPane();
    void invalidateTablePane();

    // ---- Seams for the dialogs this one opens (tests replace them).
    PasswordPrompt passwordPrompt;
    LocationChooser chooseDataLocation;
    // Without one, button 1014 does nothing.
    OptionsRunner runOptions;

protected:
    // Connects the preview panes to their surfaces and marks them not yet measured.
    void attachPanes();
    void focusList();

private:
    void connectHandlers();
    void listSelectionChangedByUser();
    void longNameClicked();
    void lastNameFirstClicked();
    void filterClicked();
    void printHeaderClicked();
    void monthBoxClicked();
    // Buttons 1100-1103: the command runs, then the focus goes back to the list.
    void runCardCommand(const std::function<void(CardCommands&)>& command);
    void syncCheckBoxes();

    std::filesystem::path currentFolder_;
    std::unique_ptr<ApplicationPrinter> printer_;
    std::unique_ptr<CardCommands> cardCommands_;
    PublisherListBox* publisherList_ = nullptr;
    HeaderPreviewPane* headerPane_ = nullptr; // owned by its surface
    TablePreviewPane* tablePane_ = nullptr;   // owned by its surface
};

} // namespace pelkorl
