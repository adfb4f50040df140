#include "records/fileio.h"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <fstream>
#include <io.h>
#include <sys/stat.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelkorl {

std::FILE* openStdioFile(const std::filesystem::path& file, const char* mode) {
#ifdef _WIN32
    const std::string_view wanted(mode);
    if (wanted.find('x') != std::string_view::npos) {
        // The system's C library knows no "x": an exclusive create is _wopen's _O_EXCL.
        const int fd =
            _wopen(file.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0)
            return nullptr;
        std::FILE* opened = _fdopen(fd, "wb");
        if (!opened)
            _close(fd);
        return opened;
    }
    const std::wstring wideMode(wanted.begin(), wanted.end());
    return _wfopen(file.c_str(), wideMode.c_str());
#else
    return std::fopen(file.c_str(), mode);
#endif
}

#ifdef _WIN32

ReadError readFilePart(const std::filesystem::path& file, std::uintmax_t offset, std::size_t limit,
                       Bytes& bytes) {
    bytes.clear();
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found || file.empty())
        return ReadError::Missing;
    if (error)
        return ReadError::Unreadable;
    if (status.type() != std::filesystem::file_type::regular)
        return ReadError::NotRegular;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    std::ifstream in(file, std::ios::in | std::ios::binary);
    if (error || !in)
        return ReadError::Unreadable;
    if (offset >= size || limit == 0)
        return ReadError::None;
    bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(limit, size - offset)));
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        bytes.clear();
        return ReadError::Unreadable;
    }
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return ReadError::None;
}

#else

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

ReadError readFilePart(const std::filesystem::path& file, std::uintmax_t offset, std::size_t limit,
                       Bytes& bytes) {
    bytes.clear();
    if (file.empty())
        return ReadError::Missing;
    // Non-blocking, so that opening a pipe returns at once; fstat then turns it away.
    const Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return ReadError::Missing;
        return errno == ENXIO ? ReadError::NotRegular : ReadError::Unreadable;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return ReadError::Unreadable;
    if (!S_ISREG(status.st_mode))
        return ReadError::NotRegular;
    const auto size = static_cast<std::uintmax_t>(std::max<off_t>(status.st_size, 0));
    if (offset >= size || limit == 0 ||
        offset > static_cast<std::uintmax_t>(std::numeric_limits<off_t>::max()))
        return ReadError::None;
    // The size only sizes the buffer: a file that grows or shrinks meanwhile reads as it is.
    bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(limit, size - offset)));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd.get(), bytes.data() + got, bytes.size() - got,
                                  static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            bytes.clear();
            return ReadError::Unreadable;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return ReadError::None;
}

#endif

namespace {

template <class Char> Char asciiLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

bool sameIgnoringCase(const std::filesystem::path::string_type& a,
                      const std::filesystem::path::string_type& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](auto x, auto y) {
               return asciiLower(x) == asciiLower(y);
           });
}

// What a name on a path must be to be of use: a folder on the way, a regular file at its
// end (links followed).
bool usable(const std::filesystem::path& entry, bool last) {
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(entry, error).type();
    return type ==
           (last ? std::filesystem::file_type::regular : std::filesystem::file_type::directory);
}

// The name in `folder` other than `name` that matches it but for case: the first usable one
// in byte order, else the first in byte order; empty when there is none.
std::filesystem::path otherSpelling(const std::filesystem::path& folder,
                                    const std::filesystem::path& name, bool last) {
    std::filesystem::path found;
    bool foundUsable = false;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::filesystem::path entry = it->path().filename();
        if (entry == name || !sameIgnoringCase(entry.native(), name.native()))
            continue;
        const bool entryUsable = usable(folder / entry, last);
        if (found.empty() || (entryUsable && !foundUsable) ||
            (entryUsable == foundUsable && entry.native() < found.native())) {
            found = entry;
            foundUsable = entryUsable;
        }
    }
    return found;
}

} // namespace

std::filesystem::path findIgnoringCase(const std::filesystem::path& folder,
                                       const std::filesystem::path& relative) {
    std::filesystem::path found = folder;
    bool searching = true;
    const std::vector<std::filesystem::path> parts(relative.begin(), relative.end());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::filesystem::path& part = parts[i];
        const bool last = i + 1 == parts.size();
        if (searching) {
            std::error_code error;
            // A name there in this spelling wins, unless it is of no use (a folder where a
            // file is wanted, a broken link, a loop) and another spelling is.
            const bool there = std::filesystem::symlink_status(found / part, error).type() !=
                               std::filesystem::file_type::not_found;
            if (!there || !usable(found / part, last)) {
                const std::filesystem::path other = otherSpelling(found, part, last);
                if (!other.empty() && (!there || usable(found / other, last))) {
                    found /= other;
                    continue;
                }
                searching = there;
            }
        }
        found /= part;
    }
    return found;
}

std::filesystem::path findIgnoringCase(const std::filesystem::path& file) {
    std::filesystem::path base = file;
    std::vector<std::filesystem::path> missing;
    std::error_code error;
    // Up to the longest leading part that is there as spelled and, below it, a folder.
    while (base.has_relative_path() &&
           (std::filesystem::symlink_status(base, error).type() ==
                std::filesystem::file_type::not_found ||
            (!missing.empty() && !std::filesystem::is_directory(base, error)))) {
        missing.push_back(base.filename());
        base = base.parent_path();
    }
    if (missing.empty() && usable(file, true))
        return file;
    if (missing.empty()) {
        if (!base.has_relative_path())
            return file;
        missing.push_back(base.filename());
        base = base.parent_path();
    }
    std::filesystem::path relative;
    for (auto part = missing.rbegin(); part != missing.rend(); ++part)
        relative /= *part;
    if (base.empty())
        return findIgnoringCase(".", relative).lexically_relative(".");
    return findIgnoringCase(base, relative);
}

ReadError readFileAnyCase(const std::filesystem::path& file, std::uintmax_t offset,
                          std::size_t limit, Bytes& bytes) {
    const ReadError error = readFilePart(file, offset, limit, bytes);
    if (error == ReadError::None || file.empty())
        return error;
    const std::filesystem::path found = findIgnoringCase(file);
    return found == file ? error : readFilePart(found, offset, limit, bytes);
}

ReadError readWholeFile(const std::filesystem::path& file, std::size_t limit, Bytes& bytes) {
    // One byte more than allowed tells a file of exactly `limit` bytes from a larger one.
    const std::size_t asked = limit == std::numeric_limits<std::size_t>::max() ? limit : limit + 1;
    const ReadError error = readFilePart(file, 0, asked, bytes);
    if (error == ReadError::None && bytes.size() > limit) {
        bytes.clear();
        return ReadError::TooLarge;
    }
    return error;
}

} // namespace pelkorl
