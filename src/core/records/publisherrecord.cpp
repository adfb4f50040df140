#include "records/publisherrecord.h"

#include <algorithm>

namespace pelkorl {

namespace {

bool validMonth(int m) {
    return m >= 0 && m < MONTHS;
}

// Bits `first`..`first + count - 1` of `value`, moved down to bit 0.
unsigned bitsOf(std::uint8_t value, int first, int count) {
    return (value >> first) & ((1u << count) - 1u);
}

} // namespace

bool PublisherRecord::placementMonth(int m) const {
    return validMonth(m) && ((placementsMonths() >> m) & 1u) != 0;
}

void PublisherRecord::setRemarkSlot(int m, std::uint8_t slot) {
    if (validMonth(m))
        bytes[field::REMARK_SLOT + static_cast<std::size_t>(m)] = slot;
}

std::uint8_t PublisherRecord::monthByte(std::size_t offset, int m) const {
    if (!validMonth(m) || offset + MONTHS > RECORD_SIZE)
        return 0;
    return bytes[offset + static_cast<std::size_t>(m)];
}

std::uint16_t PublisherRecord::u16(std::size_t offset) const {
    if (offset + 2 > RECORD_SIZE)
        return 0;
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void PublisherRecord::setU16(std::size_t offset, std::uint16_t value) {
    if (offset + 2 > RECORD_SIZE)
        return;
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::string PublisherRecord::text(std::size_t offset, std::size_t size) const {
    if (offset >= RECORD_SIZE)
        return {};
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto limit = begin + static_cast<std::ptrdiff_t>(std::min(size, RECORD_SIZE - offset));
    return std::string(begin, std::find(begin, limit, std::uint8_t{0}));
}

LiteratureFigures literatureFigures(const PublisherRecord& record, int m) {
    LiteratureFigures figures;
    if (!validMonth(m))
        return figures;
    auto b = [&](std::size_t offset) {
        return record.monthByte(offset, m);
    };
    figures.books = b(field::FIGURES_216);
    figures.brochures = static_cast<std::uint16_t>(b(field::FIGURES_228) +
                                                   (bitsOf(b(field::MONTH_STATUS), 4, 4) << 8));
    figures.hours = b(field::HOURS);
    figures.subscriptions = static_cast<std::uint16_t>(bitsOf(b(field::FIGURES_252), 0, 6));
    figures.magazines = static_cast<std::uint16_t>(b(field::FIGURES_264) +
                                                   (bitsOf(b(field::FIGURES_288), 6, 2) << 8) +
                                                   (bitsOf(b(field::MONTH_STATUS), 2, 2) << 10));
    figures.returnVisits = static_cast<std::uint16_t>(b(field::FIGURES_276) +
                                                      (bitsOf(b(field::FIGURES_252), 6, 2) << 8));
    figures.bibleStudies = static_cast<std::uint16_t>(bitsOf(b(field::FIGURES_288), 0, 6));
    return figures;
}

PlacementFigures placementFigures(const PublisherRecord& record, int m) {
    PlacementFigures figures;
    if (!validMonth(m))
        return figures;
    auto b = [&](std::size_t offset) {
        return record.monthByte(offset, m);
    };
    figures.placements = static_cast<std::uint16_t>(b(field::FIGURES_216) +
                                                    (bitsOf(b(field::FIGURES_288), 4, 4) << 8));
    figures.videoShowings = static_cast<std::uint16_t>(b(field::FIGURES_228) +
                                                       (bitsOf(b(field::FIGURES_288), 0, 4) << 8));
    figures.hours = b(field::HOURS);
    figures.returnVisits = static_cast<std::uint16_t>(b(field::FIGURES_252) +
                                                      (bitsOf(b(field::FIGURES_276), 6, 2) << 8));
    figures.bibleStudies = static_cast<std::uint16_t>(bitsOf(b(field::FIGURES_264), 0, 6));
    return figures;
}

} // namespace pelkorl
