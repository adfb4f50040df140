#include "main/maindialog.h"
#include "settings/settingslocation.h"
#include "toolkit/appicon.h"

#include <QApplication>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(pelkorl::appIcon());

    const std::filesystem::path executable =
        QFileInfo(QCoreApplication::applicationFilePath()).filesystemAbsoluteFilePath();
    // The data and layout files are those of the folder the program was started in.
    std::error_code error;
    std::filesystem::path currentFolder = std::filesystem::current_path(error);
    if (error)
        currentFolder.clear();

    pelkorl::MainDialog dialog(pelkorl::settingsLocation(executable), currentFolder);
    dialog.exec();
    return 0;
}
