#pragma once
// Texts made from record fields: the name, the two dates, the baptized test. Results are
// raw record bytes (Windows-1257); the month names are plain ASCII.
#include "text/trim.h"

#include <string>

namespace pelkorl {

struct RecordStore;

// Which date formatDate reads.
inline constexpr int BAPTISM_DATE = 0;
inline constexpr int BIRTH_DATE = 1;

// "last, first" or "first last" of current publisher `record`; "" when there is none.
std::string formatName(const RecordStore& store, int record, bool surnameFirst);

// A stored MMDDYYYY date in date format 0 (01/31/2002), 1 (31/01/2002), 2 (Sau 31, 2002)
// or 3 and above (31 Sau, 2002); "" for a short or blank date or no such publisher.
std::string formatDate(const RecordStore& store, int record, int which, int dateFormat);

// The baptism date holds more than 4 characters besides blanks.
bool isBaptized(const RecordStore& store, int record);

} // namespace pelkorl
