#pragma once
// Shared by the fuzz targets and their seed generator: the layout of a fuzz input, record
// files held in memory for the readers, and a check that aborts (so that libFuzzer keeps
// the input) when a property does not hold.
//
// A fuzz input is read front to back: single bytes, length-prefixed parts and the rest.
// A part's prefix is 4 bytes little-endian, taken modulo what remains plus one, so every
// prefix names a valid split and mutations of it move the split point.
#include "records/fileio.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace pelkorl {
struct PublisherData;
}

namespace pelkorl::fuzz {

[[noreturn]] void fail(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? static_cast<void>(0) : ::pelkorl::fuzz::fail(#condition, __FILE__, __LINE__))

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : bytes(reinterpret_cast<const char*>(data), size) {}

    // The next byte; 0 once the input is used up.
    std::uint8_t byte();
    // Two bytes little-endian; missing bytes read 0.
    std::uint16_t u16();
    // A length-prefixed part.
    std::string_view part();
    // Everything not yet taken.
    std::string_view rest();

private:
    std::string_view bytes;
    std::size_t pos = 0;
};

// A number that follows the whole input, for checks too costly to make for every record of
// every input: each input checks the records this picks, and the fuzzer's millions of
// inputs reach them all.
std::uint32_t inputPick(const std::uint8_t* data, std::size_t size);

// Appends a part the way FuzzInput::part reads it back.
void appendPart(std::string& input, std::string_view bytes);

// Files by path in memory, read the way readFilePart reads the disk: a path not held is
// Missing, a part past the end gives no bytes.
class MemoryFiles {
public:
    void clear() { files.clear(); }
    void set(const std::filesystem::path& file, std::string_view bytes) { files[file] = bytes; }
    // Reads from these files; the MemoryFiles must outlive it.
    FilePartReader reader() const;

private:
    std::map<std::filesystem::path, std::string_view> files;
};

// Writes the bytes as the whole file, creating missing folders (for the seed corpus).
void writeFile(const std::filesystem::path& file, std::string_view bytes);

// Publisher data as a fresh start gives it (allocated record store, counts 0, empty
// tables) reading from `files`, held for the whole process so that its memory is reused
// rather than mapped afresh for every input.
PublisherData& freshPublisherData(const MemoryFiles& files);

} // namespace pelkorl::fuzz
