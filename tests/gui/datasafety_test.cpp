// The whole program's start and close against data it must not harm: the record-keeping
// program's files are only ever opened for reading, and a data folder or a file of its own
// that cannot be written leaves the old files whole and the dialog running and closing.
#include "maindialogfixture.h"

#include "card/cardlayout.h"
#include "main/publisherlistbox.h"
#include "messageboxwatcher.h"
#include "settings/layoutfile.h"
#include "settings/profile.h"
#include "text/dialogs.h"
#include "toolkit/messagebox.h"

#include <QCheckBox>
#include <QtTest>

#include <csignal>
#include <map>
#include <set>

#ifdef __linux__
#include <sys/inotify.h>
#include <unistd.h>
#endif
#ifdef __unix__
#include <sys/resource.h>
#endif

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

// Every month row enabled, the previous year's included.
const QDate SEPTEMBER_2027(2027, 9, 15);
constexpr int SAMPLE_YEAR = 2027;

const std::vector<std::string> RECORD_FILES = {"tdat7.bin", "xten7.dat", "remark7.dat",
                                               "Roll/Rv7_8/tdat7.bin", "Roll/Rv7_8/remark7.dat"};

bool canWriteInto(const fs::path& folder) {
    const fs::path probe = folder / ".probe";
    const bool writable = static_cast<bool>(std::ofstream(probe));
    std::error_code error;
    fs::remove(probe, error);
    return writable;
}

// Gives the owner everything back when the test ends, so the folder can be removed.
class PermissionsBack {
public:
    explicit PermissionsBack(std::vector<fs::path> paths) : paths_(std::move(paths)) {}
    ~PermissionsBack() {
        std::error_code error;
        for (const fs::path& path : paths_)
            fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, error);
    }

private:
    std::vector<fs::path> paths_;
};

#ifdef __unix__
// Writes longer than `bytes` fail as on a full disk; SIGXFSZ is ignored meanwhile.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ok_ = getrlimit(RLIMIT_FSIZE, &saved_) == 0;
        rlimit small = saved_;
        small.rlim_cur = bytes;
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
    bool ok_ = false;
};
#endif

// A layout of version 0 that differs from the defaults, saved in `folder`.
CardLayout saveUsersLayout(const fs::path& folder, const std::string& nameX) {
    CardLayout custom;
    setLayoutDefaults(custom, 0);
    custom.setHeaderX(0, nameX);
    saveLayout(custom, 0, folder);
    return custom;
}

// Names in a folder, without the folders below it.
std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.insert(entry.path().filename().string());
    return names;
}

// The dialog started in `folder` with its settings file at `settings`, printing into PDF
// files in `printed`.
std::unique_ptr<MainDialog> startDialog(const fs::path& folder, const fs::path& settings,
                                        const fs::path& printed) {
    auto dialog =
        std::make_unique<MainDialog>(SettingsLocation{settings, settings}, folder, SEPTEMBER_2027);
    fs::create_directories(printed);
    dialog->setPrinterSource(std::make_shared<PdfPrinterSource>(printed, true));
    dialog->initialise();
    return dialog;
}

// What a user does in a long session: every publisher looked at in both years, cards
// printed with every row and the total.
void useEverything(MainDialog& dialog) {
    dialog.show();
    for (int row = 0; row < MONTH_ROWS; ++row)
        dialog.monthBox(row)->setChecked(true);
    dialog.checkBox(TOTAL_BOX_ID)->setChecked(true);
    for (bool previous : {false, true}) {
        if (dialog.checkBox(PREVIOUS_YEAR_BOX_ID)->isChecked() != previous)
            dialog.checkBox(PREVIOUS_YEAR_BOX_ID)->click();
        for (int line = 0; line < dialog.publisherList()->count(); ++line) {
            dialog.publisherList()->selectLine(line);
            dialog.selectionChanged();
            (void)dialog.grab(); // the previews look up long names and remarks
        }
        dialog.publisherList()->selectLine(0);
        dialog.selectionChanged();
        (void)dialog.grab();
        dialog.accept();
    }
}

#ifdef __linux__
// Watches files and reports every event the kernel saw on each of them.
class FileWatch {
public:
    FileWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~FileWatch() {
        if (fd_ >= 0)
            close(fd_);
    }
    bool add(const fs::path& file) {
        const int wd = inotify_add_watch(fd_, file.c_str(), IN_ALL_EVENTS);
        if (wd < 0)
            return false;
        names_[wd] = file.string();
        return true;
    }
    // Events since the last call, by file.
    std::map<std::string, std::uint32_t> drain() {
        std::map<std::string, std::uint32_t> seen;
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t got = read(fd_, buffer, sizeof buffer);
            if (got <= 0)
                break;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                seen[names_[event->wd]] |= event->mask;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return seen;
    }
    bool ok() const { return fd_ >= 0; }

private:
    int fd_;
    std::map<int, std::string> names_;
};
#endif

} // namespace

