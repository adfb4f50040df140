#pragma once
// The print command: the application's printer, one document named "Card Header" of one
// page, the card drawn on it by the page routine (printing/cardpage.h).
#include "printing/cardpage.h"

#include <QString>

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
};

// The system's printers (CUPS on Linux), at the printer's own resolution.
class SystemPrinterSource : public PrinterSource {
public:
    QString defaultPrinterName() const override;
    std::unique_ptr<QPrinter> open(const QString& name) const override;
};

// The printer each print command uses: the system's default printer, looked up anew at
// every command, until one is picked in the printer setup; then the picked one with its
// settings. A picked printer that was the default gives way to a new system default.
class ApplicationPrinter {
public:
    ApplicationPrinter();
    explicit ApplicationPrinter(std::shared_ptr<const PrinterSource> source);
    ~ApplicationPrinter();
    ApplicationPrinter(const ApplicationPrinter&) = delete;
    ApplicationPrinter& operator=(const ApplicationPrinter&) = delete;

    // Keeps a copy of the printer and its settings for every later command.
    void setPickedPrinter(const QPrinter& printer);
    void clearPickedPrinter();
    bool hasPickedPrinter() const { return picked_ != nullptr; }

    // A fresh printer for one command; nullptr when there is no printer to print on (no
    // default, or only the PDF fallback without a file, which would print nowhere).
    std::unique_ptr<QPrinter> printerForCommand();

private:
    std::shared_ptr<const PrinterSource> source_;
    std::unique_ptr<QPrinter> picked_;
    // The picked printer was the system default of that moment.
    bool pickedWasDefault_ = false;
    QString defaultWhenPicked_;
};

// The print command for the selected publisher. Shows "No Printer" and "no hdc" as message
// boxes; a failure after the page was started is returned, not shown.
PrintResult printCard(QWidget* parent, CardState& state, ApplicationPrinter& printer);

// One card as one page on `printer`, named "Card Header"; shows nothing.
PrintResult printCardOn(QPrinter& printer, CardState& state);

// The card as a one-page PDF file at `resolution` units per inch; shows nothing.
PrintResult renderCardToPdf(const QString& file, CardState& state, int resolution);

} // namespace pelkorl
