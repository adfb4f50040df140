#pragma once
// The remarks files: 40-byte records of (text, month, publisher id), read again for every
// lookup. One month's remarks per service year are held at a time.
#include "records/records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelkorl {

struct PublisherData;
struct RecordStore;

enum class ServiceYear { Current, Previous };

struct RemarkRecord {
    std::array<std::uint8_t, REMARK_RECORD_SIZE> bytes{};

    std::string remarkText() const;
    std::uint8_t remarkMonth() const { return bytes[remark::MONTH]; }
    std::uint16_t remarkPublisherId() const;
};

static_assert(sizeof(RemarkRecord) == REMARK_RECORD_SIZE);

struct RemarkTable {
    // Slot 0 stays zero; slots 1 .. slotCount - 1 hold the month's remarks in file order.
    std::array<RemarkRecord, REMARK_SLOTS> records{};
    std::uint8_t slotCount = 1;
};

// Reusable buffers of the remark reader, so repeated lookups allocate nothing.
struct RemarkScratch {
    std::vector<std::uint8_t> block;
    // The first current publisher of each id (0: none), and the ids set there, so the next
    // index clears just those.
    std::vector<std::uint16_t> publisherById;
    std::vector<std::uint16_t> indexedIds;
};

// The first current publisher with this id; 0 for ids below 10, no publishers or no match.
int findPublisherById(const RecordStore& store, int id);

// Fills that year's table with month m's remarks (m = 0 for January) and sets the month's
// remarkSlot of every current publisher: the slot of his remark, or 0.
void loadMonthRemarks(PublisherData& data, ServiceYear year, int m);

// True when the figures and remark of calendar month m come from the previous-year data:
// the previous year is shown and m lies in the part the current data no longer hold.
bool monthFromPreviousYear(bool previousYear, int lastMonth, int m);

// The remark of current publisher j for calendar month m, from the year the view selects;
// nothing when there is none.
std::optional<std::string> remarkFor(PublisherData& data, int j, int m, bool previousYear,
                                     int lastMonth);

} // namespace pelkorl
