#include "settings/settingslocation.h"

#include "settings/profile.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <fstream>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using namespace pelkorl;

namespace {

void touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "[Format]\r\nCard Version=1\r\n";
}

std::size_t entryCount(const fs::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

} // namespace

class SettingsLocationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void rule_data();
    void rule();
    void probeLeavesNothingBehind();
    void probeRefusesMissingFolder();
    void probeRefusesReadOnlyFolder();
    void writableFolderKeepsFileBeside();
    void systemInstallWritesUserFile();

private:
    QTemporaryDir home;
};

void SettingsLocationTest::initTestCase() {
    QVERIFY(home.isValid());
    // Keep the user's own configuration folder out of the tests.
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(fs::path(userSettingsFolder()).string().rfind(home.path().toStdString(), 0) == 0);
}

void SettingsLocationTest::rule_data() {
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<bool>("hasUserFolder");
    QTest::addColumn<bool>("userFileExists");
    QTest::addColumn<bool>("besideFileExists");
    QTest::addColumn<QString>("expectedRead");
    QTest::addColumn<QString>("expectedWrite");

    QTest::newRow("personal install") << true << true << false << false << "beside"
                                      << "beside";
    QTest::newRow("personal install, user file ignored") << true << true << true << true << "beside"
                                                         << "beside";
    QTest::newRow("system install, nothing yet") << false << true << false << false << "user"
                                                 << "user";
    QTest::newRow("system install, file beside only") << false << true << false << true << "beside"
                                                      << "user";
    QTest::newRow("system install, user file wins") << false << true << true << true << "user"
                                                    << "user";
    QTest::newRow("system install, user file only") << false << true << true << false << "user"
                                                    << "user";
    QTest::newRow("no user folder") << false << false << false << false << "beside"
                                    << "beside";
}

void SettingsLocationTest::rule() {
    QFETCH(bool, folderWritable);
    QFETCH(bool, hasUserFolder);
    QFETCH(bool, userFileExists);
    QFETCH(bool, besideFileExists);
    QFETCH(QString, expectedRead);
    QFETCH(QString, expectedWrite);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const fs::path base = root.path().toStdString();
    const fs::path beside = base / "bin" / "pelkorl.INI";
    const fs::path user = base / "config" / "pelkorl.INI";
    if (besideFileExists)
        touch(beside);
    if (userFileExists)
        touch(user);

    const SettingsLocation location = chooseSettingsLocation(
        base / "bin" / "pelkorl", folderWritable, hasUserFolder ? base / "config" : fs::path());
    QCOMPARE(location.readFile, expectedRead == "beside" ? beside : user);
    QCOMPARE(location.writeFile, expectedWrite == "beside" ? beside : user);
}

void SettingsLocationTest::probeLeavesNothingBehind() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(folderTakesNewFiles(folder.path().toStdString()));
    QCOMPARE(entryCount(folder.path().toStdString()), std::size_t(0));
}

void SettingsLocationTest::probeRefusesMissingFolder() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const fs::path missing = fs::path(folder.path().toStdString()) / "missing";
    QVERIFY(!folderTakesNewFiles(missing));
    QVERIFY(!fs::exists(missing));
}

void SettingsLocationTest::probeRefusesReadOnlyFolder() {
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");
#endif
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const fs::path path = folder.path().toStdString();
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_exec);
    const bool takes = folderTakesNewFiles(path);
    fs::permissions(path, fs::perms::owner_all);
    QVERIFY(!takes);
    QCOMPARE(entryCount(path), std::size_t(0));
}

void SettingsLocationTest::writableFolderKeepsFileBeside() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const fs::path executable = fs::path(folder.path().toStdString()) / "pelkorl";
    const SettingsLocation location = settingsLocation(executable);
    QCOMPARE(location.readFile, executable.parent_path() / "pelkorl.INI");
    QCOMPARE(location.writeFile, location.readFile);
    QCOMPARE(entryCount(executable.parent_path()), std::size_t(0));
}

// An executable whose folder takes no files (here: one that is gone) has its settings
// written to and read from the user's folder.
void SettingsLocationTest::systemInstallWritesUserFile() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const fs::path executable = fs::path(folder.path().toStdString()) / "gone" / "pelkorl";
    const SettingsLocation location = settingsLocation(executable);
    const fs::path expected = userSettingsFolder() / "pelkorl.INI";
    QCOMPARE(location.writeFile, expected);
    QCOMPARE(location.readFile, expected);
    QVERIFY(!fs::exists(expected.parent_path()));

    QVERIFY(prepareSettingsWrite(location));
    Settings settings;
    settings.cardVersion = 1;
    ProfileFile writeFile(location.writeFile);
    QCOMPARE(writeSettings(writeFile, settings), ProfileWrite::Written);

    Settings back;
    readRemainingSettings(ProfileFile(settingsLocation(executable).readFile).read(), back, 2);
    QCOMPARE(back.cardVersion, 1);
    QVERIFY(!fs::exists(executable.parent_path()));
    fs::remove_all(expected.parent_path());
}

QTEST_MAIN(SettingsLocationTest)
#include "settingslocation_test.moc"
