// The core's headers come before any Qt header: Qt's keyword macro "slots" would rewrite
// the core's fields of that name.
#include "card/cardbatch.h"
#include "card/cardstate.h"
#include "card/totals.h"
#include "records/publisherdata.h"
#include "settings/atomicfile.h"
#include "text/codepage.h"
#include "text/strings.h"

#include "main/cardcommands.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QToolBar>

namespace pelkorl {

namespace {

QString text(int id) {
    return textFromUtf8(loadText(id));
}

QString textWith(int id, const QString& insert) {
    return textFromUtf8(insertText(loadText(id), utf8FromText(insert)));
}

void showMessage(QWidget* parent, const QString& message) {
    MessageBox::show(parent, message, QString(), MessageBox::Buttons::Ok,
                     MessageBox::Icon::Exclamation);
}

// A printer that writes a file would replace an earlier one without a word.
bool mayReplace(QWidget* parent, const QString& file) {
    if (file.isEmpty() || !QFileInfo::exists(file))
        return true;
    return MessageBox::show(parent, textWith(FILE_EXISTS_QUESTION, QDir::toNativeSeparators(file)),
                            QString(), MessageBox::Buttons::OkCancel) == MessageBox::Answer::Ok;
}

// A file name made of a card's name: characters that no file system takes become '_'.
QString fileNameOf(const QString& name) {
    QString cleaned;
    for (const QChar c : name.trimmed()) {
        const bool bad = c < QChar(' ') || QStringLiteral("/\\:*?\"<>|").contains(c);
        cleaned += bad ? QChar('_') : c;
    }
    return cleaned;
}

QString askForFile(QWidget* parent, const QString& title, const QString& offered) {
    // The question about a file that exists is ours, so it is asked once and tests can answer.
    return QFileDialog::getSaveFileName(parent, title, offered, text(PDF_FILTER_TEXT), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

} // namespace

QString writeFailedText(const QString& file, const std::error_code& reason) {
    QString message = textWith(WRITE_FAILED_TEXT, QDir::toNativeSeparators(file));
    const std::error_condition condition = reason.default_error_condition();
    int id = 0;
    if (condition == std::errc::no_space_on_device)
        id = NO_SPACE_TEXT;
    else if (condition == std::errc::filename_too_long)
        id = NAME_TOO_LONG_TEXT;
    else if (condition == std::errc::permission_denied ||
             condition == std::errc::operation_not_permitted)
        id = PERMISSION_DENIED_TEXT;
    else if (condition == std::errc::read_only_file_system)
        id = READ_ONLY_FILE_SYSTEM_TEXT;
    return id == 0 ? message : message + "\n" + text(id);
}

bool CardCommands::isAnInput(const QString& file, const QString& form) const {
    std::vector<std::filesystem::path> inputs =
        inputFiles_ ? inputFiles_() : std::vector<std::filesystem::path>{};
    if (!form.isEmpty())
        inputs.push_back(pathFromText(form));
    const std::filesystem::path hit = inputAt(pathFromText(file), inputs);
    if (hit.empty())
        return false;
    showMessage(parent_,
                text(OUTPUT_IS_INPUT_TEXT)
                    .replace(QStringLiteral("%1"), QDir::toNativeSeparators(file))
                    .replace(QStringLiteral("%2"), QDir::toNativeSeparators(textFromPath(hit))));
    return true;
}

CardCommands::CardCommands(QWidget* parent, CardState& state,
                           std::function<ApplicationPrinter&()> printer,
                           std::function<std::vector<int>()> listed)
    : parent_(parent), state_(state), printer_(std::move(printer)), listed_(std::move(listed)),
      chooseFile_(askForFile), runPreview_([](QPrintPreviewDialog& dialog) { dialog.exec(); }) {}

std::vector<CardPage> CardCommands::shownPage() const {
    if (showsTotals(state_))
        return {CardPage{-1, state_.totals}};
    return cardPages(selectedCard());
}

std::vector<int> CardCommands::selectedCard() const {
    if (!state_.data ||
        !cardHasName(state_.data->store, state_.selectedRecord, state_.lastNameFirst))
        return {};
    return {state_.selectedRecord};
}

BatchProgress CardCommands::progressFor(int total, int labelText,
                                        std::unique_ptr<QProgressDialog>& dialog) {
    if (total <= FEW_CARDS)
        return {};
    dialog =
        std::make_unique<QProgressDialog>(text(labelText), text(CANCEL_TEXT), 0, total, parent_);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // Shown at once: each card takes a moment, and the cancel button must be there to press.
    dialog->show();
    QProgressDialog* shown = dialog.get();
    return [this, shown](int done, int) {
        // A modal progress dialog takes the events here, so its cancel button works.
        shown->setValue(done);
        if (progressStepped_)
            progressStepped_(*shown, done);
        return !shown->wasCanceled();
    };
}

BatchOutcome CardCommands::printAll() {
    const std::vector<int> records = listed_ ? listed_() : std::vector<int>{};
    return printPages(cardPages(records));
}

BatchOutcome CardCommands::printTotals() {
    if (!state_.data || state_.data->store.currentCount <= 1)
        return {};
    return printPages(totalsPages());
}

BatchOutcome CardCommands::printPages(const std::vector<CardPage>& pages) {
    BatchOutcome outcome;
    if (pages.empty())
        return outcome;
    QPrinter* device = printerForCommand(parent_, printer_());
    if (!device) {
        outcome.result = PrintResult::NoPrinter;
        return outcome;
    }
    if (!mayReplace(parent_, device->outputFileName())) {
        outcome.result = PrintResult::Cancelled;
        outcome.cancelled = true;
        return outcome;
    }
    std::unique_ptr<QProgressDialog> dialog;
    const BatchProgress progress =
        progressFor(static_cast<int>(pages.size()), PRINTING_PROGRESS_TEXT, dialog);
    outcome = printPagesOn(*device, state_, pages, progress);
    showPrintFailure(parent_, outcome.result, *device);
    return outcome;
}

namespace {

// What the preview can show: the selected card, each totals record, all three.
struct PreviewChoice {
    QString text;
    std::vector<CardPage> pages;
};

std::vector<PreviewChoice> previewChoices(const CardState& state, const std::vector<int>& card) {
    std::vector<PreviewChoice> choices;
    if (!card.empty())
        choices.push_back(
            {textFromCp1257(cardStateFor(state, card.front()).displayName), cardPages(card)});
    for (const TotalsRecord totals : TOTALS_RECORDS)
        choices.push_back({textFromUtf8(totalsName(totals)), {CardPage{-1, totals}}});
    choices.push_back({text(ALL_TOTALS_TEXT), totalsPages()});
    return choices;
}

// The choice in the preview's tool bar; `chosen` runs with the index of each new choice.
void addPreviewChoice(QPrintPreviewDialog& dialog, const std::vector<PreviewChoice>& choices,
                      int current, const std::function<void(int)>& chosen) {
    auto* bar = dialog.findChild<QToolBar*>();
    if (!bar)
        return;
    auto* box = new QComboBox(bar);
    box->setObjectName(QString::fromLatin1(PREVIEW_CHOICE_NAME));
    for (const PreviewChoice& choice : choices)
        box->addItem(choice.text);
    box->setCurrentIndex(current);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    bar->addSeparator();
    bar->addWidget(new QLabel(text(PREVIEW_SHOWS_TEXT), bar));
    bar->addWidget(box);
    QObject::connect(box, &QComboBox::currentIndexChanged, &dialog, chosen);
}

} // namespace

PrintResult CardCommands::preview() {
    const std::vector<int> card = selectedCard();
    if (card.empty() && !showsTotals(state_))
        return PrintResult::NothingSelected;
    QPrinter* device = printerForCommand(parent_, printer_());
    if (!device)
        return PrintResult::NoPrinter;
    device->setDocName(QString::fromLatin1(CARD_DOCUMENT_NAME));
    QPrintPreviewDialog dialog(device, parent_);
    dialog.setWindowTitle(text(PREVIEW_TEXT).remove('&'));
    // The state as it is now: the preview shows the page this print would give.
    const CardState now = state_;
    const std::vector<PreviewChoice> choices = previewChoices(now, card);
    std::vector<CardPage> pages = shownPage();
    int current = 0;
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (choices[i].pages == pages)
            current = static_cast<int>(i);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&now, &pages](QPrinter* printer) {
                         QPainter painter(printer);
                         drawPages(painter, *printer, now, pages);
                     });
    addPreviewChoice(dialog, choices, current, [&](int index) {
        if (index < 0 || index >= static_cast<int>(choices.size()))
            return;
        pages = choices[static_cast<std::size_t>(index)].pages;
        // The dialog's panes show the record chosen; all three show the first.
        state_.totals = pages.front().totals;
        if (shownChanged_)
            shownChanged_();
        if (auto* view = dialog.findChild<QPrintPreviewWidget*>())
            view->updatePreview();
        // All three pages side by side, one page alone; through the dialog's own buttons so
        // its tool bar says which view it is.
        const QString mode = QCoreApplication::translate(
            "QPrintPreviewDialog",
            pages.size() > 1 ? "Show overview of all pages" : "Show single page");
        for (QAction* action : dialog.findChildren<QAction*>())
            if (action->text() == mode)
                action->trigger();
    });
    // The preview works on the application's printer itself: its own page setup and
    // orientation would change every later print behind the user's back, and its print
    // button would open a second print dialog on it. The page is set up in the options;
    // the button prints what is shown, as the print command does.
    const auto preview = [](const char* source) {
        return QCoreApplication::translate("QPrintPreviewDialog", source);
    };
    for (QAction* action : dialog.findChildren<QAction*>()) {
        const QString name = action->text();
        if (name == preview("Page setup") || name == preview("Portrait") ||
            name == preview("Landscape")) {
            action->setVisible(false);
        } else if (name == preview("Print")) {
            QObject::disconnect(action, &QAction::triggered, &dialog, nullptr);
            QObject::connect(action, &QAction::triggered, &dialog, [&] {
                if (!pickedPrinterIsThere(&dialog, printer_()))
                    return;
                const PrintResult result = printPagesOn(*device, now, pages).result;
                showPrintFailure(&dialog, result, *device);
                if (result == PrintResult::Printed)
                    dialog.accept();
            });
        }
    }
    if (runPreview_)
        runPreview_(dialog);
    return PrintResult::Printed;
}

BatchOutcome CardCommands::exportCurrent() {
    const std::vector<CardPage> page = shownPage();
    if (page.empty())
        return {};
    const QString name = fileNameOf(textFromCp1257(pageStateFor(state_, page.front()).displayName));
    const QString folder = lastFolder_.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : lastFolder_;
    const QString file = chooseFile_ ? chooseFile_(parent_, text(SAVE_PDF_TITLE_TEXT),
                                                   QDir(folder).filePath(name + ".pdf"))
                                     : QString();
    if (file.isEmpty()) {
        BatchOutcome outcome;
        outcome.cancelled = true;
        return outcome;
    }
    return exportPagesTo(file, page);
}

BatchOutcome CardCommands::exportAll() {
    const std::vector<int> records = listed_ ? listed_() : std::vector<int>{};
    if (records.empty())
        return {};
    const QString folder = lastFolder_.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : lastFolder_;
    const QString file =
        chooseFile_ ? chooseFile_(parent_, text(SAVE_PDF_TITLE_TEXT),
                                  QDir(folder).filePath(text(ALL_CARDS_FILE_TEXT) + ".pdf"))
                    : QString();
    if (file.isEmpty()) {
        BatchOutcome outcome;
        outcome.cancelled = true;
        return outcome;
    }
    return exportTo(file, records);
}

BatchOutcome CardCommands::exportTo(QString file, const std::vector<int>& records) {
    return exportPagesTo(std::move(file), cardPages(records));
}

BatchOutcome CardCommands::exportPagesTo(QString file, const std::vector<CardPage>& pages) {
    BatchOutcome outcome;
    if (pages.empty() || file.isEmpty())
        return outcome;
    // Only PDF files are written, so no other file can be replaced by mistake.
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        file += QStringLiteral(".pdf");
    if (QFileInfo(file).isDir()) {
        showMessage(parent_, textWith(WRITE_FAILED_TEXT, QDir::toNativeSeparators(file)));
        outcome.writeFailed = true;
        return outcome;
    }
    if (isAnInput(file)) {
        outcome.writeFailed = true;
        return outcome;
    }
    if (!mayReplace(parent_, file)) {
        outcome.cancelled = true;
        return outcome;
    }
    lastFolder_ = QFileInfo(file).absolutePath();
    std::unique_ptr<QProgressDialog> dialog;
    const BatchProgress progress =
        progressFor(static_cast<int>(pages.size()), EXPORTING_PROGRESS_TEXT, dialog);
    outcome = renderPagesToPdf(file, state_, pages, PDF_EXPORT_RESOLUTION, progress);
    if (outcome.writeFailed)
        showMessage(parent_, writeFailedText(file, outcome.writeError));
    return outcome;
}

} // namespace pelkorl
