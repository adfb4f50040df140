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

bool missingOrRegular(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    return status.type() == fs::file_type::not_found || status.type() == fs::file_type::regular;
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
    const fs::path file = replacementTarget(target);
    if (!missingOrRegular(file))
        return WriteResult::NotRegular;
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
    WriteResult result = WriteResult::Written;
    if (old.type() != fs::file_type::not_found && old.type() != fs::file_type::regular) {
        result = WriteResult::NotRegular;
    } else {
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
