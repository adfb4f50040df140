// pelkorl-print: publisher record cards into a PDF file, from the command line. It reads a
// data folder as the program does at start-up and draws every page with the program's own
// renderers; it asks nothing and writes nothing but the PDF file.
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
#include "records/datalocation.h"
#include "settings/settingslocation.h"
#include "toolkit/qtstrings.h"

#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>

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

std::string shown(const fs::path& path) {
    const std::u8string text = path.u8string();
    return "'" + std::string(text.begin(), text.end()) + "'";
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
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return false;
    std::ifstream in(file, std::ios::binary);
    if (!in || !std::getline(in, password))
        return false;
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return true;
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
    if (options.help) {
        std::cout << printToolUsage();
        return EXIT_PRINTED;
    }

    std::error_code error;
    if (!fs::exists(options.dataFolder, error))
        return fail(EXIT_FAILED,
                    "the data folder " + shown(options.dataFolder) + " does not exist");
    if (!fs::is_directory(options.dataFolder, error))
        return fail(EXIT_FAILED, shown(options.dataFolder) + " is not a folder");
    const fs::path dataFolder = fs::absolute(options.dataFolder, error).lexically_normal();
    if (!options.settingsFile.empty() && !fs::is_regular_file(options.settingsFile, error))
        return fail(EXIT_FAILED,
                    "the settings file " + shown(options.settingsFile) + " does not exist");
    const fs::path outputFolder = fs::absolute(options.output, error).parent_path();
    if (!fs::is_directory(outputFolder, error))
        return fail(EXIT_FAILED,
                    "the folder of the output file " + shown(outputFolder) + " does not exist");

    std::optional<std::string> password = options.password;
    if (!options.passwordFile.empty()) {
        std::string fromFile;
        if (!readPasswordFile(options.passwordFile, fromFile))
            return fail(EXIT_FAILED,
                        "the password file " + shown(options.passwordFile) + " cannot be read");
        password = fromFile;
    }

    // No window is ever shown: the tool runs where there is no display as well.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
    if (data.store.currentCount <= 1) {
        const fs::path file = publisherFilePath(location);
        return fail(EXIT_FAILED, fs::exists(file, error)
                                     ? "the publisher file " + shown(file) + " holds no publishers"
                                     : "there is no publisher file " + shown(file));
    }

    std::vector<int> records;
    if (options.all) {
        records = batchRecords(data.store, options.filter, state.lastMonth, state.lastNameFirst);
        const std::size_t listed =
            publisherLines(data.store, options.filter, state.lastMonth).size();
        if (records.empty())
            return fail(EXIT_FAILED, "no publisher is listed under \"" +
                                         loadText(FILTER_NAME_BASE + options.filter) + "\"");
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

    const std::string cardError = applyCardOptions(options, state);
    if (!cardError.empty())
        return fail(EXIT_USAGE, cardError);

    const QString output = textFromPath(fs::absolute(options.output, error));
    const BatchOutcome outcome = renderCardsToPdf(output, state, records, options.resolution);
    if (outcome.result != PrintResult::Printed)
        return fail(EXIT_FAILED, "the file " + shown(options.output) + " could not be written");
    std::cout << outcome.pages << (outcome.pages == 1 ? " card" : " cards") << " written to "
              << shown(options.output) << "\n";
    return EXIT_PRINTED;
}