// The one message of a close that could not write `files` (and no other file).
void expectUnwritten(const MessageBoxWatcher& messages, const QStringList& files) {
    QCOMPARE(messages.boxes().size(), std::size_t(1));
    const QString text = messages.boxes().front().text;
    QVERIFY2(text.startsWith("Nepavyko įrašyti šių failų"), qPrintable(text));
    QCOMPARE(text.count('\n'), files.size());
    for (const QString& file : files)
        QVERIFY2(text.contains("/" + file + "\n") || text.endsWith("/" + file), qPrintable(text));
}

class DataSafetyTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void recordFilesAreOnlyRead();
    void readOnlyDataFolderStartsAndCloses();
    void missingDataFolder_data();
    void missingDataFolder();
    void fullDiskAtCloseKeepsOldFiles_data();
    void fullDiskAtCloseKeepsOldFiles();
    void settingsFileThatCannotBeMade();
    void notOursIsLeftAtClose_data();
    void notOursIsLeftAtClose();

private:
    MessageBoxWatcher messages;
};

void DataSafetyTest::init() {
    messages.reset();
}

void DataSafetyTest::recordFilesAreOnlyRead() {
#ifndef __linux__
    QSKIP("watches file opens with inotify");
#else
    TempFolder temp;
    const fs::path data = temp.path() / "data";
    QVERIFY(sample::writeSampleCongregation(data, SAMPLE_YEAR));
    // As the record-keeping program may leave them: files read-only, its folders too.
    std::vector<fs::path> locked;
    for (const std::string& name : RECORD_FILES) {
        fs::permissions(data / name, fs::perms::owner_read | fs::perms::group_read);
        locked.push_back(data / name);
    }
    for (const fs::path& folder : {data / "Roll" / "Rv7_8", data / "Roll"}) {
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        locked.push_back(folder);
    }
    PermissionsBack back(locked);
    const auto before = folderContents(data);
    std::map<std::string, fs::file_time_type> times;
    for (const std::string& name : RECORD_FILES)
        times[name] = fs::last_write_time(data / name);

    FileWatch watch;
    QVERIFY(watch.ok());
    for (const std::string& name : RECORD_FILES)
        QVERIFY(watch.add(data / name));
    QVERIFY(watch.add(data / "Roll" / "Rv7_8"));

    auto dialog = startDialog(data, temp.path() / "pelkorl.INI", temp.path() / "printed");
    QCOMPARE(dialog->publisherList()->count(), 40);
    useEverything(*dialog);
    dialog->closeMainDialog();
    QVERIFY(dialog->closed());
    QVERIFY(fs::exists(temp.path() / "printed" / "card2.pdf"));

    const auto seen = watch.drain();
    for (const std::string& name : RECORD_FILES) {
        const std::string file = (data / name).string();
        const std::uint32_t mask = seen.count(file) ? seen.at(file) : 0;
        // Read, and only read: the watch saw the file being opened and closed unwritten.
        QVERIFY2(mask & IN_CLOSE_NOWRITE, name.c_str());
        QVERIFY2(!(mask & (IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF)),
                 (name + " was opened for writing or changed").c_str());
        QVERIFY2(fs::last_write_time(data / name) == times[name], name.c_str());
    }
    const std::string previousFolder = (data / "Roll" / "Rv7_8").string();
    const std::uint32_t folderMask = seen.count(previousFolder) ? seen.at(previousFolder) : 0;
    QVERIFY2(!(folderMask & (IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM)),
             "files were made or removed beside the previous year's files");

    auto after = folderContents(data);
    after.erase("cplot.dat");
    QVERIFY(after == before);
    QVERIFY(messages.boxes().empty());
#endif
}

