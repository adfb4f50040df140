#pragma once
// The main dialog's commands beyond the single print: print every listed card in one job,
// print the congregation's three totals records in one job, preview the page the next print
// gives, and write the current card or every listed card to a PDF file. They read the
// dialog's state and printer; only the preview changes the state, when the user chooses
// there to see a totals record instead of the card.
#include "printing/batchprint.h"
#include "text/textids.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>
#include <vector>

class QPrintPreviewDialog;
class QProgressDialog;
class QWidget;

namespace pelkorl {

class ApplicationPrinter;
class FormFiller;
struct CardPage;
struct CardState;

// String-table texts of the commands.
// The button texts (with their mnemonics) are those of the main dialog's template.
// Asked before a file that exists is replaced; "%1" is the file.

// Object name of the preview's choice of what it shows.
inline constexpr const char* PREVIEW_CHOICE_NAME = "previewChoice";

// Resolution of the PDF files written by the program and by pelkorl-print.
inline constexpr int PDF_EXPORT_RESOLUTION = 600;

// "Nepavyko įrašyti failo %1." and the system's reason, when it is one the user can act on.
QString writeFailedText(const QString& file, const std::error_code& reason);

class CardCommands {
public:
    // The file to write, or an empty text when the user chose none.
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& title, const QString& offered)>;
    using PreviewRunner = std::function<void(QPrintPreviewDialog& dialog)>;
    using ProgressStep = std::function<void(QProgressDialog& dialog, int done)>;
    // Whose cards to fill: the selected one (when there is one) or every listed one.
    using TargetChooser = std::function<int(QWidget* parent, bool selected)>;

    // With more cards than this a progress dialog with a cancel button is shown.
    static constexpr int FEW_CARDS = 3;

    // `printer` gives the dialog's application printer at the moment of a command; `listed`
    // the records of the list as its filter shows it.
    CardCommands(QWidget* parent, CardState& state, std::function<ApplicationPrinter&()> printer,
                 std::function<std::vector<int>()> listed);

    // "Spausdinti visus": every listed card in one document on the application's printer.
    // Cancelled, the document ends after the cards printed so far.
    BatchOutcome printAll();
    // "Bendruomenės suvestinė": the three totals records of the year shown, one document of
    // three pages on the application's printer. Nothing without publishers.
    BatchOutcome printTotals();
    // "Peržiūra": the page the print command would give now, in the print preview; Printed
    // once the preview was shown. Nothing without a card to print; "No Printer" without a
    // printer. The preview offers the card, each totals record and all three; a totals record
    // chosen there is what the dialog shows and prints from then on (state.totals), until
    // another publisher is selected.
    PrintResult preview();
    // "Eksportuoti PDF...": the card of the selected publisher, or the totals record shown.
    BatchOutcome exportCurrent();
    // "Eksportuoti visus PDF...": every listed card, one page each.
    BatchOutcome exportAll();
    // Writes `records` to `file`, asking first when it exists; a name without ".pdf" gets it.
    BatchOutcome exportTo(QString file, const std::vector<int>& records);

    // "Pildyti S-21 PDF formą...": the selected publisher's card, or every listed card one
    // file each in a chosen folder, as filled copies of the user's fillable S-21 11/23 form
    // (asked for once, then remembered). Returns how many files were written.
    struct FillOutcome {
        int written = 0;
        bool cancelled = false;
        bool failed = false;
    };
    enum class FillTarget { None, Selected, All };
    FillOutcome fillForm();
    // Runs when the preview chose another card or totals record to show.
    void setShownChanged(std::function<void()> changed) { shownChanged_ = std::move(changed); }

    // Seams (tests replace them).
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void setPreviewRunner(PreviewRunner runner) { runPreview_ = std::move(runner); }
    void setProgressStep(ProgressStep step) { progressStepped_ = std::move(step); }
    // The form file to open, the folder to write to: as the file chooser, empty for none.
    void setFormChooser(FileChooser chooser) { chooseForm_ = std::move(chooser); }
    void setFolderChooser(FileChooser chooser) { chooseFolder_ = std::move(chooser); }
    // 0 none (cancelled), 1 the selected card, 2 every listed card.
    void setTargetChooser(TargetChooser chooser) { chooseTarget_ = std::move(chooser); }
    // The files the program reads (settings, data, layout files): no output replaces one.
    void setInputFiles(std::function<std::vector<std::filesystem::path>()> files) {
        inputFiles_ = std::move(files);
    }
    // Where the remembered form file is kept (the main dialog's settings).
    void setFormFileStore(std::function<QString()> get, std::function<void(const QString&)> set) {
        formFile_ = std::move(get);
        rememberFormFile_ = std::move(set);
    }

private:
    BatchProgress progressFor(int total, int labelText, std::unique_ptr<QProgressDialog>& dialog);
    std::vector<int> selectedCard() const;
    QString startFolder() const;
    bool openForm(FormFiller& filler);
    FillOutcome fillSelected(const FormFiller& filler, const CardPage& page);
    FillOutcome fillAll(const FormFiller& filler, const std::vector<int>& records);
    // The page the print command gives now: the totals record shown, or the selected card.
    std::vector<CardPage> shownPage() const;
    BatchOutcome printPages(const std::vector<CardPage>& pages);
    BatchOutcome exportPagesTo(QString file, const std::vector<CardPage>& pages);
    // Says so and returns true when `file` is one of the files read (with `form`, the form
    // being filled).
    bool isAnInput(const QString& file, const QString& form = {}) const;
    bool writeFilled(const FormFiller& filler, const CardPage& page, const QString& file);

    QWidget* parent_;
    CardState& state_;
    std::function<ApplicationPrinter&()> printer_;
    std::function<std::vector<int>()> listed_;
    QString lastFolder_;
    FileChooser chooseFile_;
    PreviewRunner runPreview_;
    ProgressStep progressStepped_;
    FileChooser chooseForm_;
    FileChooser chooseFolder_;
    TargetChooser chooseTarget_;
    std::function<QString()> formFile_;
    std::function<void(const QString&)> rememberFormFile_;
    std::function<void()> shownChanged_;
    std::function<std::vector<std::filesystem::path>()> inputFiles_;
};

} // namespace pelkorl
