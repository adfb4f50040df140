// The remarks files of both service years: every month's table and every publisher's
// remark, compared with a plain reading of the file.
//
// Input: lastMonth byte, a part of publisher ids (2 bytes little-endian each), the current
// remarks file as a part, the previous-year remarks file as the rest.
#include "fuzzsupport.h"
#include "records/publisherdata.h"
#include "records/remarks.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::fuzz;
namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t HEADER_FILL = 0xA5;

// What month m's table should hold: the file's remarks of that month, of ids from 11 up
// that name a publisher (the first of that id), in file order, at most 253; the last
// remark of a publisher is his.
struct ExpectedMonth {
    std::vector<std::string_view> slots{std::string_view{}}; // slot 0 unused
    std::vector<int> slotOf;                                 // by publisher
};

ExpectedMonth expectedMonth(std::string_view file, const std::map<std::uint16_t, int>& firstOf,
                            int publishers, int m) {
    ExpectedMonth expected;
    expected.slotOf.assign(publishers + 1, 0);
    for (std::size_t offset = 0;
         offset + REMARK_RECORD_SIZE <= file.size() && expected.slots.size() < REMARK_SLOT_LIMIT;
         offset += REMARK_RECORD_SIZE) {
        const auto* stored = reinterpret_cast<const std::uint8_t*>(file.data() + offset);
        if (stored[remark::MONTH] != m + 1)
            continue;
        const int id = stored[remark::PUBLISHER_ID] | (stored[remark::PUBLISHER_ID + 1] << 8);
        const auto found = firstOf.find(static_cast<std::uint16_t>(id));
        if (id < REMARK_MIN_ID || found == firstOf.end())
            continue;
        expected.slotOf[found->second] = static_cast<int>(expected.slots.size());
        expected.slots.push_back(file.substr(offset, REMARK_RECORD_SIZE));
    }
    return expected;
}

std::string remarkTextOf(std::string_view stored) {
    const std::string_view text = stored.substr(0, remark::TEXT_SIZE - 1);
    return std::string(text.substr(0, text.find('\0')));
}

