#include "fuzzsupport.h"

#include "records/publisherdata.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

namespace pelkorl::fuzz {

namespace fs = std::filesystem;

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

std::uint32_t inputPick(const std::uint8_t* data, std::size_t size) {
    // FNV-1a over the size and 64 bytes spread over the input: hashing every byte of a
    // 200 KB input would cost more than the checks it spares.
    std::uint32_t hash = 2166136261u;
    const auto mix = [&hash](std::uint32_t byte) {
        hash = (hash ^ byte) * 16777619u;
    };
    for (int shift = 0; shift < 32; shift += 8)
        mix(static_cast<std::uint32_t>(size >> shift) & 0xFF);
    constexpr std::size_t SAMPLES = 64;
    for (std::size_t i = 0; i < SAMPLES && size > 0; ++i)
        mix(data[i * size / SAMPLES]);
    return hash;
}

void appendPart(std::string& input, std::string_view bytes) {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i)
        input.push_back(static_cast<char>((length >> (8 * i)) & 0xFF));
    input.append(bytes);
}

FilePartReader MemoryFiles::reader() const {
    return [this](const fs::path& file, std::uintmax_t offset, std::size_t limit, Bytes& bytes) {
        bytes.clear();
        const auto found = files.find(file);
        if (found == files.end())
            return ReadError::Missing;
        const std::string_view held = found->second;
        if (offset < held.size()) {
            const std::string_view part = held.substr(static_cast<std::size_t>(offset), limit);
            bytes.assign(part.begin(), part.end());
        }
        return ReadError::None;
    };
}

void writeFile(const fs::path& file, std::string_view bytes) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) {
        std::perror("pelkorl fuzz: cannot write the seed file");
        std::abort();
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror("pelkorl fuzz: cannot write the seed file");
        std::abort();
    }
}

PublisherData& freshPublisherData(const MemoryFiles& files) {
    static PublisherData data;
    if (!allocateRecordStore(data.store, nullptr))
        fail("allocateRecordStore", __FILE__, __LINE__);
    data.currentFolder.clear();
    data.extensionCount = 0;
    data.currentExtension = {};
    data.currentRemarks = {};
    data.previousRemarks = {};
    data.readFile = files.reader();
    // The scratch buffers stay, as they do between lookups in the program.
    return data;
}

} // namespace pelkorl::fuzz
