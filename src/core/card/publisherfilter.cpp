#include "card/publisherfilter.h"

#include "card/formatting.h"
#include "records/publisherdata.h"

namespace pelkorl {

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

int filterNameId(ListFilter filter) {
    return FILTER_NAME_BASE + static_cast<int>(filter);
}

ListFilter nextListFilter(ListFilter listFilter) {
    const int next = static_cast<int>(listFilter) + 1;
    return next >= FILTER_COUNT || next < 0 ? ListFilter::All : static_cast<ListFilter>(next);
}

bool passesListFilter(const RecordStore& store, int record, ListFilter listFilter, int lastMonth) {
    if (!isPublisher(store, record))
        return false;
    const PublisherRecord& p = store.currentRecords[static_cast<std::size_t>(record)];
    const bool pioneer = p.serviceStatus(lastMonth) == REGULAR_PIONEER_STATUS;
    switch (listFilter) {
    case ListFilter::RegularPioneers:
        return pioneer;
    case ListFilter::Baptized:
        return !pioneer && isBaptized(store, record);
    case ListFilter::Unbaptized:
        return !isBaptized(store, record);
    case ListFilter::All:
        break;
    }
    return true;
}

std::vector<PublisherLine> publisherLines(const RecordStore& store, ListFilter listFilter,
                                          int lastMonth) {
    std::vector<PublisherLine> lines;
    for (int j = 1; j < store.currentCount; ++j) {
        if (passesListFilter(store, j, listFilter, lastMonth))
            lines.push_back({j, formatName(store, j, true)});
    }
    return lines;
}

bool beginsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (asciiLower(text[i]) != asciiLower(prefix[i]))
            return false;
    }
    return true;
}

} // namespace pelkorl
