#pragma once
// Which publishers the main dialog's list shows, and the lines it shows for them.
#include "text/textids.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelkorl {

struct RecordStore;

// listFilter values; the filter button shows string FILTER_NAME_BASE + listFilter.
inline constexpr int FILTER_ALL = 0;
inline constexpr int FILTER_REGULAR_PIONEERS = 1;
inline constexpr int FILTER_BAPTIZED = 2; // baptized, not regular pioneers
inline constexpr int FILTER_UNBAPTIZED = 3;
inline constexpr int FILTER_COUNT = 4;

// Service status of a regular pioneer.
inline constexpr int REGULAR_PIONEER_STATUS = 2;

// The next filter of the button's cycle.
int nextListFilter(int listFilter);

// Whether publisher `record` (1 .. currentCount - 1) passes `listFilter`, judged by his service
// status of calendar month `lastMonth`. Record 0 and records outside the store never pass.
bool passesListFilter(const RecordStore& store, int record, int listFilter, int lastMonth);

struct PublisherLine {
    int record = 0;
    std::string text; // "Surname, First", Windows-1257 bytes
};

// The lines of the list in file order.
std::vector<PublisherLine> publisherLines(const RecordStore& store, int listFilter, int lastMonth);

// `text` begins with `prefix`, ASCII letters compared without regard to case and every other
// byte as it is (the Lithuanian letters of Windows-1257 match only themselves).
bool beginsWithIgnoringCase(std::string_view text, std::string_view prefix);

} // namespace pelkorl
