#pragma once
// Which publishers the main dialog's list shows, and the lines it shows for them.
#include "text/textids.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelkorl {

struct RecordStore;

// Which publishers the list shows, in the order of the filter button's cycle.
enum class ListFilter {
    All,
    RegularPioneers,
    Baptized, // baptized, not regular pioneers
    Unbaptized,
};
inline constexpr int FILTER_COUNT = 4;

// The string-table id of the filter's name.
int filterNameId(ListFilter filter);

// Service status of a regular pioneer.
inline constexpr int REGULAR_PIONEER_STATUS = 2;

// The next filter of the button's cycle.
ListFilter nextListFilter(ListFilter listFilter);

// Whether publisher `record` (1 .. currentCount - 1) passes `listFilter`, judged by his service
// status of calendar month `lastMonth`. Record 0 and records outside the store never pass.
bool passesListFilter(const RecordStore& store, int record, ListFilter listFilter, int lastMonth);

struct PublisherLine {
    int record = 0;
    std::string text; // "Surname, First", Windows-1257 bytes
};

// The lines of the list in file order.
std::vector<PublisherLine> publisherLines(const RecordStore& store, ListFilter listFilter,
                                          int lastMonth);

// `text` begins with `prefix`, ASCII letters compared without regard to case and every other
// byte as it is (the Lithuanian letters of Windows-1257 match only themselves).
bool beginsWithIgnoringCase(std::string_view text, std::string_view prefix);

} // namespace pelkorl
