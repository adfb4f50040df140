// pelkorl-print: publisher record cards into a PDF file or onto a printer, from the command
// line. It reads a data folder as the program does at start-up and draws every page with the
// program's own renderers; it asks nothing and writes nothing but the PDF file.
//
// The core's headers come before any Qt header: Qt's keyword macro "slots" would rewrite
// the core's fields of that name.
#include "card/cardbatch.h"
#include "card/cardstate.h"
#include "card/publisherfilter.h"
#include "cli/printoptions.h"
#include "records/publisherdata.h"
#include "settings/startupdata.h"
#include "text/codepage.h"
#include "text/strings.h"

#include "printing/batchprint.h"
#include "printing/cupsqueue.h"
#include "records/datalocation.h"
#include "records/fileio.h"
#include "settings/settingslocation.h"
#include "toolkit/qtstrings.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
using namespace pelkorl;

namespace {

int fail(int code, const std::string& message) {
    std::cerr << "pelkorl-print: " << message << "\n";
    if (code == EXIT_USAGE)
        std::cerr << "Try 'pelkorl-print --help'.\n";
    return code;
}

// A name as the user typed it; bytes that are no UTF-8 are shown as \xNN.
std::string shown(const fs::path& path) {
    const std::u8string text = path.u8string();
    const std::string bytes(text.begin(), text.end());
    if (QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toUtf8().toStdString() == bytes)
        return "'" + bytes + "'";
    std::string escaped;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", byte);
        escaped += byte < 0x80 ? std::string(1, c) : std::string(hex);
    }
    return "'" + escaped + "'";
}

std::string lowerFirst(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

// What keeps a file from being read, in words the user can act on; empty when it can be.
std::string readProblem(const fs::path& file) {
    Bytes bytes;
    std::error_code error;
    switch (readFilePart(file, 0, 1, bytes)) {
    case ReadError::None:
    case ReadError::TooLarge:
        return {};
    case ReadError::Missing:
        return "does not exist";
    case ReadError::NotRegular:
        return fs::is_directory(file, error) ? "is a folder" : "is not a regular file";
    case ReadError::Unreadable:
        break;
    }
#ifndef _WIN32
    if (::access(file.c_str(), R_OK) != 0)
        return "cannot be read: " + lowerFirst(std::generic_category().message(errno));
#endif
    return "cannot be read";
}

// A folder whose entries cannot be listed; empty when they can.
std::string folderProblem(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    return error ? "cannot be read: " + lowerFirst(error.message()) : std::string();
}

// Qt names files in UTF-16: a name it cannot hold would be written under another one.
bool namesTheSameFile(const fs::path& file) {
    return pathFromText(textFromPath(file)) == file;
}

// Qt asks the runtime folder of the session, which a tool run from cron or ssh may not have:
// it would say so on stderr and make /tmp/runtime-USER. A private one lives as long as the run.
class RuntimeFolder {
public:
    RuntimeFolder() {
#ifndef _WIN32
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            return;
        std::string pattern = QDir::tempPath().toStdString() + "/pelkorl-print-XXXXXX";
        if (::mkdtemp(pattern.data())) {
            folder_ = pattern;
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder_));
        }
#endif
    }
    ~RuntimeFolder() {
        if (!folder_.empty()) {
            std::error_code ignored;
            fs::remove_all(folder_, ignored);
        }
    }
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

private:
    std::string folder_;
};

// Rows (0 = September) asked for that the card of this year cannot show, as 1-based numbers.
std::string unprintableRows(const CardState& state, const std::array<bool, MONTH_ROWS>& asked) {
    const MonthBoxes enabled = enabledMonthBoxes(state);
    std::string rows;
    for (int row = 0; row < MONTH_ROWS; ++row) {
        const auto r = static_cast<std::size_t>(row);
        if (asked[r] && !enabled.month[r])
            rows += (rows.empty() ? "" : ",") + std::to_string(row + 1);
    }
    return rows;
}

// Records a publisher file holds that are not read: a cut last record, those beyond the store.
void warnAboutFileSize(const fs::path& file, const char* which) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error)
        return;
    const std::uintmax_t records = size / RECORD_SIZE;
    if (size % RECORD_SIZE != 0)
        std::cerr << "pelkorl-print: warning: the " << which << " publisher file " << shown(file)
                  << " ends in a cut record of " << size % RECORD_SIZE
                  << " bytes, which is left out\n";
    if (records > static_cast<std::uintmax_t>(RECORD_CAPACITY))
        std::cerr << "pelkorl-print: warning: the " << which << " publisher file " << shown(file)
                  << " holds " << records - RECORD_CAPACITY << " record(s) beyond the "
                  << RECORD_CAPACITY << " the program reads; they are left out\n";
}

// The settings file the program beside this tool reads.
fs::path programSettingsFile() {
    fs::path program =
        QFileInfo(QCoreApplication::applicationDirPath()).filesystemAbsoluteFilePath();
#ifdef _WIN32
    program /= "pelkorl.exe";
#else
    program /= "pelkorl";
#endif
    return settingsLocation(program).readFile;
}

