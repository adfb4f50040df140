#include "records/remarks.h"

#include "records/publisherdata.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace pelkorl {

namespace {

// Remarks read per block: a large congregation's file arrives in one read, a hostile
// giant one in bounded memory.
constexpr std::size_t BLOCK_BYTES = 8192 * REMARK_RECORD_SIZE;

constexpr std::size_t ID_COUNT = 65536; // publisher ids are 16 bits

RemarkTable& tableOf(PublisherData& data, ServiceYear year) {
    return year == ServiceYear::Current ? data.currentRemarks : data.previousRemarks;
}

std::vector<PublisherRecord>& slotRecordsOf(PublisherData& data, ServiceYear year) {
    return year == ServiceYear::Current ? data.store.currentRecords : data.store.previousRecords;
}

// The first current publisher of each id, as findPublisherById finds him: a table over
// every id rather than a search, since each remark of the file asks it.
void indexPublishers(const RecordStore& store, RemarkScratch& scratch) {
    if (scratch.publisherById.size() != ID_COUNT)
        scratch.publisherById.assign(ID_COUNT, 0);
    for (std::uint16_t id : scratch.indexedIds)
        scratch.publisherById[id] = 0;
    scratch.indexedIds.clear();
    for (int j = 1; isPublisher(store, j); ++j) {
        const std::uint16_t id = store.currentRecords[static_cast<std::size_t>(j)].publisherId();
        if (scratch.publisherById[id] == 0) {
            scratch.publisherById[id] = static_cast<std::uint16_t>(j);
            scratch.indexedIds.push_back(id);
        }
    }
}

int indexedPublisher(const RemarkScratch& scratch, std::uint16_t id) {
    return scratch.publisherById[id];
}

// Takes the month's remarks of whole 40-byte records into the next free slots of the table.
void collectRemarks(std::span<const std::uint8_t> bytes, std::uint8_t month,
                    const RemarkScratch& scratch, RemarkTable& table,
                    std::vector<PublisherRecord>& records) {
    for (std::size_t offset = 0;
         offset + REMARK_RECORD_SIZE <= bytes.size() && table.slotCount < REMARK_SLOT_LIMIT;
         offset += REMARK_RECORD_SIZE) {
        const std::uint8_t* stored = bytes.data() + offset;
        if (stored[remark::MONTH] != month)
            continue;
        const auto id = static_cast<std::uint16_t>(stored[remark::PUBLISHER_ID] |
                                                   (stored[remark::PUBLISHER_ID + 1] << 8));
        if (id < REMARK_MIN_ID)
            continue;
        const int j = indexedPublisher(scratch, id);
        if (j == 0 || static_cast<std::size_t>(j) >= records.size())
            continue;
        RemarkRecord& slot = table.records[table.slotCount];
        std::memcpy(slot.bytes.data(), stored, REMARK_RECORD_SIZE);
        slot.bytes[remark::TEXT_SIZE - 1] = 0;
        // A later remark of the same publisher replaces the earlier one.
        records[static_cast<std::size_t>(j)].setRemarkSlot(month - 1, table.slotCount);
        ++table.slotCount;
    }
}

} // namespace

std::string RemarkRecord::remarkText() const {
    const auto begin = bytes.begin() + remark::TEXT;
    const auto end = begin + remark::TEXT_SIZE;
    return std::string(begin, std::find(begin, end, std::uint8_t{0}));
}

std::uint16_t RemarkRecord::remarkPublisherId() const {
    return static_cast<std::uint16_t>(bytes[remark::PUBLISHER_ID] |
                                      (bytes[remark::PUBLISHER_ID + 1] << 8));
}

int findPublisherById(const RecordStore& store, int id) {
    if (id < 10)
        return 0;
    for (int j = 1; isPublisher(store, j); ++j)
        if (store.currentRecords[static_cast<std::size_t>(j)].publisherId() == id)
            return j;
    return 0;
}

void loadMonthRemarks(PublisherData& data, ServiceYear year, int m) {
    RemarkTable& table = tableOf(data, year);
    table.records[0] = RemarkRecord{};
    table.slotCount = 1;
    if (m < 0 || m >= MONTHS)
        return;

    // Every slot byte of the month starts empty: bytes from the file, or from an earlier
    // read, would otherwise show a remark that is not this publisher's. Record 0 is the
    // header and keeps its year stamps.
    // Both years' slots are read by current publisher index, so records from currentCount on
    // are never read and are left as they are.
    std::vector<PublisherRecord>& records = slotRecordsOf(data, year);
    const std::size_t held =
        std::min(records.size(), static_cast<std::size_t>(std::max(data.store.currentCount, 0)));
    const std::size_t slotByte = field::REMARK_SLOT + static_cast<std::size_t>(m);
    for (std::size_t r = 1; r < held; ++r)
        records[r].bytes[slotByte] = 0;

    RemarkScratch& scratch = data.remarkScratch;
    if (!isPublisher(data.store, 1) || !data.readFile)
        return;
    const std::filesystem::path file = remarksFilePath(data.currentFolder, year);
    const auto month = static_cast<std::uint8_t>(m + 1);
    std::uintmax_t offset = 0;
    while (table.slotCount < REMARK_SLOT_LIMIT) {
        if (data.readFile(file, offset, BLOCK_BYTES, scratch.block) != ReadError::None)
            break;
        // Publishers are indexed only once there are remarks to place.
        if (offset == 0 && scratch.block.size() >= REMARK_RECORD_SIZE)
            indexPublishers(data.store, scratch);
        const std::size_t whole = scratch.block.size() - scratch.block.size() % REMARK_RECORD_SIZE;
        collectRemarks(std::span(scratch.block.data(), whole), month, scratch, table, records);
        if (scratch.block.size() < BLOCK_BYTES)
            break;
        offset += whole;
    }
}

bool monthFromPreviousYear(bool previousYear, int lastMonth, int m) {
    if (!previousYear)
        return false;
    if (lastMonth > 7)
        return m <= lastMonth;
    return m > 7 || m <= lastMonth;
}

std::optional<std::string> remarkFor(PublisherData& data, int j, int m, bool previousYear,
                                     int lastMonth) {
    if (!isPublisher(data.store, j) || m < 0 || m >= MONTHS)
        return std::nullopt;
    const ServiceYear year = monthFromPreviousYear(previousYear, lastMonth, m)
                                 ? ServiceYear::Previous
                                 : ServiceYear::Current;
    std::vector<PublisherRecord>& records = slotRecordsOf(data, year);
    const auto index = static_cast<std::size_t>(j);
    if (index >= records.size() || records[index].remarkSlot(m) == 0)
        return std::nullopt;

    loadMonthRemarks(data, year, m);
    const RemarkTable& table = tableOf(data, year);
    const std::uint8_t slot = records[index].remarkSlot(m);
    if (slot == 0 || slot >= table.slotCount)
        return std::nullopt;
    std::string text = table.records[slot].remarkText();
    if (text.empty())
        return std::nullopt;
    return text;
}

} // namespace pelkorl
