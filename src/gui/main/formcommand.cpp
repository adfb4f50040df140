// "Pildyti S-21 PDF formą...": cards as filled copies of the user's fillable S-21 11/23 form.
// The core's headers come before any Qt header: Qt's keyword macro "slots" would rewrite
// the core's fields of that name.
#include "card/cardbatch.h"
#include "card/cardfilename.h"
#include "card/cardstate.h"
#include "card/formvalues.h"
#include "settings/atomicfile.h"
#include "text/codepage.h"
#include "text/strings.h"

#include "main/cardcommands.h"
#include "printing/fillform.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>

namespace pelkorl {

namespace {

QString text(int id) {
    return textFromUtf8(loadText(id));
}

QString nativeName(const QString& file) {
    return QDir::toNativeSeparators(file);
}

void showMessage(QWidget* parent, const QString& message) {
    MessageBox::show(parent, message, QString(), MessageBox::Buttons::Ok,
                     MessageBox::Icon::Exclamation);
}

QString formProblemText(const FillResult& result, const QString& form) {
    return textFromUtf8(insertText(loadText(FILL_FORM_FAILED), utf8FromText(nativeName(form))) +
                        "\n" + formRefusalText(result));
}

QString askForForm(QWidget* parent, const QString& title, const QString& offered) {
    return QFileDialog::getOpenFileName(parent, title, offered, text(PDF_FILTER_TEXT));
}

QString askForFolder(QWidget* parent, const QString& title, const QString& offered) {
    return QFileDialog::getExistingDirectory(parent, title, offered);
}

int askForTarget(QWidget* parent, bool selected) {
    QMessageBox box(QMessageBox::Question, MessageBox::defaultCaption(),
                    text(FILL_FORM_WHICH_QUESTION), QMessageBox::NoButton, parent);
    QPushButton* one = selected
                           ? box.addButton(text(FILL_FORM_SELECTED_BUTTON), QMessageBox::AcceptRole)
                           : nullptr;
    QPushButton* all = box.addButton(text(FILL_FORM_ALL_BUTTON), QMessageBox::AcceptRole);
    box.addButton(text(CANCEL_TEXT), QMessageBox::RejectRole);
    box.setDefaultButton(one ? one : all);
    box.exec();
    if (one && box.clickedButton() == one)
        return 1;
    return box.clickedButton() == all ? 2 : 0;
}

QString fileNameFor(const CardState& state, const CardPage& page, CardFileNames& names) {
    const CardState card = pageStateFor(state, page);
    return textFromUtf8(names.next(cp1257ToUtf8(card.displayName), formYears(state, false)));
}

} // namespace

QString CardCommands::startFolder() const {
    return lastFolder_.isEmpty()
               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
               : lastFolder_;
}

// The remembered form, or the one the user picks now; a form that cannot be filled is
// forgotten, so the next fill asks again.
bool CardCommands::openForm(FormFiller& filler) {
    QString form = formFile_ ? formFile_() : QString();
    if (form.isEmpty() || !QFileInfo(form).isFile()) {
        const FileChooser choose = chooseForm_ ? chooseForm_ : FileChooser(askForForm);
        form = choose(parent_, text(FILL_FORM_OPEN_TITLE),
                      form.isEmpty() ? startFolder() : QFileInfo(form).absolutePath());
        if (form.isEmpty())
            return false;
    }
    const FillResult opened = filler.open(pathFromText(form));
    if (!opened.ok()) {
        showMessage(parent_, formProblemText(opened, form));
        if (rememberFormFile_)
            rememberFormFile_(QString());
        return false;
    }
    if (rememberFormFile_)
        rememberFormFile_(QFileInfo(form).absoluteFilePath());
    return true;
}

CardCommands::FillOutcome CardCommands::fillForm() {
    FillOutcome outcome;
    // The card or totals record the panes show, as the print command prints it.
    const std::vector<CardPage> selected = shownPage();
    const std::vector<int> listed = listed_ ? listed_() : std::vector<int>{};
    if (selected.empty() && listed.empty())
        return outcome;
    FormFiller filler;
    if (!openForm(filler)) {
        outcome.cancelled = true;
        return outcome;
    }
    const TargetChooser choose = chooseTarget_ ? chooseTarget_ : TargetChooser(askForTarget);
    const int target = choose(parent_, !selected.empty());
    if (target == 1 && !selected.empty())
        return fillSelected(filler, selected.front());
    if (target == 2 && !listed.empty())
        return fillAll(filler, listed);
    outcome.cancelled = true;
    return outcome;
}

CardCommands::FillOutcome CardCommands::fillSelected(const FormFiller& filler,
                                                     const CardPage& page) {
    FillOutcome outcome;
    CardFileNames names;
    const QString offered = QDir(startFolder()).filePath(fileNameFor(state_, page, names));
    QString file =
        chooseFile_ ? chooseFile_(parent_, text(SAVE_PDF_TITLE_TEXT), offered) : QString();
    if (file.isEmpty()) {
        outcome.cancelled = true;
        return outcome;
    }
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        file += QStringLiteral(".pdf");
    if (QFileInfo::exists(file) &&
        MessageBox::show(parent_,
                         textFromUtf8(insertText(loadText(FILE_EXISTS_QUESTION),
                                                 utf8FromText(nativeName(file)))),
                         QString(), MessageBox::Buttons::OkCancel) != MessageBox::Answer::Ok) {
        outcome.cancelled = true;
        return outcome;
    }
    lastFolder_ = QFileInfo(file).absolutePath();
    if (isAnInput(file, formFile_ ? formFile_() : QString()) || !writeFilled(filler, page, file)) {
        outcome.failed = true;
        return outcome;
    }
    outcome.written = 1;
    return outcome;
}

// The filled form written whole to `file`; a failure is shown with its reason.
bool CardCommands::writeFilled(const FormFiller& filler, const CardPage& page,
                               const QString& file) {
    const FillResult result =
        filler.write(formPages(state_, page, false), false, pathFromText(file));
    if (result.problem == FormProblem::CannotWrite) {
        const std::error_code reason =
            result.reason ? result.reason : writeObstacle(pathFromText(file));
        showMessage(parent_, writeFailedText(file, reason));
        return false;
    }
    if (!result.ok()) {
        showMessage(parent_, formProblemText(result, file));
        return false;
    }
    return true;
}

CardCommands::FillOutcome CardCommands::fillAll(const FormFiller& filler,
                                                const std::vector<int>& records) {
    FillOutcome outcome;
    const FileChooser choose = chooseFolder_ ? chooseFolder_ : FileChooser(askForFolder);
    const QString folder = choose(parent_, text(FILL_FORM_FOLDER_TITLE), startFolder());
    if (folder.isEmpty()) {
        outcome.cancelled = true;
        return outcome;
    }
    // The names first: the user is asked once about the files they would replace.
    CardFileNames names;
    std::vector<QString> files;
    int existing = 0;
    const QString form = formFile_ ? formFile_() : QString();
    for (const int record : records) {
        files.push_back(QDir(folder).filePath(fileNameFor(state_, CardPage{record}, names)));
        if (isAnInput(files.back(), form)) {
            outcome.failed = true;
            return outcome;
        }
        existing += QFileInfo::exists(files.back()) ? 1 : 0;
    }
    if (existing != 0 &&
        MessageBox::show(parent_,
                         text(FILL_FORM_REPLACE_QUESTION).replace("%1", QString::number(existing)),
                         QString(), MessageBox::Buttons::OkCancel) != MessageBox::Answer::Ok) {
        outcome.cancelled = true;
        return outcome;
    }
    lastFolder_ = folder;
    std::unique_ptr<QProgressDialog> dialog;
    const BatchProgress progress =
        progressFor(static_cast<int>(records.size()), FILL_FORM_PROGRESS_TEXT, dialog);
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (progress && !progress(static_cast<int>(i), static_cast<int>(records.size()))) {
            outcome.cancelled = true;
            return outcome;
        }
        if (!writeFilled(filler, CardPage{records[i]}, files[i])) {
            outcome.failed = true;
            return outcome;
        }
        ++outcome.written;
    }
    if (progress)
        progress(static_cast<int>(records.size()), static_cast<int>(records.size()));
    return outcome;
}

} // namespace pelkorl