// The first line of a file, without its line end.
bool readPasswordFile(const fs::path& file, std::string& password) {
    Bytes bytes;
    if (readWholeFile(file, 64 * 1024, bytes) != ReadError::None)
        return false;
    password.assign(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\n'));
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return true;
}

// The cards on `queue`: drawn by the page routine into a PDF of the queue's page size with
// its printable area's corner as the origin (as Qt's CUPS engine draws for the program), then
// handed to the scheduler with the job options, as lp does, so its answer can be told.
int printOnQueue(const std::string& queue, const PrintToolOptions& options, const CardState& state,
                 const std::vector<int>& records) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(textFromUtf8(queue));
    if (info.isNull())
        return fail(EXIT_FAILED, "there is no printer '" + queue + "'");
    QPrinter queuePrinter(info, QPrinter::HighResolution);
    usePrintableAreaOrigin(queuePrinter);

    QTemporaryFile document(QDir::tempPath() + "/pelkorl-print-XXXXXX.pdf");
    if (!document.open())
        return fail(EXIT_FAILED, "no temporary file for the document");
    document.close();
    BatchOutcome outcome;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(document.fileName());
        pdf.setResolution(queuePrinter.resolution());
        pdf.setPageLayout(queuePrinter.pageLayout());
        outcome = printCardsOn(pdf, state, records);
    }
    if (outcome.result != PrintResult::Printed)
        return fail(EXIT_FAILED, "the document for printer '" + queue + "' could not be made");

    for (const std::string& key : unknownOptionKeys(queue, options.jobOptions))
        std::cerr << "pelkorl-print: printer '" << queue << "' knows no option '" << key
                  << "': CUPS ignores it\n";
    // The paper the document was drawn for, as Qt's CUPS engine names it, unless asked otherwise.
    JobOptions jobOptions = options.jobOptions;
    const bool paperGiven = std::any_of(jobOptions.begin(), jobOptions.end(), [](const auto& o) {
        return o.first == "media" || o.first == "PageSize" || o.first == "PageRegion";
    });
    if (!paperGiven)
        jobOptions.insert(jobOptions.begin(),
                          {"media", queuePrinter.pageLayout().pageSize().key().toStdString()});
    const SubmittedJob job = submitFile(queue, QFile::encodeName(document.fileName()).toStdString(),
                                        CARD_DOCUMENT_NAME, jobOptions);
    if (job.id == 0)
        return fail(EXIT_FAILED, "printer '" + queue + "' refused the job: " + job.error);
    std::cout << outcome.pages << (outcome.pages == 1 ? " card" : " cards") << " sent to printer '"
              << queue << "' as job " << queue << "-" << job.id << "\n";
    if (queueState(queue) == QueueState::Stopped)
        std::cout << "The printer is stopped: the job waits until it is started.\n";
    return EXIT_PRINTED;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    const ParsedOptions parsed = parsePrintToolOptions(arguments);
    if (!parsed.ok())
        return fail(EXIT_USAGE, parsed.error);
    const PrintToolOptions& options = parsed.options;
    if (options.help || options.version) {
        std::cout << (options.help ? printToolUsage() : printToolVersion());
        return EXIT_PRINTED;
    }

    std::error_code error;
    if (!fs::exists(options.dataFolder, error))
        return fail(EXIT_FAILED,
                    "the data folder " + shown(options.dataFolder) + " does not exist");
    if (!fs::is_directory(options.dataFolder, error))
        return fail(EXIT_FAILED, shown(options.dataFolder) + " is not a folder");
    const fs::path dataFolder = fs::absolute(options.dataFolder, error).lexically_normal();
    if (!options.settingsFile.empty()) {
        const std::string problem = readProblem(options.settingsFile);
        if (!problem.empty())
            return fail(EXIT_FAILED,
                        "the settings file " + shown(options.settingsFile) + " " + problem);
    }
    std::string queue;
    if (options.printer) {
        queue = *options.printer == "-" ? defaultQueue() : *options.printer;
        if (queue.empty())
            return fail(EXIT_FAILED, "there is no default printer");
        switch (queueState(queue)) {
        case QueueState::Missing:
            return fail(EXIT_FAILED, "there is no printer '" + queue + "'");
        case QueueState::Refusing:
            return fail(EXIT_FAILED, "printer '" + queue + "' does not accept jobs");
        case QueueState::Accepting:
        case QueueState::Stopped:
            break;
        }
    } else {
        if (!namesTheSameFile(options.output))
            return fail(EXIT_FAILED, "the output file name " + shown(options.output) +
                                         " is not valid UTF-8: the file cannot be written "
                                         "under that name");
        const fs::path outputFolder = fs::absolute(options.output, error).parent_path();
        if (!fs::is_directory(outputFolder, error))
            return fail(EXIT_FAILED,
                        "the folder of the output file " + shown(outputFolder) + " does not exist");
    }

    std::optional<std::string> password = options.password;
    if (!options.passwordFile.empty()) {
        std::string fromFile;
        if (!readPasswordFile(options.passwordFile, fromFile)) {
            const std::string problem = readProblem(options.passwordFile);
            return fail(EXIT_FAILED, "the password file " + shown(options.passwordFile) + " " +
                                         (problem.empty() ? "cannot be read" : problem));
        }
        password = fromFile;
    }

    // No window is ever shown: the tool runs where there is no display as well.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const RuntimeFolder runtimeFolder;
    QGuiApplication application(argc, argv);

    StartupInput input;
    input.settingsFile =
        options.settingsFile.empty() ? programSettingsFile() : options.settingsFile;
    input.currentFolder = dataFolder;
    input.startDrive = driveNumberOf(dataFolder);
    const QDate today =
        options.year != 0 ? QDate(options.year, options.month, options.day) : QDate::currentDate();
    input.year = today.year();
    input.month = today.month();
    bool passwordAsked = false;
    input.passwordPrompt = [&](const std::string& expected) {
        passwordAsked = true;
        return password && utf8ToCp1257(*password) == expected;
    };
    std::string memoryMessage;
    input.showMessage = [&](const std::string& message) {
        memoryMessage = message;
    };

    PublisherData data;
    CardState state;
    Settings settings;
    switch (loadStartupData(input, data, state, settings)) {
    case StartupLoad::Loaded:
        break;
    case StartupLoad::NoMemory:
        return fail(EXIT_FAILED, memoryMessage);
    case StartupLoad::LocationMissing:
        return fail(EXIT_FAILED,
                    "the settings put the data on the removable drive, and its "
                    "folder " +
                        shown(dataLocationOf(dataFolder, settings, 0).removableFolder) +
                        " is not there");
    case StartupLoad::PasswordRefused:
        return fail(EXIT_FAILED, passwordAsked && !password
                                     ? "the data are protected by a password: give it with "
                                       "--password or --password-file"
                                     : "the password is wrong");
    }

    const DataLocation location = dataLocationOf(dataFolder, settings, input.startDrive);
    const fs::path publisherFile = findIgnoringCase(publisherFilePath(location));
    if (data.store.currentCount <= 1) {
        const std::string folderError = folderProblem(publisherFile.parent_path());
        const std::string problem = readProblem(publisherFile);
        if (!folderError.empty() && problem != "is a folder")
            return fail(EXIT_FAILED, "the data folder " + shown(publisherFile.parent_path()) + " " +
                                         folderError);
        if (problem == "does not exist")
            return fail(EXIT_FAILED, "there is no publisher file " + shown(publisherFile));
        return fail(EXIT_FAILED, "the publisher file " + shown(publisherFile) + " " +
                                     (problem.empty() ? "holds no publishers" : problem));
    }
    warnAboutFileSize(publisherFile, "current");
    if (options.previousYear) {
        const fs::path previousFile = findIgnoringCase(previousPublisherFilePath(dataFolder));
        if (!previousFileUsable(readFileAnyCase, dataFolder))
            std::cerr << "pelkorl-print: warning: there is no usable previous-year publisher file "
                      << shown(previousFile) << ": the previous year's months are empty\n";
        else
            warnAboutFileSize(previousFile, "previous-year");
    }

    std::vector<int> records;
    if (options.all) {
        records = batchRecords(data.store, options.filter, state.lastMonth, state.lastNameFirst);
        const std::size_t listed =
            publisherLines(data.store, options.filter, state.lastMonth).size();
        if (records.empty())
            return fail(EXIT_FAILED, "no publisher is listed under \"" +
                                         loadText(filterNameId(options.filter)) + "\"");
        if (listed > records.size())
            std::cerr << "pelkorl-print: " << listed - records.size()
                      << " listed publisher(s) without a name left out: the program prints no "
                         "card for them\n";
    } else {
        for (const std::string& wanted : options.publishers) {
            const PublisherLookup found = findPublisher(data, wanted);
            if (!found.error.empty())
                return fail(EXIT_FAILED, found.error);
            if (!cardHasName(data.store, found.record, state.lastNameFirst))
                return fail(EXIT_FAILED, "publisher record " + std::to_string(found.record) +
                                             " has no name: the program prints no card for it");
            records.push_back(found.record);
        }
    }

    if (options.cardVersion) {
        state.cardVersion = *options.cardVersion;
        loadCardLayout(state, dataFolder);
    }
    // The date and the data decide this, not the command line.
    const std::string cardError = applyCardOptions(options, state);
    if (!cardError.empty())
        return fail(EXIT_FAILED, cardError);
    const std::string rows = unprintableRows(state, options.months);
    if (!rows.empty())
        std::cerr << "pelkorl-print: warning: month row(s) " << rows
                  << " cannot be printed for the service year shown and are left out\n";

    if (options.printer)
        return printOnQueue(queue, options, state, records);
    const QString output = textFromPath(fs::absolute(options.output, error));
    const BatchOutcome outcome = renderCardsToPdf(output, state, records, options.resolution);
    if (outcome.result != PrintResult::Printed)
        return fail(EXIT_FAILED, "the file " + shown(options.output) + " could not be written");
    std::cout << outcome.pages << (outcome.pages == 1 ? " card" : " cards") << " written to "
              << shown(options.output) << "\n";
    return EXIT_PRINTED;
}
