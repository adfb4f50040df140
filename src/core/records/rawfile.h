#pragma once
// Read-only access to the record-keeping program's files. Only regular files are opened,
// so a folder or device of the same name reads as a missing file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace pelkorl {

class RawFile {
public:
    explicit RawFile(const std::filesystem::path& path);
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    bool isOpen() const { return open; }
    // Size in bytes of the opened file; 0 when it is not open.
    std::uintmax_t size() const { return bytes; }
    // Reads up to `count` bytes; returns how many arrived.
    std::size_t read(void* target, std::size_t count);
    bool seek(std::uintmax_t offset);

private:
    std::ifstream stream;
    std::uintmax_t bytes = 0;
    bool open = false;
};

} // namespace pelkorl
