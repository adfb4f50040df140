// The core's headers come before any Qt header: Qt's keyword macro "slots" would rewrite
// the core's fields of that name.
#include "card/cardstate.h"
#include "card/formatting.h"
#include "records/publisherdata.h"

#include "printing/cupsqueue.h"
#include "printing/printjob.h"
#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

namespace pelkorl {

namespace {

const QString NO_PRINTER = QStringLiteral("No Printer");
const QString NO_DEVICE_CONTEXT = QStringLiteral("no hdc");

// The engine key under which Qt's CUPS engine keeps the options of the print dialog's
// advanced tab (tray, media type, ...) and sends them with each job; QPrinter has no
// accessor for them.
constexpr auto CUPS_OPTIONS_KEY = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Without a printer behind it a QPrinter quietly turns into a PDF writer with no file:
// printing on it would go nowhere and look like success.
bool printsNowhere(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty();
}

// A new printer with what Qt's public setters reach of `from`: printer or file, page, job
// settings. Not the job options of the print dialog's advanced tab.
std::unique_ptr<QPrinter> copyOf(const QPrinter& from) {
    auto to = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (from.outputFormat() == QPrinter::NativeFormat) {
        to->setPrinterName(from.printerName());
    } else {
        to->setOutputFormat(QPrinter::PdfFormat);
        to->setOutputFileName(from.outputFileName());
        to->setPdfVersion(from.pdfVersion());
    }
    to->setResolution(from.resolution());
    to->setFullPage(from.fullPage());
    to->setPageLayout(from.pageLayout());
    to->setColorMode(from.colorMode());
    to->setDuplex(from.duplex());
    to->setPageOrder(from.pageOrder());
    to->setPaperSource(from.paperSource());
    to->setCopyCount(from.copyCount());
    to->setCollateCopies(from.collateCopies());
    return to;
}

void showMessage(QWidget* parent, const QString& text) {
    MessageBox::show(parent, text, QString(), MessageBox::Buttons::Ok,
                     MessageBox::Icon::Exclamation);
}

QString textWith(int id, const QString& insert) {
    return textFromUtf8(insertText(loadText(id), utf8FromText(insert)));
}

} // namespace

QString PrinterSource::nameOf(const QPrinter& printer) const {
    return printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
}

bool PrinterSource::exists(const QString& name) const {
    return open(name) != nullptr;
}

QString SystemPrinterSource::defaultPrinterName() const {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    return info.isNull() ? QString() : info.printerName();
}

std::unique_ptr<QPrinter> SystemPrinterSource::open(const QString& name) const {
    if (name.isEmpty())
        return nullptr;
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    usePrintableAreaOrigin(*printer);
    return printer;
}

bool SystemPrinterSource::exists(const QString& name) const {
    // Asked of the scheduler itself each time: Qt's list may be older than the last change.
    return queueState(utf8FromText(name)) != QueueState::Missing;
}

SchedulerError SystemPrinterSource::schedulerError() const {
    return pelkorl::schedulerError();
}

QStringList jobOptionsOf(const QPrinter& printer) {
    QPrintEngine* engine = printer.printEngine();
    return engine ? engine->property(CUPS_OPTIONS_KEY).toStringList() : QStringList();
}

void setJobOptions(QPrinter& printer, const QStringList& options) {
    if (QPrintEngine* engine = printer.printEngine())
        engine->setProperty(CUPS_OPTIONS_KEY, options);
}

ApplicationPrinter::ApplicationPrinter()
    : ApplicationPrinter(std::make_shared<SystemPrinterSource>()) {}

ApplicationPrinter::ApplicationPrinter(std::shared_ptr<const PrinterSource> source)
    : source_(source ? std::move(source) : std::make_shared<SystemPrinterSource>()) {}

ApplicationPrinter::~ApplicationPrinter() = default;

void ApplicationPrinter::setPickedPrinter(std::unique_ptr<QPrinter> printer) {
    if (!printer) {
        clearPickedPrinter();
        return;
    }
    picked_ = std::move(printer);
    defaultWhenPicked_ = source_->defaultPrinterName();
    pickedWasDefault_ =
        !defaultWhenPicked_.isEmpty() && source_->nameOf(*picked_) == defaultWhenPicked_;
}

void ApplicationPrinter::clearPickedPrinter() {
    picked_.reset();
    pickedWasDefault_ = false;
    defaultWhenPicked_.clear();
}

std::unique_ptr<QPrinter> ApplicationPrinter::setupCandidate() {
    const QPrinter* current = missingPrinter().isEmpty() ? printerForCommand() : picked_.get();
    return current ? copyOf(*current) : std::make_unique<QPrinter>(QPrinter::HighResolution);
}

void ApplicationPrinter::takeSetup(std::unique_ptr<QPrinter> configured) {
    if (!configured)
        return;
    // Switching printers in the dialog keeps the first one's margins where they are wider.
    usePrintableAreaOrigin(*configured);
    // The dialog shows the driver's defaults, not the options chosen before, and sets only
    // what differs from those defaults: what it did not set stays as chosen before.
    const QString name = source_->nameOf(*configured);
    if (picked_ && !name.isEmpty() && source_->nameOf(*picked_) == name) {
        const QStringList earlier = jobOptionsOf(*picked_);
        QStringList options = jobOptionsOf(*configured);
        for (qsizetype i = 0; i + 1 < earlier.size(); i += 2) {
            bool set = false;
            for (qsizetype j = 0; j + 1 < options.size() && !set; j += 2)
                set = options[j] == earlier[i];
            if (!set)
                options << earlier[i] << earlier[i + 1];
        }
        setJobOptions(*configured, options);
    }
    setPickedPrinter(std::move(configured));
}

QString ApplicationPrinter::missingPrinter() const {
    if (!picked_)
        return {};
    const QString name = source_->nameOf(*picked_);
    return !name.isEmpty() && !source_->exists(name) ? name : QString();
}

SchedulerError ApplicationPrinter::schedulerError() const {
    // A printer picked to write a file needs no print system.
    if (picked_ && source_->nameOf(*picked_).isEmpty() && !printsNowhere(*picked_))
        return SchedulerError::None;
    return source_->schedulerError();
}

QPrinter* ApplicationPrinter::printerForCommand() {
    default_.reset();
    if (picked_ && !missingPrinter().isEmpty())
        return nullptr;
    const QString defaultName = source_->defaultPrinterName();
    if (picked_ && pickedWasDefault_ && defaultName != defaultWhenPicked_)
        clearPickedPrinter();
    QPrinter* printer = picked_.get();
    if (!printer && !defaultName.isEmpty()) {
        default_ = source_->open(defaultName);
        printer = default_.get();
    }
    if (!printer || printsNowhere(*printer))
        return nullptr;
    return printer;
}

bool pickedPrinterIsThere(QWidget* parent, const ApplicationPrinter& printer) {
    // Qt's own requests to the scheduler wait for ever: they are made only once it answered.
    switch (printer.schedulerError()) {
    case SchedulerError::Unreachable:
        showMessage(parent, textFromUtf8(loadText(PRINT_SYSTEM_UNREACHABLE)));
        return false;
    case SchedulerError::NoAnswer:
        showMessage(parent, textFromUtf8(loadText(PRINT_SYSTEM_SILENT)));
        return false;
    case SchedulerError::None:
        break;
    }
    const QString missing = printer.missingPrinter();
    if (missing.isEmpty())
        return true;
    showMessage(parent, textWith(PRINTER_GONE_TEXT, missing));
    return false;
}

QPrinter* printerForCommand(QWidget* parent, ApplicationPrinter& printer) {
    if (!pickedPrinterIsThere(parent, printer))
        return nullptr;
    QPrinter* device = printer.printerForCommand();
    if (!device)
        showMessage(parent, NO_PRINTER);
    return device;
}

void showPrintFailure(QWidget* parent, PrintResult result, const QPrinter& printer) {
    if (result == PrintResult::NoDeviceContext)
        showMessage(parent, NO_DEVICE_CONTEXT);
    else if (result == PrintResult::Refused)
        showMessage(parent, textWith(JOB_REFUSED_TEXT, printer.printerName()));
}

PrintResult printCardOn(QPrinter& printer, CardState& state) {
    return printCardDocument(printer, [&state](QPainter& painter) {
        drawCardPage(painter, state);
        return PrintResult::Printed;
    });
}

PrintResult renderCardToPdf(const QString& file, CardState& state, int resolution) {
    if (file.isEmpty())
        return PrintResult::NoDeviceContext;
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfOutput(printer, file, resolution);
    return printCardOn(printer, state);
}

PrintResult printCard(QWidget* parent, CardState& state, ApplicationPrinter& printer) {
    std::string name;
    if (state.data)
        name = formatName(state.data->store, state.selectedRecord, state.lastNameFirst != 0);
    trimBlanks(name);
    if (name.empty())
        return PrintResult::NothingSelected;

    QPrinter* device = printerForCommand(parent, printer);
    if (!device)
        return PrintResult::NoPrinter;
    // A printer that writes to a file would silently replace the previous card.
    const QString file = device->outputFileName();
    if (!file.isEmpty() && QFileInfo::exists(file)) {
        const QString question = textFromUtf8(insertText(
            loadText(FILE_EXISTS_QUESTION), utf8FromText(QDir::toNativeSeparators(file))));
        if (MessageBox::show(parent, question, {}, MessageBox::Buttons::OkCancel) !=
            MessageBox::Answer::Ok)
            return PrintResult::Cancelled;
    }
    const PrintResult result = printCardOn(*device, state);
    showPrintFailure(parent, result, *device);
    return result;
}

} // namespace pelkorl
