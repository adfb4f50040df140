// The core's headers come before any Qt header: Qt's keyword macro "slots" would rewrite
// the core's fields of that name.
#include "card/cardstate.h"
#include "card/formatting.h"
#include "records/publisherdata.h"

#include "printing/printjob.h"
#include "text/strings.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

namespace pelkorl {

namespace {

const QString NO_PRINTER = QStringLiteral("No Printer");
constexpr int FILE_EXISTS_QUESTION = 161;
const QString NO_DEVICE_CONTEXT = QStringLiteral("no hdc");

// Without a printer behind it a QPrinter quietly turns into a PDF writer with no file:
// printing on it would go nowhere and look like success.
bool printsNowhere(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty();
}

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

} // namespace

QString PrinterSource::nameOf(const QPrinter& printer) const {
    return printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
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

ApplicationPrinter::ApplicationPrinter()
    : ApplicationPrinter(std::make_shared<SystemPrinterSource>()) {}

ApplicationPrinter::ApplicationPrinter(std::shared_ptr<const PrinterSource> source)
    : source_(source ? std::move(source) : std::make_shared<SystemPrinterSource>()) {}

ApplicationPrinter::~ApplicationPrinter() = default;

void ApplicationPrinter::setPickedPrinter(const QPrinter& printer) {
    picked_ = copyOf(printer);
    defaultWhenPicked_ = source_->defaultPrinterName();
    pickedWasDefault_ =
        !defaultWhenPicked_.isEmpty() && source_->nameOf(printer) == defaultWhenPicked_;
}

void ApplicationPrinter::clearPickedPrinter() {
    picked_.reset();
    pickedWasDefault_ = false;
    defaultWhenPicked_.clear();
}

std::unique_ptr<QPrinter> ApplicationPrinter::printerForCommand() {
    const QString defaultName = source_->defaultPrinterName();
    if (picked_ && pickedWasDefault_ && defaultName != defaultWhenPicked_)
        clearPickedPrinter();
    std::unique_ptr<QPrinter> printer;
    if (picked_)
        printer = copyOf(*picked_);
    else if (!defaultName.isEmpty())
        printer = source_->open(defaultName);
    if (!printer || printsNowhere(*printer))
        return nullptr;
    return printer;
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

    std::unique_ptr<QPrinter> device = printer.printerForCommand();
    if (!device) {
        showMessage(parent, NO_PRINTER);
        return PrintResult::NoPrinter;
    }
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
    if (result == PrintResult::NoDeviceContext)
        showMessage(parent, NO_DEVICE_CONTEXT);
    return result;
}

} // namespace pelkorl
