#include "dialogs/aboutdialog.h"

#include "text/dialogs.h"
#include "toolkit/appicon.h"

#include <QDir>
#include <QFile>
#include <QLabel>

namespace pelkorl {

QString displayPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QDir::toNativeSeparators(QString::fromStdWString(path.native()));
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

AboutDialog::AboutDialog(const std::filesystem::path& folder, QWidget* parent)
    : TemplateDialog(ABOUT_DIALOG_ID, parent) {
    setWindowIcon(appIcon());
    if (auto* text = controlAs<QLabel>(ABOUT_FOLDER_TEXT_ID))
        text->setText(displayPath(folder));
}

QString AboutDialog::folderText() const {
    const auto* text = controlAs<QLabel>(ABOUT_FOLDER_TEXT_ID);
    return text ? text->text() : QString();
}

} // namespace pelkorl