void DataSafetyTest::readOnlyDataFolderStartsAndCloses() {
    TempFolder temp;
    const fs::path data = temp.path() / "data";
    QVERIFY(sample::writeSampleCongregation(data, SAMPLE_YEAR));
    // A layout of the user's, to be kept whatever happens.
    const CardLayout custom = saveUsersLayout(data, "1.11");
    const std::string oldLayout = readBytes(data / "cplot.dat");
    fs::permissions(data / "cplot.dat", fs::perms::owner_read);
    fs::permissions(data, fs::perms::owner_read | fs::perms::owner_exec);
    PermissionsBack back({data, data / "cplot.dat"});
    const bool lockedOut = !canWriteInto(data);
    const auto before = folderContents(data);

    auto dialog = startDialog(data, temp.path() / "pelkorl.INI", temp.path() / "printed");
    QCOMPARE(dialog->publisherList()->count(), 40);
    QCOMPARE(dialog->state().layout.bytes(), custom.bytes());
    useEverything(*dialog);
    dialog->checkBox(LAST_NAME_FIRST_BOX_ID)->click(); // a setting changed: written at close
    {
#ifdef __unix__
        // Where permissions do not stop this user (root), a full disk stands in for them.
        std::unique_ptr<FileSizeLimit> limit;
        if (!lockedOut) {
            limit = std::make_unique<FileSizeLimit>(0);
            QVERIFY(limit->ok());
        }
#else
        if (!lockedOut)
            QSKIP("this user writes into read-only folders");
#endif
        messages.plan(MessageBoxWatcher::Press::Ok);
        dialog->closeMainDialog();
    }
    QVERIFY(dialog->closed());
    expectUnwritten(messages,
                    lockedOut ? QStringList{"cplot.dat"} : QStringList{"pelkorl.INI", "cplot.dat"});
    QCOMPARE(readBytes(data / "cplot.dat"), oldLayout);
    QVERIFY(folderContents(data) == before);
    QCOMPARE(namesIn(data),
             (std::set<std::string>{"Roll", "cplot.dat", "remark7.dat", "tdat7.bin", "xten7.dat"}));
    // The settings live elsewhere: written, unless the full disk stood in for the folder.
    if (lockedOut)
        QCOMPARE(
            ProfileFile(temp.path() / "pelkorl.INI").getString("Format", "Last Name First", "?"),
            std::string("1"));
    else
        QVERIFY(!fs::exists(temp.path() / "pelkorl.INI"));
}

void DataSafetyTest::missingDataFolder_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("missing") << "missing/data";
    QTest::newRow("below a file") << "file/data";
}

void DataSafetyTest::missingDataFolder() {
    QFETCH(QString, folder);
    TempFolder temp;
    writeText(temp.path() / "file", "not a folder");
    const fs::path data = temp.path() / folder.toStdString();

    auto dialog = startDialog(data, temp.path() / "pelkorl.INI", temp.path() / "printed");
    QVERIFY(!dialog->closed());
    QCOMPARE(dialog->publisherList()->count(), 0);
    QCOMPARE(dialog->state().selectedRecord, -1);
    dialog->show();
    (void)dialog->grab();
    dialog->accept(); // nothing selected: nothing printed, nothing shown
    QVERIFY(namesIn(temp.path() / "printed").empty());
    QVERIFY(messages.boxes().empty());
    messages.plan(MessageBoxWatcher::Press::Ok);
    dialog->closeMainDialog();
    QVERIFY(dialog->closed());
    expectUnwritten(messages, {"cplot.dat"});
    QVERIFY(!fs::exists(data));
    QCOMPARE(readBytes(temp.path() / "file"), std::string("not a folder"));
    QCOMPARE(namesIn(temp.path()), (std::set<std::string>{"file", "printed"}));
}

const char OLD_SETTINGS[] = "; the user's own\r\n[Format]\r\nAlt Date Format=2\r\n"
                            "Last Name First=0\r\n[Margins]\r\nTop=0.10\r\nLeft=0.30\r\n";

void DataSafetyTest::fullDiskAtCloseKeepsOldFiles_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("settingsAfter");
    const QString old = QString::fromLatin1(OLD_SETTINGS);
    QTest::newRow("nothing fits") << 0 << old;
    // Each setting goes to the file on its own: the changed one still fits, the first new
    // key does not, and the file stays as the last whole write left it.
    QTest::newRow("cut after 100 bytes")
        << 100 << QString(old).replace("Last Name First=0", "Last Name First=1");
}

