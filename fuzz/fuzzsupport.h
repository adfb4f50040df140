#pragma once
// Shared by the fuzz targets and their seed generator: the layout of a fuzz input, a
// per-process scratch folder for the files the readers take by path, and a check that
// aborts (so that libFuzzer keeps the input) when a property does not hold.
//
// A fuzz input is read front to back: single bytes, length-prefixed parts and the rest.
// A part's prefix is 4 bytes little-endian, taken modulo what remains plus one, so every
// prefix names a valid split and mutations of it move the split point.
#include <cstddef>
#include <cstdint>
#include <filesystem>
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

// Appends a part the way FuzzInput::part reads it back.
void appendPart(std::string& input, std::string_view bytes);

// The scratch folder of this process, created on first use under $TMPDIR (else /dev/shm,
// else /tmp) and removed with its contents when the process exits.
const std::filesystem::path& scratchFolder();

// Writes the bytes as the whole file, creating missing folders.
void writeFile(const std::filesystem::path& file, std::string_view bytes);
// The whole file; "" when it cannot be read.
std::string readFile(const std::filesystem::path& file);
// Removes the file if it is there.
void removeFile(const std::filesystem::path& file);
// Number of entries directly in the folder.
std::size_t entryCount(const std::filesystem::path& folder);

// Publisher data as a fresh start gives it (allocated record store, counts 0, empty
// tables), held for the whole process so that its memory is reused rather than mapped
// afresh for every input.
PublisherData& freshPublisherData();

} // namespace pelkorl::fuzz
