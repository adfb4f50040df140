#include "silentscheduler.h"

#ifdef __unix__
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <cstring>
#include <vector>

namespace pelkorl::test {

SilentScheduler::SilentScheduler(std::chrono::seconds lifetime) {
#ifdef __unix__
    std::string pattern = (std::filesystem::temp_directory_path() / "pelkorl-cups-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return;
    folder_ = pattern;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socketPath();
    if (path.size() >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0)
        return;
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0) {
        ::close(listener_);
        listener_ = -1;
        return;
    }
    thread_ =
        std::thread(&SilentScheduler::serve, this, std::chrono::steady_clock::now() + lifetime);
#else
    (void)lifetime;
#endif
}

SilentScheduler::~SilentScheduler() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
#ifdef __unix__
    if (listener_ >= 0)
        ::close(listener_);
#endif
    std::error_code ignored;
    if (!folder_.empty())
        std::filesystem::remove_all(folder_, ignored);
}

void SilentScheduler::serve(std::chrono::steady_clock::time_point until) {
#ifdef __unix__
    std::vector<int> held;
    while (!stop_ && std::chrono::steady_clock::now() < until) {
        pollfd listening{listener_, POLLIN, 0};
        if (::poll(&listening, 1, 50) > 0 && (listening.revents & POLLIN)) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                held.push_back(fd);
                ++taken_;
            }
        }
    }
    for (const int fd : held)
        ::close(fd);
#else
    (void)until;
#endif
}

} // namespace pelkorl::test
