#include "records/extension.h"

#include "records/publisherdata.h"

#include <algorithm>

namespace pelkorl {

namespace {

std::string textAt(const ExtensionRecord& record, std::size_t offset, std::size_t size) {
    const auto begin = record.bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto end = begin + static_cast<std::ptrdiff_t>(size);
    return std::string(begin, std::find(begin, end, std::uint8_t{0}));
}

// Extension texts are always stored shifted, with no byte kept as it is.
void unshiftText(ExtensionRecord& record, std::size_t offset, std::size_t size) {
    for (std::size_t i = 0; i < size && record.bytes[offset + i] != 0; ++i) {
        std::uint8_t& byte = record.bytes[offset + i];
        byte = static_cast<std::uint8_t>(byte - (i + TEXT_SHIFT));
    }
}

bool holdsLetter(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

bool fetchExtension(PublisherData& data, int n, std::uint16_t publisherId,
                    ExtensionRecord& record) {
    if (n <= 0 || n >= data.extensionCount || !data.readFile)
        return false;
    const auto offset = static_cast<std::uintmax_t>(n) * EXTENSION_RECORD_SIZE;
    if (data.readFile(extensionFilePath(data.currentFolder), offset, EXTENSION_RECORD_SIZE,
                      data.fileBytes) != ReadError::None)
        return false;
    // The part read is record n on its own, so it sits at record 0 of these bytes.
    return parseExtensionRecord(data.fileBytes, 0, publisherId, record);
}

} // namespace

bool parseExtensionRecord(std::span<const std::uint8_t> bytes, int n, std::uint16_t publisherId,
                          ExtensionRecord& record) {
    if (n < 0 || static_cast<std::size_t>(n) >= bytes.size() / EXTENSION_RECORD_SIZE)
        return false;
    ExtensionRecord found;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(n) * EXTENSION_RECORD_SIZE,
                EXTENSION_RECORD_SIZE, found.bytes.begin());
    if (found.publisherId() != publisherId)
        return false;
    using namespace extension;
    found.bytes[LONG_NAME + LONG_NAME_SIZE - 1] = 0;
    found.bytes[TEXT2 + TEXT2_SIZE - 1] = 0;
    found.bytes[TEXT3 + TEXT3_SIZE - 1] = 0;
    unshiftText(found, LONG_NAME, LONG_NAME_SIZE);
    unshiftText(found, TEXT2, TEXT2_SIZE);
    unshiftText(found, TEXT3, TEXT3_SIZE);
    record = found;
    return true;
}

std::uint16_t ExtensionRecord::publisherId() const {
    return static_cast<std::uint16_t>(bytes[extension::PUBLISHER_ID] |
                                      (bytes[extension::PUBLISHER_ID + 1] << 8));
}

std::string ExtensionRecord::longName() const {
    return textAt(*this, extension::LONG_NAME, extension::LONG_NAME_SIZE);
}

std::string ExtensionRecord::extensionText2() const {
    return textAt(*this, extension::TEXT2, extension::TEXT2_SIZE);
}

std::string ExtensionRecord::extensionText3() const {
    return textAt(*this, extension::TEXT3, extension::TEXT3_SIZE);
}

void countExtensionRecords(PublisherData& data) {
    data.extensionCount = 0;
    // Records past the capacity are never fetched, so they need not be read to be counted.
    const std::size_t limit = static_cast<std::size_t>(EXTENSION_CAPACITY) * EXTENSION_RECORD_SIZE;
    if (!data.readFile || data.readFile(extensionFilePath(data.currentFolder), 0, limit,
                                        data.fileBytes) != ReadError::None)
        return;
    data.extensionCount = static_cast<int>(data.fileBytes.size() / EXTENSION_RECORD_SIZE);
}

int loadExtension(PublisherData& data, int j) {
    // Whatever the lookup finds, the record held is this publisher's or all zero, so no
    // other publisher's long name can stand in for his.
    data.currentExtension = ExtensionRecord{};
    if (!isPublisher(data.store, j))
        return 0;
    PublisherRecord& record = data.store.currentRecords[static_cast<std::size_t>(j)];
    if (record.extensionIndex() > data.extensionCount)
        record.setExtensionIndex(0);
    const int n = record.extensionIndex();
    if (n == 0)
        return 0;

    ExtensionRecord fetched;
    if (!fetchExtension(data, n, record.publisherId(), fetched)) {
        // The file is not opened again for him during this load.
        record.setExtensionIndex(0);
        return 0;
    }
    data.currentExtension = fetched;
    int bits = 0;
    if (holdsLetter(fetched.longName()))
        bits |= EXTENSION_LONG_NAME;
    if (holdsLetter(fetched.extensionText2()))
        bits |= EXTENSION_TEXT2;
    return bits;
}

} // namespace pelkorl
