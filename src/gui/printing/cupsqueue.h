#pragma once
// The CUPS scheduler, asked directly where Qt does not tell: whether it answers, whether a
// queue is there, whether it took a job, which options and paper it has, and a job with
// options of our own (pelkorl-print). Every request is bounded in time: a scheduler that
// takes the connection and never answers is given up on.
// On Windows (printing/winqueue.cpp) the spooler answers schedulerError, queueState,
// defaultQueue and lastJobRefusal; the job, option and paper questions are CUPS's alone.
#include <string>
#include <utility>
#include <vector>

namespace pelkorl {

using JobOptions = std::vector<std::pair<std::string, std::string>>;

// How long the scheduler may take, in seconds, before it counts as not answering.
struct SchedulerLimits {
    double lookup = 10; // any question about the scheduler or a queue
    double job = 60;    // handing over a document
};

enum class SchedulerError {
    None,        // it answered
    Unreachable, // no scheduler takes a connection
    NoAnswer,    // connected, but no answer within the limit
};

// Whether the scheduler answers a question at all, as the GUI asks before it lets Qt talk to
// it (Qt's own requests have no limit).
SchedulerError schedulerError(const SchedulerLimits& limits = {});

enum class QueueState {
    Missing,     // the scheduler has no queue of that name
    Accepting,   // jobs are taken
    Stopped,     // jobs are taken and wait until the queue is started again
    Refusing,    // the queue rejects jobs
    Unreachable, // no scheduler could be reached
    NoAnswer,    // the scheduler did not answer within the limit
};

QueueState queueState(const std::string& queue, const SchedulerLimits& limits = {});

struct DefaultQueue {
    std::string name; // empty when there is none
    SchedulerError error = SchedulerError::None;
};

// The scheduler's default queue.
DefaultQueue defaultQueue(const SchedulerLimits& limits = {});

// After a job was handed to the scheduler on this thread (by QPrinter's own CUPS engine):
// the scheduler's reason when it did not take it, else empty.
std::string lastJobRefusal();

struct SubmittedJob {
    int id = 0;        // 0 when the scheduler did not take the job
    std::string error; // the scheduler's reason, when id is 0
    SchedulerError scheduler = SchedulerError::None;
};

// Prints `file` on `queue` as lp does: the queue's own options (lpoptions) first, then
// `options` over them.
SubmittedJob submitFile(const std::string& queue, const std::string& file, const std::string& title,
                        const JobOptions& options, const SchedulerLimits& limits = {});

struct OptionCheck {
    // Keys the queue knows neither as an option of its driver nor as a job attribute; CUPS
    // passes them on and nothing acts on them.
    std::vector<std::string> unknownKeys;
    // "key=value" of known keys whose value the queue does not support.
    std::vector<std::string> unsupported;
    SchedulerError scheduler = SchedulerError::None;
};

OptionCheck checkJobOptions(const std::string& queue, const JobOptions& options,
                            const SchedulerLimits& limits = {});

// A page size of a queue, in points, with the margins of its printable area.
struct QueuePaper {
    std::string media; // its PWG name, as the job's media option names it
    double width = 0, height = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    int resolution = 0; // the queue's default dots per inch; 0 when it names none
    bool found = false; // false: the queue has no such size (or no default one)
    SchedulerError scheduler = SchedulerError::None;
};

// The paper `options` ask for (media= or PageSize=), else the queue's default paper.
QueuePaper queuePaper(const std::string& queue, const JobOptions& options,
                      const SchedulerLimits& limits = {});

} // namespace pelkorl
