#include "dialogs/aboutdialog.h"

#include "text/dialogs.h"
#include "toolkit/appicon.h"
#include "toolkit/qtstrings.h"

#include <QDir>
#include <QLabel>

namespace pelkorl {

QString displayPath(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(textFromPath(path));
}

AboutDialog::AboutDialog(const std::filesystem::path& folder, QWidget* parent)
    : TemplateDialog(ABOUT_DIALOG_ID, parent), folderText_(require<QLabel>(ABOUT_FOLDER_TEXT_ID)) {
    setWindowIcon(appIcon());
    folderText_->setText(displayPath(folder));
}

QString AboutDialog::folderText() const {
    return folderText_->text();
}

} // namespace pelkorl
