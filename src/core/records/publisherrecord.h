#pragma once
// One 336-byte record of the publisher file, addressed by byte offset. Record 0 of a file
// is its header (HeaderRecord); records 1 and up are publishers. Texts come back as the
// raw Windows-1257 bytes of their field, never reaching past it.
#include "records/records.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pelkorl {

struct PublisherRecord {
    std::array<std::uint8_t, RECORD_SIZE> bytes{};

    std::string firstName() const { return text(field::FIRST_NAME, field::FIRST_NAME_SIZE); }
    std::string lastName() const { return text(field::LAST_NAME, field::LAST_NAME_SIZE); }
    std::string address() const { return text(field::ADDRESS, field::ADDRESS_SIZE); }
    std::string homePhone() const { return text(field::HOME_PHONE, field::HOME_PHONE_SIZE); }
    std::string mobilePhone() const { return text(field::MOBILE_PHONE, field::MOBILE_PHONE_SIZE); }
    std::string spareText() const { return text(field::SPARE_TEXT, field::SPARE_TEXT_SIZE); }
    std::string baptismDate() const { return text(field::BAPTISM_DATE, field::BAPTISM_DATE_SIZE); }
    std::string birthDate() const { return text(field::BIRTH_DATE, field::BIRTH_DATE_SIZE); }

    std::uint8_t anointedMark() const { return bytes[field::ANOINTED_MARK]; }
    bool isAnointed() const { return anointedMark() == 'A'; }
    std::uint16_t publisherId() const { return u16(field::PUBLISHER_ID); }
    std::uint16_t extensionIndex() const { return u16(field::EXTENSION_INDEX); }
    void setExtensionIndex(std::uint16_t value) { setU16(field::EXTENSION_INDEX, value); }
    std::uint16_t previousLink() const { return u16(field::PREVIOUS_LINK); }
    void setPreviousLink(std::uint16_t value) { setU16(field::PREVIOUS_LINK, value); }
    std::uint16_t placementsMonths() const { return u16(field::PLACEMENTS_MONTHS); }
    // True when month m is stored in the placement encoding.
    bool placementMonth(int m) const;

    // The whole status byte of month m (its high bits carry figure bits).
    std::uint8_t monthStatus(int m) const { return monthByte(field::MONTH_STATUS, m); }
    // Bits 0-1 of the status: 1 = auxiliary pioneer, 2 = regular pioneer.
    int serviceStatus(int m) const { return monthStatus(m) & 0x03; }
    std::uint8_t personFlags() const { return bytes[field::PERSON_FLAGS]; }
    // 2 = elder, 1 = ministerial servant, 0 and 3 = none.
    int appointment() const { return personFlags() & 0x03; }
    bool isMale() const { return (personFlags() & 0x20) != 0; }
    bool isFemale() const { return (personFlags() & 0x40) != 0; }
    // Quarter hours of month m beyond the whole hours, 0-3.
    int quarterHours(int m) const { return monthByte(field::QUARTER_HOURS, m) & 0x03; }
    std::uint8_t remarkSlot(int m) const { return monthByte(field::REMARK_SLOT, m); }
    void setRemarkSlot(int m, std::uint8_t slot);

    // Byte `offset + m` of a month array; 0 for a month outside 0-11.
    std::uint8_t monthByte(std::size_t offset, int m) const;
    std::uint16_t u16(std::size_t offset) const;
    void setU16(std::size_t offset, std::uint16_t value);
    // The text at `offset`, up to its first NUL and never beyond `size` bytes.
    std::string text(std::size_t offset, std::size_t size) const;
};

static_assert(sizeof(PublisherRecord) == RECORD_SIZE);

// Record 0 of a publisher file.
class HeaderRecord {
public:
    explicit HeaderRecord(const PublisherRecord& record) : record(record) {}

    // At most 21 bytes, even when the field holds no NUL.
    std::string dataPassword() const {
        return record.text(header::DATA_PASSWORD, header::DATA_PASSWORD_SIZE);
    }
    std::uint8_t plainTextMark() const { return record.bytes[header::PLAIN_TEXT_MARK]; }
    bool textsPlain() const { return plainTextMark() == header::PLAIN_TEXT; }
    // Year of month slot i as year - 2000 (previous-year file only); 0 outside 0-11.
    std::uint8_t yearStamp(int i) const { return record.monthByte(header::YEAR_STAMP, i); }

private:
    const PublisherRecord& record;
};

// A month's figures in the literature encoding.
struct LiteratureFigures {
    std::uint16_t books = 0;
    std::uint16_t brochures = 0;
    std::uint16_t hours = 0;
    std::uint16_t subscriptions = 0;
    std::uint16_t magazines = 0;
    std::uint16_t returnVisits = 0;
    std::uint16_t bibleStudies = 0;
};

// A month's figures in the placement encoding.
struct PlacementFigures {
    std::uint16_t placements = 0;
    std::uint16_t videoShowings = 0;
    std::uint16_t hours = 0;
    std::uint16_t returnVisits = 0;
    std::uint16_t bibleStudies = 0;
};

// Month m read in the given encoding, whatever placementsMonths says; zero outside 0-11.
LiteratureFigures literatureFigures(const PublisherRecord& record, int m);
PlacementFigures placementFigures(const PublisherRecord& record, int m);

} // namespace pelkorl
