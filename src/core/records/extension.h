#pragma once
// The extension file: long per-publisher texts, one 192-byte record per number. The file
// is read again for every lookup and only the last record fetched is kept.
#include "records/records.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace pelkorl {

struct PublisherData;

struct ExtensionRecord {
    std::array<std::uint8_t, EXTENSION_RECORD_SIZE> bytes{};

    std::uint16_t publisherId() const;
    std::string longName() const;
    std::string extensionText2() const;
    std::string extensionText3() const;
};

static_assert(sizeof(ExtensionRecord) == EXTENSION_RECORD_SIZE);

// Bits returned by loadExtension.
inline constexpr int EXTENSION_LONG_NAME = 1;
inline constexpr int EXTENSION_TEXT2 = 2;

// Number n of the extension file's bytes as publisher `publisherId`'s record, its texts
// unshifted and cut to their fields. False, with `record` untouched, when the bytes do not
// hold record n or it belongs to someone else.
bool parseExtensionRecord(std::span<const std::uint8_t> bytes, int n, std::uint16_t publisherId,
                          ExtensionRecord& record);

// Sets data.extensionCount from the extension file of the current folder (at most 601).
void countExtensionRecords(PublisherData& data);

// Fetches the extension record of current publisher j into data.currentExtension.
// Returns 0 when there is none, else EXTENSION_LONG_NAME and/or EXTENSION_TEXT2 when that
// text holds an ASCII letter. A failed lookup clears j's extensionIndex in memory.
int loadExtension(PublisherData& data, int j);

} // namespace pelkorl