void checkTable(const PublisherData& data, ServiceYear year, int m, const ExpectedMonth& expected,
                int publishers, int wholeMonth) {
    const RemarkTable& table =
        year == ServiceYear::Current ? data.currentRemarks : data.previousRemarks;
    const std::vector<PublisherRecord>& records =
        year == ServiceYear::Current ? data.store.currentRecords : data.store.previousRecords;
    FUZZ_CHECK(table.slotCount == expected.slots.size());
    FUZZ_CHECK(table.slotCount >= 1 && table.slotCount <= REMARK_SLOT_LIMIT);
    for (std::size_t s = 1; s < table.slotCount; ++s) {
        const RemarkRecord& held = table.records[s];
        FUZZ_CHECK(
            std::memcmp(held.bytes.data(), expected.slots[s].data(), remark::TEXT_SIZE - 1) == 0);
        FUZZ_CHECK(held.bytes[remark::TEXT_SIZE - 1] == 0);
        FUZZ_CHECK(held.remarkMonth() == m + 1);
        FUZZ_CHECK(held.remarkText() == remarkTextOf(expected.slots[s]));
    }
    // Records past the publishers only in the month the input picks: clearing them is one
    // loop for every month, and reading all 310 in every month would dominate the run.
    const std::size_t checked =
        m == wholeMonth ? records.size()
                        : std::min(records.size(), static_cast<std::size_t>(publishers) + 3);
    for (std::size_t r = 1; r < checked; ++r) {
        const int slot = records[r].remarkSlot(m);
        FUZZ_CHECK(slot == (static_cast<int>(r) <= publishers ? expected.slotOf[r] : 0));
    }
    // The header keeps its year stamps.
    FUZZ_CHECK(records[0].remarkSlot(m) == HEADER_FILL);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzInput input(bytes, size);
    const int lastMonth = input.byte() % MONTHS;
    const std::string_view idTable = input.part();
    const std::string_view currentFile = input.part();
    const std::string_view previousFile = input.rest();

    const fs::path folder = "/congregation";
    static MemoryFiles files;
    files.clear();
    files.set(remarksFilePath(folder, ServiceYear::Current), currentFile);
    files.set(remarksFilePath(folder, ServiceYear::Previous), previousFile);

    PublisherData& data = freshPublisherData(files);
    data.currentFolder = folder;
    RecordStore& store = data.store;
    const int publishers =
        static_cast<int>(std::min<std::size_t>(idTable.size() / 2, RECORD_CAPACITY - 1));
    store.currentCount = publishers + 1;
    store.previousCount = RECORD_CAPACITY;
    store.currentRecords[0].bytes.fill(HEADER_FILL);
    store.previousRecords[0].bytes.fill(HEADER_FILL);
    FuzzInput ids(reinterpret_cast<const std::uint8_t*>(idTable.data()), idTable.size());
    std::map<std::uint16_t, int> firstOf;
    for (int j = 1; j <= publishers; ++j) {
        const std::uint16_t id = ids.u16();
        store.currentRecords[j].setU16(field::PUBLISHER_ID, id);
        firstOf.emplace(id, j);
        // Slot bytes as a file may carry them must not survive the reading.
        for (int m = 0; m < MONTHS; ++m) {
            store.currentRecords[j].setRemarkSlot(m, static_cast<std::uint8_t>(id + m));
            store.previousRecords[j].setRemarkSlot(m, static_cast<std::uint8_t>(id - m));
        }
    }
    // The search by id, for the lowest ids and one the input picks (each search reads the
    // records in turn).
    const std::uint32_t pick = inputPick(bytes, size);
    const int wholeMonth = int((pick >> 20) % MONTHS);
    int searched = 0;
    for (const auto& [id, j] : firstOf) {
        if (searched++ >= 3 && (pick % firstOf.size()) != std::size_t(searched - 1))
            continue;
        const int found = findPublisherById(store, id);
        FUZZ_CHECK(found == (id < 10 ? 0 : j));
    }

    std::vector<ExpectedMonth> expected[2];
    for (ServiceYear year : {ServiceYear::Current, ServiceYear::Previous}) {
        const std::string_view file = year == ServiceYear::Current ? currentFile : previousFile;
        for (int m = 0; m < MONTHS; ++m) {
            expected[year == ServiceYear::Previous].push_back(
                expectedMonth(file, firstOf, publishers, m));
            loadMonthRemarks(data, year, m);
            checkTable(data, year, m, expected[year == ServiceYear::Previous][m], publishers,
                       wholeMonth);
        }
        // Months outside the year leave an empty table.
        for (int m : {-1, MONTHS, INT_MIN, INT_MAX}) {
            loadMonthRemarks(data, year, m);
            const RemarkTable& table =
                year == ServiceYear::Current ? data.currentRemarks : data.previousRemarks;
            FUZZ_CHECK(table.slotCount == 1);
        }
    }

    // Each lookup reads the month's remarks afresh, so the lookups of a few publishers: the
    // first and last, one the input picks, and indexes outside.
    const int picked = publishers > 0 ? 1 + int(pick % unsigned(publishers)) : 0;
    for (bool previousYear : {false, true}) {
        for (int j : {-1, 0, 1, picked, publishers, publishers + 1}) {
            for (int m = -1; m <= MONTHS; ++m) {
                const std::optional<std::string> remark =
                    remarkFor(data, j, m, previousYear, lastMonth);
                std::optional<std::string> wanted;
                if (j >= 1 && j <= publishers && m >= 0 && m < MONTHS) {
                    const bool old = monthFromPreviousYear(previousYear, lastMonth, m);
                    const ExpectedMonth& month = expected[old][m];
                    if (month.slotOf[j] != 0) {
                        std::string text = remarkTextOf(month.slots[month.slotOf[j]]);
                        if (!text.empty())
                            wanted = std::move(text);
                    }
                }
                FUZZ_CHECK(remark == wanted);
            }
        }
    }

    return 0;
}
