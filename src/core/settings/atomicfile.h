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
// OutsideFolder or ReadOnly; Written when nothing stands in its way.
WriteResult writeRefusal(const std::filesystem::path& target);

// The file a write to `target` lands in: `target` with its symbolic links followed, even
// when the last one names nothing yet.
std::filesystem::path replacementTarget(const std::filesystem::path& target);

// Writes `bytes` as the whole of `target`.
WriteResult writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Writes `bytes` over the existing regular file `target` (through its links) and cuts it to
// their size; CannotCreate when there is no such file or it cannot be opened for writing. A
// crash half way can leave it cut: only for a file whose folder takes no temporary file.
WriteResult writeFileInPlace(const std::filesystem::path& target, std::string_view bytes);

// Puts the finished file `temporary` (in the same folder as replacementTarget(target)) in
// place of `target`: it takes the permissions of the file it replaces, or `newPermissions`
// when there is none and they are given. On failure `temporary` is removed.
WriteResult commitReplacement(const std::filesystem::path& temporary,
                              const std::filesystem::path& target,
                              std::optional<std::filesystem::perms> newPermissions = std::nullopt);

} // namespace pelkorl
