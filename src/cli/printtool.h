#pragma once
// pelkorl-print's phases. main() runs them in order: the arguments and what they name, the
// data, the records and the card, then one output. Each phase returns the exit code to stop
// with, or nothing to go on; whatever stops the run has said why on stderr.
//
// The core's headers come before any Qt header: Qt's keyword macro "slots" would rewrite
// the core's fields of that name.
#include "card/cardbatch.h"
#include "card/cardstate.h"
#include "card/formrefusal.h"
#include "cli/printoptions.h"
#include "printing/cupsqueue.h"
#include "records/publisherdata.h"
#include "settings/settings.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace pelkorl {

using Stop = std::optional<int>;

// What the run works on: the data folder's records and the card state over them. Not
// movable: the state points at the data.
struct ToolData {
    std::filesystem::path dataFolder;   // absolute
    std::filesystem::path settingsFile; // the one read
    PublisherData data;
    CardState state;
    Settings settings;

    ToolData() = default;
    ToolData(const ToolData&) = delete;
    ToolData& operator=(const ToolData&) = delete;
};

// Messages on stderr, prefixed with the tool's name; usage errors point at --help.
int fail(int code, const std::string& message);
void warn(const std::string& message);
// A name as the user typed it, in quotes; bytes that are no UTF-8 are shown as \xNN.
std::string shown(const std::filesystem::path& path);
// What keeps a file from being read, in words the user can act on; empty when it can be.
std::string readProblem(const std::filesystem::path& file);
// Why an output file could not be written, as ": permission denied": what stands in its
// place, else `reason` (what the writer heard from the system), else what the system tells
// of the place without anything written there; empty when none tells.
std::string writeProblem(const std::filesystem::path& output, std::error_code reason = {});

// Why the fillable form `form` was refused, for the fill and for --layout-from alike.
std::string formRefusalMessage(const FormRefusal& refusal, const std::filesystem::path& form);
// A folder whose entries cannot be listed: why; empty when they can.
std::string folderProblem(const std::filesystem::path& folder);
// What is wrong with the print system, for an error other than None.
std::string schedulerProblem(SchedulerError error);
// What the system said, as ": no space left on device"; empty when it said nothing.
std::string systemReason(const std::error_code& reason);

// The data folder, the settings and password files, and the output or the queue exist and
// can be used; `queue` becomes the queue to print on when one is asked for. `password`
// becomes the one given or read from the password file.
Stop checkArguments(const PrintToolOptions& options, std::string& queue,
                    std::optional<std::string>& password);

// Loads the data folder as the program does at start-up; needs the application object.
Stop loadData(const PrintToolOptions& options, const std::optional<std::string>& password,
              ToolData& tool);

// An output that would replace a file the run reads (the form, the layout source, the
// settings, password and data files, the layout files) is refused, naming both.
Stop checkNotAnInput(const std::filesystem::path& output, const PrintToolOptions& options,
                     const ToolData& tool);

// The pages to print, in order: the cards asked for, then the totals records when asked
// for; then the card version and boxes asked for.
Stop choosePages(const PrintToolOptions& options, ToolData& tool, std::vector<CardPage>& pages);
Stop chooseCard(const PrintToolOptions& options, ToolData& tool);

// "3 cards", "1 card and 3 totals records": what the pages hold.
std::string pagesText(const std::vector<CardPage>& pages);

// The outputs.
int writePdfFile(const PrintToolOptions& options, const ToolData& tool,
                 const std::vector<CardPage>& pages);
int printOnQueue(const std::string& queue, const PrintToolOptions& options, const ToolData& tool,
                 const std::vector<CardPage>& pages);
int writeFilledForms(const PrintToolOptions& options, const ToolData& tool,
                     const std::vector<CardPage>& pages);

} // namespace pelkorl
