#pragma once
// The one place that opens files from outside for reading. A file is opened read-only and
// only when it is a regular file once links are followed; a pipe or device of the same name
// is never waited on. The readers of the formats get the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

namespace pelkorl {

enum class ReadError {
    None,
    Missing,    // nothing of that name, or no name at all
    NotRegular, // a folder, device, pipe or socket
    Unreadable, // there, but it could not be opened or read
    TooLarge,   // larger than the reader takes
};

using Bytes = std::vector<std::uint8_t>;

// Up to `limit` bytes from `offset` into `bytes`: fewer near the end of the file, none past
// it. On an error `bytes` is empty.
ReadError readFilePart(const std::filesystem::path& file, std::uintmax_t offset, std::size_t limit,
                       Bytes& bytes);

// The whole file into `bytes`; TooLarge (and no bytes) when it holds more than `limit`.
ReadError readWholeFile(const std::filesystem::path& file, std::size_t limit, Bytes& bytes);

// fopen for a path of any letters, on every system: the one place files are opened for
// writing. "x" (create, never an existing file) works where the C library lacks it.
std::FILE* openStdioFile(const std::filesystem::path& file, const char* mode);

// `folder` / `relative`, each component of `relative` spelled as it is on disk when only its
// ASCII letter case differs: data copied from Windows often come as TDAT7.BIN or ROLL/RV7_8.
// The exact spelling wins when it is of use (a folder on the way, a regular file at the end);
// otherwise another spelling that is, the first in byte order; among unusable ones, the exact
// and then the first. A component found in no spelling is kept as given, and so is the rest
// after it. `folder` is taken as it is.
std::filesystem::path findIgnoringCase(const std::filesystem::path& folder,
                                       const std::filesystem::path& relative);

// `file` with every component spelled as on disk (as above), from the longest leading part
// that is there as spelled.
std::filesystem::path findIgnoringCase(const std::filesystem::path& file);

// readFilePart of the file as named, or, when that cannot be read, of the regular file whose
// name differs only in letter case: how the record files are read from disk.
ReadError readFileAnyCase(const std::filesystem::path& file, std::uintmax_t offset,
                          std::size_t limit, Bytes& bytes);

// How the record readers get at a file: readFileAnyCase on disk, or bytes held in memory.
using FilePartReader = std::function<ReadError(
    const std::filesystem::path& file, std::uintmax_t offset, std::size_t limit, Bytes& bytes)>;

} // namespace pelkorl
