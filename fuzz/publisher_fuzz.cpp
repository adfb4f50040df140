// Publisher files of both service years: reading, unshifting, the password, matching,
// then every text and figure the card takes from the records.
//
// Input: lastMonth byte, year byte, view byte (bit 0: previous year shown, bit 1: the
// placements column set), control byte (bit 0: the password prompt's answer, bit 1: start
// already aborted, bits 2-7: capacity of a small record array), the current file as a
// part, the previous-year file as the rest.
#include "card/cardstate.h"
#include "card/figures.h"
#include "card/formatting.h"
#include "fuzzsupport.h"
#include "records/publisherdata.h"
#include "text/codepage.h"
#include "text/strings.h"
#include "text/textids.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::fuzz;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t TEXT_FIELDS_BEGIN = field::FIRST_NAME;
constexpr std::size_t TEXT_FIELDS_END = field::BIRTH_DATE + field::BIRTH_DATE_SIZE;

// Largest value each kind can take: the widths of the stored bit fields; a placements
// figure derived from the literature encoding adds books, brochures and magazines.
constexpr std::array<unsigned, LITERATURE_KINDS> LITERATURE_MAX = {255,  4095, 255, 63,
                                                                   4095, 1023, 63};
constexpr std::array<unsigned, PLACEMENT_KINDS> PLACEMENT_MAX = {255 + 4095 + 4095, 4095, 255, 1023,
                                                                 63};
// "65535,75" is the longest cell; a total of twelve months stays below 10^6 and a quarter.
constexpr std::size_t CELL_TEXT_MAX = 8;
constexpr std::size_t TOTAL_TEXT_MAX = 9;

struct TextLimit {
    std::string (PublisherRecord::*text)() const;
    std::size_t longest;
};

// Texts after the forced terminators: a text never runs into the next field.
constexpr TextLimit TEXT_LIMITS[] = {
    {&PublisherRecord::firstName, 20},   {&PublisherRecord::lastName, 20},
    {&PublisherRecord::address, 62},     {&PublisherRecord::homePhone, 14},
    {&PublisherRecord::mobilePhone, 15}, {&PublisherRecord::spareText, 15},
    {&PublisherRecord::baptismDate, 8},  {&PublisherRecord::birthDate, 8},
};

std::size_t recordsIn(std::string_view bytes, std::size_t capacity) {
    return std::min({bytes.size() / RECORD_SIZE, capacity, std::size_t(RECORD_CAPACITY)});
}

bool sameBytes(const PublisherRecord& record, std::string_view file, std::size_t r,
               std::size_t begin, std::size_t end) {
    return std::memcmp(record.bytes.data() + begin, file.data() + r * RECORD_SIZE + begin,
                       end - begin) == 0;
}

bool allZero(const PublisherRecord& record) {
    static const PublisherRecord ZERO{};
    return std::memcmp(record.bytes.data(), ZERO.bytes.data(), RECORD_SIZE) == 0;
}

