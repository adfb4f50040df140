#pragma once
// A print scheduler that takes every connection and never answers: a Unix socket in a
// temporary folder of its own, served by a thread that holds each connection open. It stops
// when it goes out of scope, or by itself after `lifetime`, so no test can leave it behind.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace pelkorl::test {

class SilentScheduler {
public:
    explicit SilentScheduler(std::chrono::seconds lifetime = std::chrono::seconds(60));
    ~SilentScheduler();
    SilentScheduler(const SilentScheduler&) = delete;
    SilentScheduler& operator=(const SilentScheduler&) = delete;

    // False when the socket could not be made (nothing listens then).
    bool ok() const { return listener_ >= 0; }
    // What CUPS_SERVER names to reach it.
    std::string socketPath() const { return (folder_ / "cups.sock").string(); }
    // Connections taken so far.
    int connections() const { return taken_; }

private:
    void serve(std::chrono::steady_clock::time_point until);

    std::filesystem::path folder_;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<int> taken_{0};
    std::thread thread_;
};

} // namespace pelkorl::test
