#include "app/settingslocation.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <system_error>

#include "app/settings.h"

namespace pelkorl {

SettingsLocation chooseSettingsLocation(const std::filesystem::path& executable,
                                        bool executableFolderWritable,
                                        const std::filesystem::path& userFolder) {
    const std::filesystem::path beside = profileFileName(executable);
    if (executableFolderWritable || userFolder.empty())
        return {beside, beside};
    const std::filesystem::path own = userFolder / beside.filename();
    std::error_code error;
    if (!std::filesystem::exists(own, error) && std::filesystem::exists(beside, error))
        return {beside, own};
    return {own, own};
}

bool folderTakesNewFiles(const std::filesystem::path& folder) {
    const QDir dir(folder.empty() ? std::filesystem::path(".") : folder);
    // Removed again when `probe` goes out of scope.
    QTemporaryFile probe(dir.filePath(QStringLiteral(".pelkorl-probe-XXXXXX")));
    return probe.open();
}

std::filesystem::path userSettingsFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        return {};
    return QDir(QDir(base).filePath(QStringLiteral("pelkorl"))).filesystemPath();
}

SettingsLocation settingsLocation(const std::filesystem::path& executable) {
    return chooseSettingsLocation(executable, folderTakesNewFiles(executable.parent_path()),
                                  userSettingsFolder());
}

bool prepareSettingsWrite(const SettingsLocation& location) {
    const std::filesystem::path folder = location.writeFile.parent_path();
    return folder.empty() || QDir().mkpath(QDir(folder).absolutePath());
}

} // namespace pelkorl
