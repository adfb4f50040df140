// The first phase: what the command line names exists and can be used, before any data are
// read or any application object is made.
#include "cli/printtool.h"
#include "printing/cupsqueue.h"
#include "records/fileio.h"
#include "toolkit/qtstrings.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace pelkorl {

namespace {

// Qt names files in UTF-16: a name it cannot hold would be written under another one.
bool namesTheSameFile(const fs::path& file) {
    return pathFromText(textFromPath(file)) == file;
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

Stop checkQueue(const std::string& asked, std::string& queue) {
    if (asked == "-") {
        const DefaultQueue found = defaultQueue();
        if (found.error != SchedulerError::None)
            return fail(EXIT_FAILED, schedulerProblem(found.error));
        queue = found.name;
    } else {
        queue = asked;
    }
    if (queue.empty())
        return fail(EXIT_FAILED, "there is no default printer");
    switch (queueState(queue)) {
    case QueueState::Missing:
        return fail(EXIT_FAILED, "there is no printer '" + queue + "'");
    case QueueState::Refusing:
        return fail(EXIT_FAILED, "printer '" + queue + "' does not accept jobs");
    case QueueState::Unreachable:
        return fail(EXIT_FAILED, schedulerProblem(SchedulerError::Unreachable));
    case QueueState::NoAnswer:
        return fail(EXIT_FAILED, schedulerProblem(SchedulerError::NoAnswer));
    case QueueState::Accepting:
    case QueueState::Stopped:
        break;
    }
    return {};
}

Stop checkOutputFile(const fs::path& output) {
    if (!namesTheSameFile(output))
        return fail(EXIT_FAILED, "the output file name " + shown(output) +
                                     " is not valid UTF-8: the file cannot be written "
                                     "under that name");
    std::error_code error;
    const fs::path outputFolder = fs::absolute(output, error).parent_path();
    if (!fs::is_directory(outputFolder, error))
        return fail(EXIT_FAILED,
                    "the folder of the output file " + shown(outputFolder) + " does not exist");
    return {};
}

Stop checkOutputFolder(const fs::path& folder) {
    if (!namesTheSameFile(folder))
        return fail(EXIT_FAILED, "the output folder name " + shown(folder) +
                                     " is not valid UTF-8: nothing can be written there");
    std::error_code error;
    if (fs::is_directory(folder, error))
        return {};
    if (fs::exists(folder, error))
        return fail(EXIT_FAILED, "the output folder " + shown(folder) + " is not a folder");
    // A missing one is made, in a folder that is there.
    fs::path named = fs::absolute(folder, error).lexically_normal();
    if (!named.has_filename()) // "forms/"
        named = named.parent_path();
    const fs::path parent = named.parent_path();
    if (!fs::is_directory(parent, error))
        return fail(EXIT_FAILED, "the output folder " + shown(folder) +
                                     " cannot be made: its folder " + shown(parent) +
                                     " does not exist");
    return {};
}

Stop checkOutput(const PrintToolOptions& options, std::string& queue) {
    if (options.printer)
        return checkQueue(*options.printer, queue);
    if (!options.fillForm.empty()) {
        const std::string problem = readProblem(options.fillForm);
        if (!problem.empty())
            return fail(EXIT_FAILED, "the form " + shown(options.fillForm) + " " + problem);
        if (!options.outputDir.empty())
            return checkOutputFolder(options.outputDir);
    }
    return checkOutputFile(options.output);
}

} // namespace

Stop checkArguments(const PrintToolOptions& options, std::string& queue,
                    std::optional<std::string>& password) {
    std::error_code error;
    if (!fs::exists(options.dataFolder, error))
        return fail(EXIT_FAILED,
                    "the data folder " + shown(options.dataFolder) + " does not exist");
    if (!fs::is_directory(options.dataFolder, error))
        return fail(EXIT_FAILED, shown(options.dataFolder) + " is not a folder");
    if (!options.settingsFile.empty()) {
        const std::string problem = readProblem(options.settingsFile);
        if (!problem.empty())
            return fail(EXIT_FAILED,
                        "the settings file " + shown(options.settingsFile) + " " + problem);
    }
    if (!options.layoutFrom.empty()) {
        const std::string problem = readProblem(options.layoutFrom);
        if (!problem.empty())
            return fail(EXIT_FAILED, "the form " + shown(options.layoutFrom) + " " + problem);
    }
    if (const Stop stop = checkOutput(options, queue))
        return stop;

    password = options.password;
    if (!options.passwordFile.empty()) {
        std::string fromFile;
        if (!readPasswordFile(options.passwordFile, fromFile)) {
            const std::string problem = readProblem(options.passwordFile);
            return fail(EXIT_FAILED, "the password file " + shown(options.passwordFile) + " " +
                                         (problem.empty() ? "cannot be read" : problem));
        }
        password = fromFile;
    }
    return {};
}

} // namespace pelkorl
