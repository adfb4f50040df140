#pragma once
// Sizes, offsets and constants of the record-keeping program's files.
#include <cstddef>
#include <cstdint>

namespace pelkorl {

inline constexpr std::size_t RECORD_SIZE = 336;
// Records per service year, header included; the store never holds more.
inline constexpr int RECORD_CAPACITY = 310;
// Texts of shifted files store byte i of a field as plain + i + TEXT_SHIFT (mod 256).
inline constexpr std::uint8_t TEXT_SHIFT = 0x2A;
// A stored byte of this value is kept as it is in names (and early address bytes).
inline constexpr std::uint8_t KEPT_BYTE = 204;
// Months held per record, 0 = January.
inline constexpr int MONTHS = 12;

// Header record (record 0).
namespace header {
inline constexpr std::size_t DATA_PASSWORD = 2;
inline constexpr std::size_t DATA_PASSWORD_SIZE = 21;
inline constexpr std::size_t PLAIN_TEXT_MARK = 23;
inline constexpr std::size_t YEAR_STAMP = 312;
inline constexpr std::uint8_t PLAIN_TEXT = 'A';
} // namespace header

// Publisher records (records 1 and up). Sizes are whole fields, terminator included.
namespace field {
inline constexpr std::size_t FIRST_NAME = 2;
inline constexpr std::size_t FIRST_NAME_SIZE = 21;
inline constexpr std::size_t LAST_NAME = 23;
inline constexpr std::size_t LAST_NAME_SIZE = 21;
inline constexpr std::size_t ADDRESS = 44;
inline constexpr std::size_t ADDRESS_SIZE = 63;
inline constexpr std::size_t HOME_PHONE = 107;
inline constexpr std::size_t HOME_PHONE_SIZE = 15;
inline constexpr std::size_t MOBILE_PHONE = 122;
inline constexpr std::size_t MOBILE_PHONE_SIZE = 15;
inline constexpr std::size_t SPARE_TEXT = 137;
inline constexpr std::size_t SPARE_TEXT_SIZE = 15;
inline constexpr std::size_t BAPTISM_DATE = 152;
inline constexpr std::size_t BAPTISM_DATE_SIZE = 9;
inline constexpr std::size_t BIRTH_DATE = 161;
inline constexpr std::size_t BIRTH_DATE_SIZE = 9;
inline constexpr std::size_t ANOINTED_MARK = 180;
inline constexpr std::size_t PUBLISHER_ID = 182;
inline constexpr std::size_t EXTENSION_INDEX = 184;
inline constexpr std::size_t PREVIOUS_LINK = 192;
inline constexpr std::size_t PLACEMENTS_MONTHS = 196;
inline constexpr std::size_t MONTH_STATUS = 202;
inline constexpr std::size_t PERSON_FLAGS = 215;
inline constexpr std::size_t FIGURES_216 = 216;
inline constexpr std::size_t FIGURES_228 = 228;
inline constexpr std::size_t HOURS = 240;
inline constexpr std::size_t FIGURES_252 = 252;
inline constexpr std::size_t FIGURES_264 = 264;
inline constexpr std::size_t FIGURES_276 = 276;
inline constexpr std::size_t FIGURES_288 = 288;
inline constexpr std::size_t QUARTER_HOURS = 300;
inline constexpr std::size_t REMARK_SLOT = 312;
// Bytes set to NUL after reading: they end the fields with a fixed terminator.
inline constexpr std::size_t FORCED_TERMINATORS[] = {22, 43, 106, 121, 160, 169};
} // namespace field

// Extension file records.
inline constexpr std::size_t EXTENSION_RECORD_SIZE = 192;
// Highest count of usable extension record numbers (1 .. 600).
inline constexpr int EXTENSION_CAPACITY = 601;
namespace extension {
inline constexpr std::size_t PUBLISHER_ID = 0;
inline constexpr std::size_t LONG_NAME = 2;
inline constexpr std::size_t LONG_NAME_SIZE = 65;
inline constexpr std::size_t TEXT2 = 67;
inline constexpr std::size_t TEXT2_SIZE = 51;
inline constexpr std::size_t TEXT3 = 118;
inline constexpr std::size_t TEXT3_SIZE = 72;
} // namespace extension

// Remarks file records.
inline constexpr std::size_t REMARK_RECORD_SIZE = 40;
// Slots of one month's table: 0 stays empty, 1-253 hold remarks.
inline constexpr int REMARK_SLOTS = 255;
inline constexpr int REMARK_SLOT_LIMIT = 254;
// Remarks of publisher ids below this are ignored.
inline constexpr int REMARK_MIN_ID = 11;
namespace remark {
inline constexpr std::size_t TEXT = 0;
inline constexpr std::size_t TEXT_SIZE = 37;
inline constexpr std::size_t MONTH = 37;
inline constexpr std::size_t PUBLISHER_ID = 38;
} // namespace remark

// File names, relative to the current folder (or the removable folder for the publisher file).
inline constexpr const char* PUBLISHER_FILE_NAME = "tdat7.bin";
inline constexpr const char* EXTENSION_FILE_NAME = "xten7.dat";
inline constexpr const char* REMARKS_FILE_NAME = "remark7.dat";
inline constexpr const char* PREVIOUS_YEAR_FOLDER = "Roll";
inline constexpr const char* PREVIOUS_YEAR_SUBFOLDER = "Rv7_8";
// A previous-year publisher file must be larger than this to be read.
inline constexpr std::uintmax_t PREVIOUS_FILE_MIN_SIZE = 500;

} // namespace pelkorl
