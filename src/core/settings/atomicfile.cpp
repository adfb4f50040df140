#include "settings/atomicfile.h"

#include "records/fileio.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace pelkorl {
namespace {

namespace fs = std::filesystem;

// As many links as a system follows before it calls it a loop.
constexpr int MAX_LINKS = 40;
// The longest file name most file systems take, in bytes (UTF-16 units on Windows).
constexpr std::size_t NAME_MAX_BYTES = 255;
// Less room than this left in a folder after a failed write is taken as a full disk.
constexpr std::uintmax_t FULL_DISK_ROOM = 64 * 1024;

void setReason(std::error_code* reason, std::error_code value) {
    if (reason)
        *reason = value;
}

// What errno says, if anything.
std::error_code systemError() {
    return errno != 0 ? std::error_code(errno, std::generic_category()) : std::error_code();
}

// `file` lies in `folder` or below it; both absolute, links resolved.
bool liesIn(const fs::path& folder, const fs::path& file) {
    const fs::path relative = file.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "." && *relative.begin() != "..";
}

// The file a link at `target` names lies in the folder `target` is named in.
bool linkStaysInFolder(const fs::path& target, const fs::path& file) {
    std::error_code error;
    const fs::path named = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const fs::path folder = fs::weakly_canonical(fs::absolute(named, error), error);
    if (error)
        return false;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(file, error), error);
    return !error && liesIn(folder, resolved);
}

// A new, empty file beside `target` that nobody else holds, opened for writing. Its name
// starts with as much of the target's as leaves it short enough for any file system.
std::FILE* createTemporary(const fs::path& target, fs::path& temporary, std::error_code* reason) {
    static std::atomic<unsigned long long> counter{0};
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    auto stem = target.filename().native();
    stem.resize(std::min<std::size_t>(stem.size(), NAME_MAX_BYTES - 32));
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path name = ".";
        name += stem;
        name += "." + std::to_string((ticks + ++counter * 7919) % 100000000ULL) + ".tmp";
        temporary = target.parent_path() / name;
        errno = 0;
        // "x": fails when the name is taken, so nobody's file is ever truncated.
        if (std::FILE* file = openStdioFile(temporary, "wbx"))
            return file;
        setReason(reason, systemError());
        std::error_code error;
        if (!fs::exists(temporary, error) || error)
            break;
    }
    temporary.clear();
    return nullptr;
}

} // namespace

WriteResult writeRefusal(const fs::path& target, std::error_code* reason) {
    const fs::path file = replacementTarget(target);
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    // A name too long or a folder that cannot be searched: nothing is there to be refused.
    if (error && status.type() == fs::file_type::none) {
        setReason(reason, error);
        return WriteResult::CannotCreate;
    }
    if (status.type() != fs::file_type::not_found && status.type() != fs::file_type::regular)
        return WriteResult::NotRegular;
    if (file != target && !linkStaysInFolder(target, file))
        return WriteResult::OutsideFolder;
    // The mode, not access(): root may write anything, and a file made read-only is meant
    // to stay as it is.
    if (status.type() == fs::file_type::regular &&
        (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        return WriteResult::ReadOnly;
    return WriteResult::Written;
}

fs::path replacementTarget(const fs::path& target) {
    fs::path file = target;
    for (int hop = 0; hop < MAX_LINKS; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(file, error))
            return file;
        const fs::path link = fs::read_symlink(file, error);
        if (error)
            return file;
        file = link.is_absolute() ? link : file.parent_path() / link;
    }
    return file;
}

fs::path inputAt(const fs::path& target, const std::vector<fs::path>& inputs) {
    std::error_code error;
    const fs::path file = replacementTarget(fs::absolute(target, error));
    const fs::path named = fs::weakly_canonical(file, error);
    const bool there = fs::exists(file, error);
    for (const fs::path& input : inputs) {
        if (input.empty())
            continue;
        if (there ? fs::equivalent(file, input, error)
                  : fs::weakly_canonical(fs::absolute(input, error), error) == named)
            return input;
    }
    return {};
}

std::error_code writeObstacle(const fs::path& target) {
    std::error_code error;
    const fs::path file = replacementTarget(fs::absolute(target, error));
    const fs::path folder = file.parent_path();
    if (file.filename().native().size() > NAME_MAX_BYTES)
        return std::make_error_code(std::errc::filename_too_long);
#ifndef _WIN32
    errno = 0;
    if (::access(folder.c_str(), W_OK) != 0 && errno != ENOENT)
        return systemError();
#endif
    const fs::space_info space = fs::space(folder, error);
    if (!error && space.available < FULL_DISK_ROOM)
        return std::make_error_code(std::errc::no_space_on_device);
    return {};
}

WriteResult writeFileAtomically(const fs::path& target, std::string_view bytes,
                                std::error_code* reason) {
    const WriteResult refused = writeRefusal(target, reason);
    if (refused != WriteResult::Written)
        return refused;
    const fs::path file = replacementTarget(target);
    fs::path temporary;
    std::FILE* out = createTemporary(file, temporary, reason);
    if (!out)
        return WriteResult::CannotCreate;
    errno = 0;
    bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
    if (!written)
        setReason(reason, systemError());
    if (std::fclose(out) != 0 && written) {
        setReason(reason, systemError());
        written = false;
    }
    if (!written) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return WriteResult::CannotWrite;
    }
    return commitReplacement(temporary, file, std::nullopt, reason);
}

WriteResult commitReplacement(const fs::path& temporary, const fs::path& target,
                              std::optional<fs::perms> newPermissions, std::error_code* reason) {
    const fs::path file = replacementTarget(target);
    std::error_code error;
    const fs::file_status old = fs::status(file, error);
    WriteResult result = writeRefusal(target);
    if (result == WriteResult::Written) {
        if (old.type() == fs::file_type::regular)
            fs::permissions(temporary, old.permissions(), error);
        else if (newPermissions)
            fs::permissions(temporary, *newPermissions, error);
        error.clear();
        fs::rename(temporary, file, error);
        if (error) {
            setReason(reason, error);
            result = WriteResult::CannotReplace;
        }
    }
    if (result != WriteResult::Written) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    return result;
}

WriteResult writeFileInPlace(const fs::path& target, std::string_view bytes) {
    const fs::path file = replacementTarget(target);
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return WriteResult::CannotCreate;
    if (const WriteResult refused = writeRefusal(target); refused != WriteResult::Written)
        return refused;
    // "r+": never creates, never truncates before the new bytes are in.
    std::FILE* out = openStdioFile(file, "r+b");
    if (!out)
        return WriteResult::CannotCreate;
    const bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
    if (std::fclose(out) != 0 || !written)
        return WriteResult::CannotWrite;
    fs::resize_file(file, bytes.size(), error);
    return error ? WriteResult::CannotWrite : WriteResult::Written;
}

} // namespace pelkorl
