// pelkorl [DATA_FOLDER]: the data folder becomes the working folder; anything else given (a
// file, a folder that is not there) is refused with a message. Without one, the folder started in
// is used when it holds the data; otherwise (a start from a desktop menu, in the home folder) the
// remembered data folder, or one the user picks once.
#include "main/maindialog.h"
#include "settings/settingslocation.h"
#include "settings/startfolder.h"
#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/appicon.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

using namespace pelkorl;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(appIcon());

    std::error_code error;
    std::filesystem::path startedIn = std::filesystem::current_path(error);
    if (error)
        startedIn.clear();

    std::filesystem::path folder;
    // QApplication has taken its own options out of argv; the rest is ours, as bytes.
    if (argc > 1) {
        folder = std::filesystem::absolute(std::filesystem::path(argv[1]), error);
        if (error || argc > 2 || !std::filesystem::is_directory(folder, error)) {
            const bool file = argc == 2 && !error && std::filesystem::exists(folder, error);
            MessageBox::show(
                nullptr,
                textFromUtf8(loadText(file ? FILE_NOT_A_DATA_FOLDER : NOT_A_DATA_FOLDER))
                    .replace("%1", QDir::toNativeSeparators(QFile::decodeName(argv[1]))),
                QString(), MessageBox::Buttons::Ok, MessageBox::Icon::Stop);
            return 2;
        }
    }
    // Only after the argument: finding the settings' place tries a new file beside the
    // executable, and a refused argument writes nothing.
    const std::filesystem::path executable =
        QFileInfo(QCoreApplication::applicationFilePath()).filesystemAbsoluteFilePath();
    const SettingsLocation settings = settingsLocation(executable);
    if (argc <= 1) {
        const StartFolder start = chooseStartFolder(startedIn, settings, [] {
            const QString picked = QFileDialog::getExistingDirectory(
                nullptr, textFromUtf8(loadText(DATA_FOLDER_QUESTION)), QDir::homePath());
            return picked.isEmpty() ? std::filesystem::path() : pathFromText(picked);
        });
        if (start.remembered != ProfileWrite::Written)
            MessageBox::show(nullptr, textFromUtf8(loadText(FILES_NOT_WRITTEN))
                                          .replace("%1", QDir::toNativeSeparators(
                                                             textFromPath(settings.writeFile))));
        folder = start.folder;
    }
    // The data and layout files are those of the working folder.
    if (!folder.empty() && folder != startedIn)
        std::filesystem::current_path(folder, error);

    MainDialog dialog(settings, folder);
    dialog.exec();
    return 0;
}
