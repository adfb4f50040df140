// Stored dates in every date format, the baptized test, and blank trimming of any text.
//
// Input: the 9 bytes of the baptism date field, the 9 bytes of the birth date field (a
// short input leaves zeros), then any text for trimming as the rest.
#include "card/formatting.h"
#include "fuzzsupport.h"
#include "records/publisherdata.h"

#include <algorithm>
#include <string>

using namespace pelkorl;
using namespace pelkorl::fuzz;

namespace {

constexpr const char* BLANKS = " \t\n\v\f\r";

bool isBlank(char c) {
    return std::string_view(BLANKS).find(c) != std::string_view::npos;
}

void checkTrim(const std::string& original) {
    std::string text = original;
    trimBlanks(text);
    const auto first = std::find_if_not(original.begin(), original.end(), isBlank);
    if (first == original.end()) {
        FUZZ_CHECK(text.empty());
        return;
    }
    const auto last = std::find_if_not(original.rbegin(), original.rend(), isBlank).base();
    FUZZ_CHECK(text == std::string(first, last));
    std::string again = text;
    trimBlanks(again);
    FUZZ_CHECK(again == text);
}

// The stored date as format 0 shows it: MM/DD/YYYY from the field's text, blanks trimmed,
// nothing when fewer than 8 characters remain.
void checkDates(const RecordStore& store, int which) {
    const std::string us = formatDate(store, 1, which, 0);
    FUZZ_CHECK(us.empty() || (us.size() >= 8 && us.size() <= 10));
    const std::string european = formatDate(store, 1, which, 1);
    FUZZ_CHECK(european.size() == us.size());
    if (!us.empty()) {
        std::string swapped = us;
        std::swap(swapped[0], swapped[3]);
        std::swap(swapped[1], swapped[4]);
        FUZZ_CHECK(european == swapped);
    }
    for (int format : {2, 3, 4, 255, -1}) {
        const std::string named = formatDate(store, 1, which, format);
        FUZZ_CHECK(us.empty() == named.empty());
        if (us.empty())
            continue;
        const std::string year = us.substr(6, 4);
        FUZZ_CHECK(named.size() >= year.size() + 2 && named.size() <= 40);
        FUZZ_CHECK(named.compare(named.size() - year.size(), year.size(), year) == 0);
        FUZZ_CHECK(named.find(", ") != std::string::npos);
    }
    for (int record : {0, 2, -1})
        FUZZ_CHECK(formatDate(store, record, which, 0).empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzInput input(bytes, size);
    static RecordStore store = [] {
        RecordStore s;
        allocateRecordStore(s, nullptr);
        s.currentCount = 2;
        return s;
    }();
    PublisherRecord& record = store.currentRecords[1];
    record = PublisherRecord{};
    for (std::size_t i = 0; i < field::BAPTISM_DATE_SIZE; ++i)
        record.bytes[field::BAPTISM_DATE + i] = input.byte();
    for (std::size_t i = 0; i < field::BIRTH_DATE_SIZE; ++i)
        record.bytes[field::BIRTH_DATE + i] = input.byte();

    checkDates(store, BAPTISM_DATE);
    checkDates(store, BIRTH_DATE);
    FUZZ_CHECK(formatDate(store, 1, 2, 0).empty());

    std::string baptism = record.baptismDate();
    trimBlanks(baptism);
    FUZZ_CHECK(isBaptized(store, 1) == (baptism.size() > 4));

    checkTrim(std::string(input.rest()));
    return 0;
}
