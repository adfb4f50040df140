#include "fuzzsupport.h"

#include "records/publisherdata.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include <unistd.h>

namespace pelkorl::fuzz {

namespace fs = std::filesystem;

namespace {

fs::path scratchParent() {
    const char* const candidates[] = {std::getenv("TMPDIR"), "/dev/shm", "/tmp"};
    for (const char* candidate : candidates) {
        std::error_code ec;
        if (candidate && *candidate && fs::is_directory(candidate, ec) &&
            ::access(candidate, W_OK | X_OK) == 0)
            return candidate;
    }
    return fs::temp_directory_path();
}

fs::path createdScratch;

void removeScratch() {
    std::error_code ec;
    if (!createdScratch.empty())
        fs::remove_all(createdScratch, ec);
}

} // namespace

void fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "\nfuzz check failed: %s (%s:%d)\n", condition, file, line);
    std::fflush(stderr);
    std::abort();
}

std::uint8_t FuzzInput::byte() {
    if (pos >= bytes.size())
        return 0;
    return static_cast<std::uint8_t>(bytes[pos++]);
}

std::uint16_t FuzzInput::u16() {
    const std::uint16_t low = byte();
    return static_cast<std::uint16_t>(low | (byte() << 8));
}

std::string_view FuzzInput::part() {
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<std::uint32_t>(byte()) << (8 * i);
    const std::size_t left = bytes.size() - pos;
    const std::size_t taken = static_cast<std::size_t>(length) % (left + 1);
    const std::string_view result = bytes.substr(pos, taken);
    pos += taken;
    return result;
}

std::string_view FuzzInput::rest() {
    const std::string_view result = bytes.substr(pos);
    pos = bytes.size();
    return result;
}

void appendPart(std::string& input, std::string_view bytes) {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i)
        input.push_back(static_cast<char>((length >> (8 * i)) & 0xFF));
    input.append(bytes);
}

const fs::path& scratchFolder() {
    static const fs::path folder = [] {
        std::string pattern = (scratchParent() / "pelkorl-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("pelkorl fuzz: no scratch folder");
            std::abort();
        }
        createdScratch = pattern;
        std::atexit(removeScratch);
        return fs::path(pattern);
    }();
    return folder;
}

void writeFile(const fs::path& file, std::string_view bytes) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) {
        std::perror("pelkorl fuzz: cannot write the input file");
        std::abort();
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror("pelkorl fuzz: cannot write the input file");
        std::abort();
    }
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void removeFile(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
}

std::size_t entryCount(const fs::path& folder) {
    std::error_code ec;
    std::size_t count = 0;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        ++count;
    return count;
}

PublisherData& freshPublisherData() {
    static PublisherData data;
    if (!allocateRecordStore(data.store, nullptr))
        fail("allocateRecordStore", __FILE__, __LINE__);
    data.currentFolder.clear();
    data.extensionCount = 0;
    data.currentExtension = {};
    data.currentRemarks = {};
    data.previousRemarks = {};
    // The scratch buffers stay, as they do between lookups in the program.
    return data;
}

} // namespace pelkorl::fuzz