// The reader on its own, into an array of any capacity; unshifting must leave every byte
// outside the text fields alone.
void checkDirectRead(std::string_view bytes, std::size_t capacity) {
    static std::vector<PublisherRecord> records;
    records.assign(capacity, PublisherRecord{});
    const int count = readPublisherRecords(
        {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, records);
    FUZZ_CHECK(count >= 0 && static_cast<std::size_t>(count) == recordsIn(bytes, capacity));
    for (int r = 0; r < count; ++r)
        FUZZ_CHECK(sameBytes(records[r], bytes, r, 0, RECORD_SIZE));
    for (std::size_t r = count; r < records.size(); ++r)
        FUZZ_CHECK(allZero(records[r]));

    unshiftTexts(records, count);
    for (int r = 0; r < count; ++r) {
        FUZZ_CHECK(sameBytes(records[r], bytes, r, 0, TEXT_FIELDS_BEGIN));
        FUZZ_CHECK(sameBytes(records[r], bytes, r, TEXT_FIELDS_END, RECORD_SIZE));
        for (const TextLimit& limit : TEXT_LIMITS)
            FUZZ_CHECK((records[r].*limit.text)().size() <= limit.longest);
    }
    // Counts beyond the array are held to it.
    unshiftTexts(records, -1);
    unshiftTexts(records, count + 1000);
    terminateTexts(records, INT_MAX);
}

bool sameField(const PublisherRecord& a, const PublisherRecord& b, std::size_t offset,
               std::size_t size) {
    return a.text(offset, size) == b.text(offset, size);
}

// A link names the last previous record of the same id with the same first or last name.
void checkLinks(const RecordStore& store) {
    for (int j = 1; j < store.currentCount; ++j) {
        const PublisherRecord& record = store.currentRecords[j];
        const int link = record.previousLink();
        int expected = 0;
        if (record.publisherId() != 0) {
            for (int l = 1; l < store.previousCount; ++l) {
                const PublisherRecord& old = store.previousRecords[l];
                if (old.publisherId() == record.publisherId() &&
                    (sameField(record, old, field::FIRST_NAME, field::FIRST_NAME_SIZE) ||
                     sameField(record, old, field::LAST_NAME, field::LAST_NAME_SIZE)))
                    expected = l;
            }
        }
        FUZZ_CHECK(link == expected);
        const PublisherRecord& linked = linkedPreviousRecord(store, j);
        FUZZ_CHECK(link != 0 ? &linked == &store.previousRecords[link] : allZero(linked));
    }
    for (int j : {-1, 0, store.currentCount, RECORD_CAPACITY, INT_MAX, INT_MIN})
        FUZZ_CHECK(allZero(linkedPreviousRecord(store, j)));
}

void checkTexts(const RecordStore& store, std::uint32_t pick) {
    // Every text of the current year; of the previous year, the record the input picks (the
    // direct read has bounded them all already).
    for (int r = 1; r < store.currentCount; ++r)
        for (const TextLimit& limit : TEXT_LIMITS)
            FUZZ_CHECK((store.currentRecords[r].*limit.text)().size() <= limit.longest);
    if (store.previousCount > 1) {
        const int r = 1 + int(pick % unsigned(store.previousCount - 1));
        for (const TextLimit& limit : TEXT_LIMITS)
            FUZZ_CHECK((store.previousRecords[r].*limit.text)().size() <= limit.longest);
    }
    // Every date form of the publisher the input picks; one form, also picked, of the rest.
    constexpr int WHICH[] = {BAPTISM_DATE, BIRTH_DATE, 2, -1};
    constexpr int FORMATS[] = {0, 1, 2, 3, 4, -1};
    const int picked =
        store.currentCount > 0 ? int(pick % unsigned(store.currentCount + 2)) - 1 : 0;
    const int pickedWhich = WHICH[(pick >> 8) % std::size(WHICH)];
    const int pickedFormat = FORMATS[(pick >> 12) % std::size(FORMATS)];
    for (int j = -1; j <= store.currentCount; ++j) {
        const bool exists = isPublisher(store, j);
        for (bool surnameFirst : {false, true}) {
            const std::string name = formatName(store, j, surnameFirst);
            FUZZ_CHECK(exists ? name.size() <= 42 && name.size() >= 1 : name.empty());
        }
        for (int which : WHICH) {
            for (int format : FORMATS) {
                if (j != picked && (which != pickedWhich || format != pickedFormat))
                    continue;
                const std::string date = formatDate(store, j, which, format);
                FUZZ_CHECK(exists || date.empty());
                FUZZ_CHECK(date.size() <= (format == 0 || format == 1 ? 10u : 40u));
            }
        }
        const bool baptized = isBaptized(store, j);
        FUZZ_CHECK(exists || !baptized);
    }
}

bool figureText(const std::string& text, std::size_t longest) {
    return !text.empty() && text.size() <= longest &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == ','; });
}

