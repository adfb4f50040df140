#include "toolkit/appfonts.h"
#include "toolkit/qtstrings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>

#include <windows.h>

#include <system_error>

namespace pelkorl {

namespace fs = std::filesystem;

void useShippedFonts() {
    static const bool done = [] {
        std::error_code error;
        if (fs::is_regular_file(systemArialFile(), error))
            return true;
        const QDir folder(textFromPath(shippedFontFolder()));
        for (const QString& file : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files))
            QFontDatabase::addApplicationFont(folder.filePath(file));
        // Asked for Arial, Qt would otherwise take whatever the system calls by that name.
        QFont::removeSubstitutions(QStringLiteral("Arial"));
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        return true;
    }();
    (void)done;
}

fs::path shippedFontFolder() {
    return pathFromText(QCoreApplication::applicationDirPath()) / "fonts";
}

fs::path systemArialFile() {
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return fs::path(windows) / "Fonts" / "arial.ttf";
}

} // namespace pelkorl
