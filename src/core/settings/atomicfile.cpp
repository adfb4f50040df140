#include "settings/atomicfile.h"

#include "records/fileio.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>

namespace pelkorl {
namespace {

namespace fs = std::filesystem;

// As many links as a system follows before it calls it a loop.
constexpr int MAX_LINKS = 40;

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

// A new, empty file beside `target` that nobody else holds, opened for writing.
std::FILE* createTemporary(const fs::path& target, fs::path& temporary) {
    static std::atomic<unsigned long long> counter{0};
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path name = ".";
        name += target.filename().native();
        name += "." + std::to_string((ticks + ++counter * 7919) % 100000000ULL) + ".tmp";
        temporary = target.parent_path() / name;
        // "x": fails when the name is taken, so nobody's file is ever truncated.
        if (std::FILE* file = openStdioFile(temporary, "wbx"))
            return file;
        std::error_code error;
        if (!fs::exists(temporary, error) || error)
            break;
    }
    temporary.clear();
    return nullptr;
}

} // namespace

WriteResult writeRefusal(const fs::path& target) {
    const fs::path file = replacementTarget(target);
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
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

WriteResult writeFileAtomically(const fs::path& target, std::string_view bytes) {
    const WriteResult refused = writeRefusal(target);
    if (refused != WriteResult::Written)
        return refused;
    const fs::path file = replacementTarget(target);
    fs::path temporary;
    std::FILE* out = createTemporary(file, temporary);
    if (!out)
        return WriteResult::CannotCreate;
    const bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
    if (std::fclose(out) != 0 || !written) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return WriteResult::CannotWrite;
    }
    return commitReplacement(temporary, file);
}

WriteResult commitReplacement(const fs::path& temporary, const fs::path& target,
                              std::optional<fs::perms> newPermissions) {
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
        if (error)
            result = WriteResult::CannotReplace;
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
