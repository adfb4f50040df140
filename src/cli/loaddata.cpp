// The second phase: the data folder read as the program reads it at start-up, with the
// reasons said when it holds nothing to print.
#include "card/cardlayout.h"
#include "cli/printtool.h"
#include "records/datalocation.h"
#include "records/fileio.h"
#include "records/remarks.h"
#include "settings/atomicfile.h"
#include "settings/layoutfile.h"
#include "settings/settingslocation.h"
#include "settings/startupdata.h"
#include "text/codepage.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace pelkorl {

namespace {

// The settings file the program beside this tool reads.
fs::path programSettingsFile() {
    fs::path program =
        QFileInfo(QCoreApplication::applicationDirPath()).filesystemAbsoluteFilePath();
#ifdef _WIN32
    program /= "pelkorl.exe";
#else
    program /= "pelkorl";
#endif
    return settingsReadFile(program);
}

// Records a publisher file holds that are not read: a cut last record, those beyond the store.
void warnAboutFileSize(const fs::path& file, const char* which) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error)
        return;
    const std::string named = std::string("the ") + which + " publisher file " + shown(file);
    const std::uintmax_t records = size / RECORD_SIZE;
    if (size % RECORD_SIZE != 0)
        warn(named + " ends in a cut record of " + std::to_string(size % RECORD_SIZE) +
             " bytes, which is left out");
    if (records > static_cast<std::uintmax_t>(RECORD_CAPACITY))
        warn(named + " holds " + std::to_string(records - RECORD_CAPACITY) +
             " record(s) beyond the " + std::to_string(RECORD_CAPACITY) +
             " the program reads; they are left out");
}

// Why the publisher file gave no publisher.
int noPublishers(const fs::path& publisherFile) {
    const std::string folderError = folderProblem(publisherFile.parent_path());
    const std::string problem = readProblem(publisherFile);
    if (!folderError.empty() && problem != "is a folder")
        return fail(EXIT_FAILED,
                    "the data folder " + shown(publisherFile.parent_path()) + " " + folderError);
    if (problem == "does not exist")
        return fail(EXIT_FAILED, "there is no publisher file " + shown(publisherFile));
    return fail(EXIT_FAILED, "the publisher file " + shown(publisherFile) + " " +
                                 (problem.empty() ? "holds no publishers" : problem));
}

void warnAboutPreviousYear(const fs::path& dataFolder) {
    const fs::path previousFile = findIgnoringCase(previousPublisherFilePath(dataFolder));
    if (!previousFileUsable(readFileAnyCase, dataFolder))
        warn("there is no usable previous-year publisher file " + shown(previousFile) +
             ": the previous year's months are empty");
    else
        warnAboutFileSize(previousFile, "previous-year");
}

// A file the program reads when it is there: one that is there and cannot be read counts as
// missing, which the user is told with the reason.
void warnIfUnreadable(const fs::path& named, const char* which) {
    const fs::path file = findIgnoringCase(named);
    std::error_code error;
    if (fs::symlink_status(file, error).type() == fs::file_type::not_found)
        return;
    const std::string problem = readProblem(file);
    if (!problem.empty() && problem != "does not exist")
        warn(std::string("the ") + which + " " + shown(file) + " " + problem +
             ": it is read as missing");
}

void warnAboutUnreadableFiles(const ToolData& tool, bool previousYear) {
    warnIfUnreadable(extensionFilePath(tool.dataFolder), "long-name file");
    warnIfUnreadable(remarksFilePath(tool.dataFolder, ServiceYear::Current), "remarks file");
    if (previousYear) {
        warnIfUnreadable(previousPublisherFilePath(tool.dataFolder), "previous-year file");
        warnIfUnreadable(remarksFilePath(tool.dataFolder, ServiceYear::Previous),
                         "previous-year remarks file");
    }
    warnIfUnreadable(tool.dataFolder / layoutFileName(tool.state.cardVersion), "layout file");
}

// The files the run reads, each with what it is to the user.
std::vector<std::pair<fs::path, std::string>> inputsOf(const PrintToolOptions& options,
                                                       const ToolData& tool) {
    std::vector<std::pair<fs::path, std::string>> inputs{
        {options.fillForm, "the form"},
        {options.layoutFrom, "the form the layout is read from"},
        {tool.settingsFile, "the settings file"},
        {options.passwordFile, "the password file"}};
    const DataLocation location =
        dataLocationOf(tool.dataFolder, tool.settings, driveNumberOf(tool.dataFolder));
    for (const fs::path& file : dataFilesOf(location))
        inputs.emplace_back(file, "the data file");
    for (const fs::path& file : layoutFiles(tool.dataFolder))
        inputs.emplace_back(file, "the layout file");
    return inputs;
}

} // namespace

Stop checkNotAnInput(const fs::path& output, const PrintToolOptions& options,
                     const ToolData& tool) {
    const auto inputs = inputsOf(options, tool);
    std::vector<fs::path> files;
    for (const auto& input : inputs)
        files.push_back(input.first);
    const fs::path hit = inputAt(output, files);
    if (hit.empty())
        return {};
    const auto named = std::find_if(inputs.begin(), inputs.end(),
                                    [&](const auto& input) { return input.first == hit; });
    return fail(EXIT_FAILED, "the output " + shown(output) + " is " + named->second + " " +
                                 shown(hit) + ", which is only read: nothing was written");
}

Stop loadData(const PrintToolOptions& options, const std::optional<std::string>& password,
              ToolData& tool) {
    std::error_code error;
    tool.dataFolder = fs::absolute(options.dataFolder, error).lexically_normal();

    StartupInput input;
    input.settingsFile =
        options.settingsFile.empty() ? programSettingsFile() : options.settingsFile;
    tool.settingsFile = input.settingsFile;
    input.currentFolder = tool.dataFolder;
    input.startDrive = driveNumberOf(tool.dataFolder);
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

    switch (loadStartupData(input, tool.data, tool.state, tool.settings)) {
    case StartupLoad::Loaded:
        break;
    case StartupLoad::NoMemory:
        return fail(EXIT_FAILED, memoryMessage);
    case StartupLoad::LocationMissing:
        return fail(EXIT_FAILED,
                    "the settings put the data on the removable drive, and its folder " +
                        shown(dataLocationOf(tool.dataFolder, tool.settings, 0).removableFolder) +
                        " is not there");
    case StartupLoad::PasswordRefused:
        return fail(EXIT_FAILED, passwordAsked && !password
                                     ? "the data are protected by a password: give it with "
                                       "--password or --password-file"
                                     : "the password is wrong");
    }

    const DataLocation location = dataLocationOf(tool.dataFolder, tool.settings, input.startDrive);
    const fs::path publisherFile = findIgnoringCase(publisherFilePath(location));
    if (tool.data.store.currentCount <= 1)
        return noPublishers(publisherFile);
    warnAboutFileSize(publisherFile, "current");
    warnAboutUnreadableFiles(tool, options.previousYear);
    if (options.previousYear)
        warnAboutPreviousYear(tool.dataFolder);
    return {};
}

} // namespace pelkorl
