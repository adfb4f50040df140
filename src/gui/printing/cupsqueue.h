#pragma once
// The CUPS scheduler, asked directly where Qt does not tell: whether a queue is there, whether
// it took a job, which options it knows, and a job with options of our own (pelkorl-print).
#include <string>
#include <utility>
#include <vector>

namespace pelkorl {

using JobOptions = std::vector<std::pair<std::string, std::string>>;

enum class QueueState {
    Missing,   // the scheduler has no queue of that name (or cannot be reached)
    Accepting, // jobs are taken
    Stopped,   // jobs are taken and wait until the queue is started again
    Refusing,  // the queue rejects jobs
};

QueueState queueState(const std::string& queue);

// The scheduler's default queue; empty when there is none.
std::string defaultQueue();

// After a job was handed to the scheduler on this thread (by QPrinter's own CUPS engine):
// the scheduler's reason when it did not take it, else empty.
std::string lastJobRefusal();

struct SubmittedJob {
    int id = 0;        // 0 when the scheduler did not take the job
    std::string error; // the scheduler's reason, when id is 0
};

// Prints `file` on `queue` as lp does: the queue's own options (lpoptions) first, then
// `options` over them.
SubmittedJob submitFile(const std::string& queue, const std::string& file, const std::string& title,
                        const JobOptions& options);

// The keys of `options` the queue knows neither as an option of its driver nor as a job
// attribute; CUPS passes them on and nothing acts on them.
std::vector<std::string> unknownOptionKeys(const std::string& queue, const JobOptions& options);

} // namespace pelkorl