void checkFigures(PublisherData& data, const CardState& view, std::size_t remarkPrefix,
                  std::uint32_t pick) {
    CardState state = view;
    state.data = &data;
    const RecordStore& store = data.store;
    for (int row = -1; row <= MONTH_ROWS; ++row) {
        const bool available = monthAvailable(state, row);
        FUZZ_CHECK(row >= 0 && row < MONTH_ROWS ? available || row < rowsDone(state.lastMonth)
                                                : !available);
    }
    // Every figure of one publisher the input picks, in two months it picks and one month
    // outside the year, and of one index outside the store. Each figure costs a few reads
    // of the records, so a whole card every time would halve the fuzzer's pace; the
    // millions of inputs pick every publisher and month.
    const int outside = (pick & 1) != 0 ? -1 : store.currentCount;
    const int picked =
        store.currentCount > 1 ? 1 + int((pick >> 1) % unsigned(store.currentCount - 1)) : 0;
    const int month = int((pick >> 10) % MONTHS);
    const int otherMonth = int((pick >> 14) % MONTHS);
    const int outsideMonth = (pick & 2) != 0 ? -1 : MONTHS;
    const int count = std::array{0, 1, 12}[(pick >> 18) % 3];
    for (int j : {outside, picked}) {
        const bool exists = isPublisher(store, j);
        for (int m : {outsideMonth, month, otherMonth}) {
            const bool valid = exists && m >= 0 && m < MONTHS;
            const int quarters = quarterCount(state, j, m);
            FUZZ_CHECK(quarters >= 0 && quarters <= 3 && (valid || quarters == 0));
            for (int kind = -1; kind <= LITERATURE_KINDS; ++kind) {
                const unsigned literature = literatureFigure(state, j, m, kind);
                const unsigned placement = placementFigure(state, j, m, kind);
                FUZZ_CHECK(kind >= 0 && kind < LITERATURE_KINDS ? literature <= LITERATURE_MAX[kind]
                                                                : literature == 0);
                FUZZ_CHECK(kind >= 0 && kind < PLACEMENT_KINDS ? placement <= PLACEMENT_MAX[kind]
                                                               : placement == 0);
                const unsigned figure = columnFigure(state, j, m, kind);
                FUZZ_CHECK(figure ==
                           (state.columnSet == ColumnSet::Placements ? placement : literature));
                const CellText cell = cellText(state, j, m, kind);
                FUZZ_CHECK(figureText(cell.text, CELL_TEXT_MAX));
                FUZZ_CHECK(valid || !cell.drawn);
                FUZZ_CHECK(cell.drawn == (figure != 0 || (kind == KIND_HOURS && quarters != 0)));
            }
            // No remarks file here: only the pioneer prefix can show.
            const std::string remarks = remarksText(state, j, m);
            FUZZ_CHECK(remarks.empty() || remarks.size() == remarkPrefix);
            FUZZ_CHECK(valid || remarks.empty());
        }
        for (int kind = -1; kind <= LITERATURE_KINDS; ++kind) {
            const std::string total = columnTotal(state, j, kind, count);
            FUZZ_CHECK(figureText(total, TOTAL_TEXT_MAX));
            FUZZ_CHECK(exists || total == "0");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzInput input(bytes, size);
    CardState view;
    view.lastMonth = input.byte() % MONTHS;
    view.currentYear = 1990 + input.byte();
    const std::uint8_t viewBits = input.byte();
    view.previousYear = (viewBits & 1) != 0;
    view.columnSet = (viewBits & 2) != 0 ? ColumnSet::Placements : ColumnSet::Literature;
    const std::uint8_t control = input.byte();
    const bool answer = (control & 1) != 0;
    const int abortedBefore = (control >> 1) & 1;
    const std::size_t smallCapacity = control >> 2;
    const std::string_view currentBytes = input.part();
    const std::string_view previousBytes = input.rest();

    const fs::path folder = "/congregation";
    static MemoryFiles files;
    files.clear();
    files.set(folder / PUBLISHER_FILE_NAME, currentBytes);
    files.set(previousPublisherFilePath(folder), previousBytes);

    const std::uint32_t pick = inputPick(bytes, size);
    checkDirectRead(currentBytes, smallCapacity);
    // Room for every record and a few beyond, which must stay empty; the capacity itself
    // is met by files that long.
    checkDirectRead(
        previousBytes,
        std::min<std::size_t>(recordsIn(previousBytes, RECORD_CAPACITY) + 3, RECORD_CAPACITY));

    PublisherData& data = freshPublisherData(files);
    DataLocation location;
    location.currentFolder = folder;
    StartState start = abortedBefore ? StartState::Aborted : StartState::Running;
    int prompts = 0;
    std::string asked;
    loadPublisherData(data, location, start, [&](const std::string& password) {
        ++prompts;
        asked = password;
        return answer;
    });
    const RecordStore& store = data.store;

    const std::size_t currentRecords = recordsIn(currentBytes, RECORD_CAPACITY);
    FUZZ_CHECK(static_cast<std::size_t>(store.currentCount) ==
               std::max<std::size_t>(currentRecords, 1));
    FUZZ_CHECK(prompts <= 1);
    FUZZ_CHECK(prompts == 0 || (asked != " " && asked.size() <= header::DATA_PASSWORD_SIZE));
    if (abortedBefore)
        FUZZ_CHECK(prompts == 0 && start == StartState::Aborted);
    else
        FUZZ_CHECK(start == (prompts == 1 && !answer ? StartState::Aborted : StartState::Running));
    const bool previousRead =
        start == StartState::Running && previousBytes.size() > PREVIOUS_FILE_MIN_SIZE;
    FUZZ_CHECK(static_cast<std::size_t>(store.previousCount) ==
               (previousRead ? recordsIn(previousBytes, RECORD_CAPACITY) : 0));

    checkLinks(store);
    checkTexts(store, pick);
    static const std::size_t remarkPrefix =
        utf8ToCp1257(loadText(AUXILIARY_PIONEER_TEXT)).size() + 1;
    checkFigures(data, view, remarkPrefix, pick);

    // Matching again over what is held changes nothing.
    std::vector<std::uint16_t> links;
    for (int j = 1; j < store.currentCount; ++j)
        links.push_back(store.currentRecords[j].previousLink());
    matchPreviousYear(data.store);
    if (store.previousCount != 0)
        for (int j = 1; j < store.currentCount; ++j)
            FUZZ_CHECK(store.currentRecords[j].previousLink() == links[j - 1]);
    return 0;
}
