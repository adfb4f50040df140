#include "card/formatting.h"

#include "records/publisherdata.h"
#include "text/strings.h"
#include "text/textids.h"

namespace pelkorl {

namespace {

// Month names are strings 117-128 for months 1-12.

const PublisherRecord* publisher(const RecordStore& store, int record) {
    return isPublisher(store, record) ? &store.currentRecords[static_cast<std::size_t>(record)]
                                      : nullptr;
}

// The leading number of a short text, read as the C library would: an optional sign,
// then digits.
int leadingNumber(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

std::string monthName(int month) {
    // A month outside 1-12 has no name rather than some other string of the table.
    if (month < 1 || month > 12)
        return {};
    return loadText(DATE_MONTH_NAME_BASE + month);
}

} // namespace

std::string formatName(const RecordStore& store, int record, bool surnameFirst) {
    const PublisherRecord* p = publisher(store, record);
    if (!p)
        return {};
    if (surnameFirst)
        return p->lastName() + ", " + p->firstName();
    return p->firstName() + " " + p->lastName();
}

std::string formatDate(const RecordStore& store, int record, int which, int dateFormat) {
    const PublisherRecord* p = publisher(store, record);
    if (!p || (which != BAPTISM_DATE && which != BIRTH_DATE))
        return {};
    const std::string stored = which == BAPTISM_DATE ? p->baptismDate() : p->birthDate();

    // c0 c1 / c2 c3 / c4 c5 c6 c7, ending where the stored text ends.
    std::string text;
    for (std::size_t i = 0; i < 8 && i < stored.size(); ++i) {
        if (i == 2 || i == 4)
            text += '/';
        text += stored[i];
    }
    if (stored.size() == 2 || stored.size() == 4)
        text += '/';
    trimBlanks(text);
    if (text.size() < 8)
        return {};

    if (dateFormat == 0)
        return text;
    if (dateFormat == 1) {
        std::swap(text[0], text[3]);
        std::swap(text[1], text[4]);
        return text;
    }
    const std::string name = monthName(leadingNumber(text.substr(0, 2)));
    const std::string day = text.substr(3, 2);
    const std::string year = text.substr(6, 4);
    if (dateFormat == 2)
        return name + " " + day + ", " + year;
    return day + " " + name + ", " + year;
}

bool isBaptized(const RecordStore& store, int record) {
    const PublisherRecord* p = publisher(store, record);
    if (!p)
        return false;
    std::string date = p->baptismDate();
    trimBlanks(date);
    return date.size() > 4;
}

} // namespace pelkorl