void DataSafetyTest::fullDiskAtCloseKeepsOldFiles() {
#ifndef __unix__
    QSKIP("fills the disk with a file size limit");
#else
    QFETCH(int, limit);
    QFETCH(QString, settingsAfter);
    TempFolder temp;
    const fs::path data = temp.path() / "data";
    QVERIFY(sample::writeSampleCongregation(data, SAMPLE_YEAR));
    const CardLayout custom = saveUsersLayout(data, "2.22");
    const std::string oldLayout = readBytes(data / "cplot.dat");
    const fs::path settings = temp.path() / "pelkorl.INI";
    writeText(settings, OLD_SETTINGS);
    const auto before = folderContents(data);

    auto dialog = startDialog(data, settings, temp.path() / "printed");
    QCOMPARE(dialog->state().dateFormat, 2);
    useEverything(*dialog);
    dialog->checkBox(LAST_NAME_FIRST_BOX_ID)->click();
    QVERIFY(dialog->settingsChanged());
    {
        FileSizeLimit full(static_cast<rlim_t>(limit));
        QVERIFY(full.ok());
        messages.plan(MessageBoxWatcher::Press::Ok);
        dialog->closeMainDialog();
    }
    QVERIFY(dialog->closed());
    expectUnwritten(messages, {"pelkorl.INI", "cplot.dat"});
    QCOMPARE(readBytes(data / "cplot.dat"), oldLayout);
    QCOMPARE(readBytes(settings), settingsAfter.toStdString());
    QVERIFY(folderContents(data) == before);
    QCOMPARE(namesIn(temp.path()), (std::set<std::string>{"data", "pelkorl.INI", "printed"}));

    // The next run starts from the old files as if nothing had happened.
    auto next = startDialog(data, settings, temp.path() / "printed-2");
    QCOMPARE(next->state().layout.bytes(), custom.bytes());
    QCOMPARE(next->state().dateFormat, 2);
    QCOMPARE(next->state().marginTop, std::string("0.10"));
    QCOMPARE(next->publisherList()->count(), 40);
    next->closeMainDialog();
#endif
}

void DataSafetyTest::settingsFileThatCannotBeMade() {
    TempFolder temp;
    const fs::path data = temp.path() / "data";
    QVERIFY(sample::writeSampleCongregation(data, SAMPLE_YEAR));
    writeText(temp.path() / "file", "not a folder");
    // Its folder would have to be made below a regular file: impossible, even for root.
    const fs::path settings = temp.path() / "file" / "pelkorl" / "pelkorl.INI";

    auto dialog = startDialog(data, settings, temp.path() / "printed");
    QCOMPARE(dialog->publisherList()->count(), 40);
    dialog->checkBox(LAST_NAME_FIRST_BOX_ID)->click();
    messages.plan(MessageBoxWatcher::Press::Ok);
    dialog->closeMainDialog();
    QVERIFY(dialog->closed());
    expectUnwritten(messages, {"pelkorl.INI"});
    QCOMPARE(readBytes(temp.path() / "file"), std::string("not a folder"));
    // The close went on past the settings: the layout file was written.
    CardLayout defaults;
    setLayoutDefaults(defaults, 0);
    CardLayout written;
    QVERIFY(loadLayout(written, 0, data));
    QCOMPARE(written.bytes(), defaults.bytes());
}

// A layout file's place taken by what is not ours: a link to a file outside the data folder,
// a read-only file (root included), a file of another size. Each stays byte for byte and the
// close names it once.
void DataSafetyTest::notOursIsLeftAtClose_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("link outside") << "link";
    QTest::newRow("read-only") << "read-only";
    QTest::newRow("not 400 bytes") << "size";
}

void DataSafetyTest::notOursIsLeftAtClose() {
#ifndef __unix__
    QSKIP("makes symbolic links and read-only modes");
#else
    QFETCH(QString, kind);
    TempFolder temp;
    const fs::path data = temp.path() / "data";
    QVERIFY(sample::writeSampleCongregation(data, SAMPLE_YEAR));
    const fs::path outside = temp.path() / "outside.txt";
    const std::string old = std::string(CARD_LAYOUT_SIZE, '7') + (kind == "size" ? "more" : "");
    const fs::path file = kind == "link" ? outside : data / "CPLOT.DAT";
    writeBytes(file, old);
    if (kind == "link")
        fs::create_symlink(outside, data / "cplot.dat");
    if (kind == "read-only")
        fs::permissions(file,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    PermissionsBack back({file});

    auto dialog = startDialog(data, temp.path() / "pelkorl.INI", temp.path() / "printed");
    QCOMPARE(dialog->publisherList()->count(), 40);
    messages.plan(MessageBoxWatcher::Press::Ok);
    dialog->closeMainDialog();
    QVERIFY(dialog->closed());
    expectUnwritten(messages, {kind == "link" ? "cplot.dat" : "CPLOT.DAT"});
    QCOMPARE(readBytes(file), old);
    QVERIFY(!fs::exists(temp.path() / "pelkorl.INI"));
#endif
}

QTEST_MAIN(DataSafetyTest)
#include "datasafety_test.moc"
