// The extension file: its record count and the lookup of every publisher's record, with
// any record number the publisher file may hold.
//
// Input: a part of 4-byte entries (publisher id, extension index, both little-endian), one
// per publisher, then the extension file as the rest.
#include "fuzzsupport.h"
#include "records/extension.h"
#include "records/publisherdata.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <span>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::fuzz;
namespace fs = std::filesystem;

namespace {

bool holdsLetter(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

bool allZero(const ExtensionRecord& record) {
    return std::all_of(record.bytes.begin(), record.bytes.end(),
                       [](std::uint8_t b) { return b == 0; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzInput input(bytes, size);
    const std::string_view table = input.part();
    const std::string_view file = input.rest();

    const fs::path folder = "/congregation";
    static MemoryFiles files;
    files.clear();
    files.set(extensionFilePath(folder), file);

    PublisherData& data = freshPublisherData(files);
    data.currentFolder = folder;
    const int publishers =
        static_cast<int>(std::min<std::size_t>(table.size() / 4, RECORD_CAPACITY - 1));
    data.store.currentCount = publishers + 1;
    std::vector<std::uint16_t> ids(publishers + 1), indexes(publishers + 1);
    FuzzInput entries(reinterpret_cast<const std::uint8_t*>(table.data()), table.size());
    for (int j = 1; j <= publishers; ++j) {
        ids[j] = entries.u16();
        indexes[j] = entries.u16();
        data.store.currentRecords[j].setU16(field::PUBLISHER_ID, ids[j]);
        data.store.currentRecords[j].setExtensionIndex(indexes[j]);
    }

    data.extensionCount = -1;
    countExtensionRecords(data);
    const std::size_t records = file.size() / EXTENSION_RECORD_SIZE;
    FUZZ_CHECK(data.extensionCount ==
               static_cast<int>(std::min<std::size_t>(records, EXTENSION_CAPACITY)));

    // The second round must find what the first found.
    std::vector<int> found(publishers + 1, -1);
    for (int round = 0; round < 2; ++round) {
        for (int j = 1; j <= publishers; ++j) {
            const int bits = loadExtension(data, j);
            FUZZ_CHECK(round == 0 || found[j] == bits);
            found[j] = bits;
            const ExtensionRecord& held = data.currentExtension;
            const int index = data.store.currentRecords[j].extensionIndex();
            FUZZ_CHECK((bits & ~(EXTENSION_LONG_NAME | EXTENSION_TEXT2)) == 0);
            // A failed lookup clears the index; a found one keeps it.
            FUZZ_CHECK(index == 0 || index == indexes[j]);
            if (index == 0) {
                FUZZ_CHECK(bits == 0 && allZero(held));
                continue;
            }
            FUZZ_CHECK(index < data.extensionCount);
            FUZZ_CHECK(held.publisherId() == ids[j]);
            const std::size_t offset = static_cast<std::size_t>(index) * EXTENSION_RECORD_SIZE;
            FUZZ_CHECK(std::memcmp(file.data() + offset, held.bytes.data(), 2) == 0);
            const std::string longName = held.longName();
            const std::string text2 = held.extensionText2();
            const std::string text3 = held.extensionText3();
            FUZZ_CHECK(longName.size() < extension::LONG_NAME_SIZE);
            FUZZ_CHECK(text2.size() < extension::TEXT2_SIZE);
            FUZZ_CHECK(text3.size() < extension::TEXT3_SIZE);
            FUZZ_CHECK(((bits & EXTENSION_LONG_NAME) != 0) == holdsLetter(longName));
            FUZZ_CHECK(((bits & EXTENSION_TEXT2) != 0) == holdsLetter(text2));
        }
    }
    for (int j : {-1, 0, publishers + 1, RECORD_CAPACITY, INT_MAX, INT_MIN}) {
        FUZZ_CHECK(loadExtension(data, j) == 0);
        FUZZ_CHECK(allZero(data.currentExtension));
    }

    // The byte parser on its own finds what the lookup found.
    const std::span<const std::uint8_t> fileBytes(
        reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    for (int j = 1; j <= publishers; ++j) {
        const int index = data.store.currentRecords[j].extensionIndex();
        if (index == 0)
            continue;
        ExtensionRecord parsed;
        FUZZ_CHECK(parseExtensionRecord(fileBytes, index, ids[j], parsed));
        FUZZ_CHECK(loadExtension(data, j) == found[j]);
        FUZZ_CHECK(parsed.bytes == data.currentExtension.bytes);
    }
    // A record the bytes do not hold is not found, and nothing is changed.
    for (int n : {-1, static_cast<int>(records), INT_MAX, INT_MIN}) {
        ExtensionRecord parsed;
        parsed.bytes.fill(0x5A);
        FUZZ_CHECK(!parseExtensionRecord(fileBytes, n, ids.back(), parsed));
        FUZZ_CHECK(parsed.bytes[0] == 0x5A);
    }

    // Without a file nothing is found, and every index is cleared.
    files.clear();
    countExtensionRecords(data);
    FUZZ_CHECK(data.extensionCount == 0);
    for (int j = 1; j <= publishers; ++j) {
        FUZZ_CHECK(loadExtension(data, j) == 0);
        FUZZ_CHECK(data.store.currentRecords[j].extensionIndex() == 0);
    }
    return 0;
}
