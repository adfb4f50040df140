// pelkorl [DATA_FOLDER]: the data folder becomes the working folder; anything else given (a
// file, a folder that is not there) is refused with a message. Without one, the folder started in
// is used when it holds the data; otherwise (a start from a desktop menu, in the home folder) the
// remembered data folder, or one the user picks once.
#include "app/arguments.h"
#include "main/maindialog.h"
#include "settings/settingslocation.h"
#include "settings/startfolder.h"
#include "text/commandline.h"
#include "text/strings.h"
#include "text/textids.h"
#include "toolkit/appicon.h"
#include "toolkit/messagebox.h"
#include "toolkit/qtstrings.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

using namespace pelkorl;

namespace {

// Help, version and a wrong command line are answered on the terminal, without a display;
// returns the exit status, or nothing when the program is to start.
std::optional<int> answerWithoutWindow(const AppArguments& arguments) {
    switch (arguments.action) {
    case AppAction::Run:
        return std::nullopt;
    case AppAction::Help:
        std::fputs(appUsage().c_str(), stdout);
        return 0;
    case AppAction::Version:
        std::fputs(appVersion().c_str(), stdout);
        return 0;
    case AppAction::Usage:
        std::fprintf(stderr, "pelkorl: %s\n\n%s", arguments.error.c_str(), appUsage().c_str());
        return 2;
    }
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const AppArguments arguments = parseAppArguments(commandLineArguments(argc, argv));
    if (const std::optional<int> status = answerWithoutWindow(arguments))
        return *status;

    QApplication app(argc, argv);
    QApplication::setWindowIcon(appIcon());

    std::error_code error;
    std::filesystem::path startedIn = std::filesystem::current_path(error);
    if (error)
        startedIn.clear();

    std::filesystem::path folder;
    if (arguments.folder) {
        const std::string& given = *arguments.folder;
        folder = std::filesystem::absolute(pathFromUtf8(given), error);
        if (error || !std::filesystem::is_directory(folder, error)) {
            const bool file = !error && std::filesystem::exists(folder, error);
            MessageBox::show(
                nullptr,
                textFromUtf8(loadText(file ? FILE_NOT_A_DATA_FOLDER : NOT_A_DATA_FOLDER))
                    .replace("%1", QDir::toNativeSeparators(QFile::decodeName(given.c_str()))),
                QString(), MessageBox::Buttons::Ok, MessageBox::Icon::Stop);
            return 2;
        }
    }
    // Only after the argument: finding the settings' place tries a new file beside the
    // executable, and a refused argument writes nothing.
    const std::filesystem::path executable =
        QFileInfo(QCoreApplication::applicationFilePath()).filesystemAbsoluteFilePath();
    const SettingsLocation settings = settingsLocation(executable);
    if (!arguments.folder) {
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
