#pragma once
// Replacing a file whole: the new contents go to a temporary file in the target's folder,
// which is flushed and then renamed over the target, so a crash or a full disk never leaves
// a cut file behind. The new file keeps the old one's permissions, and a symbolic link is
// written through to the file it names (the link stays a link) when that file lies in the
// target's folder or below it. What is not ours is left alone: a file a link names outside
// that folder, and a file whose mode gives its owner no write permission (even for root).
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace pelkorl {

enum class WriteResult {
    Written,
    NotRegular,    // the target (or what its link names) is there and is not a regular file
    CannotCreate,  // no temporary file could be made in the target's folder
    CannotWrite,   // writing or flushing the temporary file failed
    CannotReplace, // the temporary file could not be renamed over the target
    OutsideFolder, // the target is a link to a file outside the folder it is named in
    ReadOnly,      // the file's mode gives its owner no write permission
    NotOurs,       // the caller found a file there that it did not write (see layoutfile.h)
};

// Why a write to `target` would be refused before anything is written: NotRegular,
// OutsideFolder or ReadOnly, or CannotCreate when the system cannot even look at the name
// (`reason` then says why); Written when nothing stands in its way.
WriteResult writeRefusal(const std::filesystem::path& target, std::error_code* reason = nullptr);

// The first of `inputs` that a write to `target` would replace: the same file once links are
// followed (same device and inode), or the same path where the file is not there yet. Empty
// when the target is none of them.
std::filesystem::path inputAt(const std::filesystem::path& target,
                              const std::vector<std::filesystem::path>& inputs);

// Why a file cannot be written at `target`, as far as the system tells without writing
// anything: a name too long, a folder that takes no new file (permission, read-only file
// system), no space left. Empty when none of these is seen.
std::error_code writeObstacle(const std::filesystem::path& target);

// The file a write to `target` lands in: `target` with its symbolic links followed, even
// when the last one names nothing yet.
std::filesystem::path replacementTarget(const std::filesystem::path& target);

// Writes `bytes` as the whole of `target`. On failure `reason`, when given, gets what the
// system said (empty when it said nothing).
WriteResult writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                std::error_code* reason = nullptr);

// Writes `bytes` over the existing regular file `target` (through its links) and cuts it to
// their size; CannotCreate when there is no such file or it cannot be opened for writing. A
// crash half way can leave it cut: only for a file whose folder takes no temporary file.
WriteResult writeFileInPlace(const std::filesystem::path& target, std::string_view bytes);

// Puts the finished file `temporary` (in the same folder as replacementTarget(target)) in
// place of `target`: it takes the permissions of the file it replaces, or `newPermissions`
// when there is none and they are given. On failure `temporary` is removed.
WriteResult commitReplacement(const std::filesystem::path& temporary,
                              const std::filesystem::path& target,
                              std::optional<std::filesystem::perms> newPermissions = std::nullopt,
                              std::error_code* reason = nullptr);

} // namespace pelkorl
