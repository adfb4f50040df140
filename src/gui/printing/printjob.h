#pragma once
// The print command: the application's printer, one document named "Card Header" of one
// page, the card drawn on it by the page routine (printing/cardpage.h).
#include "printing/cardpage.h"
#include "printing/cupsqueue.h"

#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;
class QWidget;

namespace pelkorl {

struct CardState;

// Where the application finds the system's printers; tests put their own in its place.
class PrinterSource {
public:
    virtual ~PrinterSource() = default;
    // Name of the system's default printer; empty when there is none.
    virtual QString defaultPrinterName() const = 0;
    // That printer with its default settings; nullptr when it cannot be had.
    virtual std::unique_ptr<QPrinter> open(const QString& name) const = 0;
    // The system printer a printer prints on; empty for a file.
    virtual QString nameOf(const QPrinter& printer) const;
    // The system still has a printer of that name.
    virtual bool exists(const QString& name) const;
    // Whether the print system answers, asked before any other question of a command.
    virtual SchedulerError schedulerError() const { return SchedulerError::None; }
};

// The system's printers (CUPS on Linux), at the printer's own resolution.
class SystemPrinterSource : public PrinterSource {
public:
    QString defaultPrinterName() const override;
    std::unique_ptr<QPrinter> open(const QString& name) const override;
    bool exists(const QString& name) const override;
    SchedulerError schedulerError() const override;
};

// The printer each print command uses: the system's default printer, looked up anew at
// every command, until one is picked in the printer setup; then the very printer the setup
// configured, with everything chosen there (tray and media type included, which Qt keeps in
// the printer's engine and no copy would take). A picked printer that was the default gives
// way to a new system default; a picked printer that is gone prints nowhere else.
class ApplicationPrinter {
public:
    ApplicationPrinter();
    explicit ApplicationPrinter(std::shared_ptr<const PrinterSource> source);
    ~ApplicationPrinter();
    ApplicationPrinter(const ApplicationPrinter&) = delete;
    ApplicationPrinter& operator=(const ApplicationPrinter&) = delete;

    // Keeps `printer` as it is for every later command.
    void setPickedPrinter(std::unique_ptr<QPrinter> printer);
    void clearPickedPrinter();
    bool hasPickedPrinter() const { return picked_ != nullptr; }

    // A new printer for the setup dialog to work on, so that a cancelled setup changes
    // nothing: the printer, page and job settings the next command would use.
    std::unique_ptr<QPrinter> setupCandidate();
    // The printer the setup dialog configured and the user confirmed becomes the picked
    // one: its margins become its minimum ones for the page chosen, and on the printer
    // picked before, the earlier job options the dialog did not set stay in force.
    void takeSetup(std::unique_ptr<QPrinter> configured);

    // The picked system printer when the system no longer has it; empty otherwise.
    QString missingPrinter() const;

    // Whether the print system a command would print through answers; None for a printer
    // that writes a file.
    SchedulerError schedulerError() const;

    // The printer of one command, owned here and valid until the next call; nullptr when
    // there is none to print on (no default, only the PDF fallback without a file, or the
    // picked printer is gone).
    QPrinter* printerForCommand();

private:
    std::shared_ptr<const PrinterSource> source_;
    std::unique_ptr<QPrinter> picked_;
    std::unique_ptr<QPrinter> default_; // the default printer of the last command
    // The picked printer was the system default of that moment.
    bool pickedWasDefault_ = false;
    QString defaultWhenPicked_;
};

// The job options Qt's CUPS engine sends with every job of `printer` (tray, media type and
// the other driver options chosen in the print dialog), as key and value pairs.
QStringList jobOptionsOf(const QPrinter& printer);
void setJobOptions(QPrinter& printer, const QStringList& options);

// False after the message that the print system cannot be reached or does not answer, or
// that the picked printer is gone; true when it is there, or when none was picked.
bool pickedPrinterIsThere(QWidget* parent, const ApplicationPrinter& printer);

// The printer of one command from `printer`, or nullptr after the message that says why
// there is none: no answer from the print system, "No Printer", or that the picked printer
// is gone.
QPrinter* printerForCommand(QWidget* parent, ApplicationPrinter& printer);

// The message of a print command that failed once its document was started: "no hdc", or
// that the scheduler refused the job. Nothing for any other result.
void showPrintFailure(QWidget* parent, PrintResult result, const QPrinter& printer);

// The print command for the selected publisher. Shows "No Printer", a printer that is gone,
// "no hdc" and a refused job as message boxes; a failure at the page's end is returned only.
PrintResult printCard(QWidget* parent, CardState& state, ApplicationPrinter& printer);

// One card as one page on `printer`, named "Card Header"; shows nothing.
PrintResult printCardOn(QPrinter& printer, CardState& state);

// The card as a one-page PDF file at `resolution` units per inch; shows nothing.
PrintResult renderCardToPdf(const QString& file, CardState& state, int resolution);

} // namespace pelkorl
