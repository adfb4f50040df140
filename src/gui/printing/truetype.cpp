#include "printing/truetype.h"

#include <algorithm>

namespace pelkorl {

namespace {

constexpr std::uint32_t tag(const char (&t)[5]) {
    return std::uint32_t(std::uint8_t(t[0])) << 24 | std::uint32_t(std::uint8_t(t[1])) << 16 |
           std::uint32_t(std::uint8_t(t[2])) << 8 | std::uint32_t(std::uint8_t(t[3]));
}

// Big-endian readers that give 0 past the end, so a cut table reads as empty, never beyond.
std::uint32_t u8(std::span<const std::uint8_t> b, std::size_t at) {
    return at < b.size() ? b[at] : 0;
}
std::uint32_t u16(std::span<const std::uint8_t> b, std::size_t at) {
    return u8(b, at) << 8 | u8(b, at + 1);
}
std::int32_t s16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::int16_t>(u16(b, at));
}
std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at) {
    return u16(b, at) << 16 | u16(b, at + 2);
}

void put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, v >> 16);
    put16(out, v & 0xFFFF);
}

std::uint32_t checksum(const std::string& data) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < data.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k)
            word = word << 8 | (i + k < data.size() ? std::uint8_t(data[i + k]) : 0u);
        sum += word;
    }
    return sum;
}

// Composite glyph flags.
constexpr std::uint32_t ARGS_ARE_WORDS = 0x0001;
constexpr std::uint32_t HAS_SCALE = 0x0008;
constexpr std::uint32_t MORE_COMPONENTS = 0x0020;
constexpr std::uint32_t HAS_XY_SCALE = 0x0040;
constexpr std::uint32_t HAS_TWO_BY_TWO = 0x0080;

} // namespace

std::optional<TrueTypeFont> TrueTypeFont::read(std::vector<std::uint8_t> bytes) {
    TrueTypeFont font;
    font.bytes_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    const std::span<const std::uint8_t> all(*font.bytes_);
    const std::uint32_t version = u32(all, 0);
    if (version != 0x00010000 && version != tag("true"))
        return std::nullopt;
    const std::uint32_t count = u16(all, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 12 + 16 * std::size_t(i);
        const std::size_t offset = u32(all, entry + 8);
        const std::size_t length = u32(all, entry + 12);
        if (offset > all.size() || length > all.size() - offset)
            return std::nullopt;
        font.tables_[u32(all, entry)] = Table{offset, length};
    }
    for (const char* needed : {"head", "hhea", "maxp", "hmtx", "loca", "glyf", "cmap"}) {
        const char t[5] = {needed[0], needed[1], needed[2], needed[3], 0};
        if (font.table(tag(t)).empty())
            return std::nullopt;
    }
    if (!font.readMetrics() || !font.readCharacterMap())
        return std::nullopt;
    font.readName();
    return font;
}

std::span<const std::uint8_t> TrueTypeFont::table(std::uint32_t t) const {
    const auto found = tables_.find(t);
    if (found == tables_.end())
        return {};
    return std::span<const std::uint8_t>(*bytes_).subspan(found->second.offset,
                                                          found->second.length);
}

bool TrueTypeFont::readMetrics() {
    const auto head = table(tag("head"));
    const auto hhea = table(tag("hhea"));
    if (head.size() < 54 || hhea.size() < 36 || table(tag("maxp")).size() < 6)
        return false;
    unitsPerEm_ = static_cast<int>(u16(head, 18));
    if (unitsPerEm_ < 16 || unitsPerEm_ > 16384)
        return false;
    box_ = {s16(head, 36), s16(head, 38), s16(head, 40), s16(head, 42)};
    for (int& v : box_)
        v = scaled(v);
    longOffsets_ = s16(head, 50) == 1;
    ascender_ = s16(hhea, 4);
    descender_ = s16(hhea, 6);
    metricCount_ = static_cast<int>(u16(hhea, 34));
    glyphCount_ = static_cast<int>(u16(table(tag("maxp")), 4));
    const auto os2 = table(tag("OS/2"));
    capHeight_ = os2.size() >= 90 ? s16(os2, 88) : ascender_;
    return metricCount_ > 0 && glyphCount_ > 0 &&
           table(tag("hmtx")).size() >= std::size_t(metricCount_) * 4;
}

bool TrueTypeFont::readCharacterMap() {
    const auto cmap = table(tag("cmap"));
    const std::uint32_t count = u16(cmap, 2);
    std::size_t best = 0;
    std::uint32_t bestFormat = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 4 + 8 * std::size_t(i);
        const std::uint32_t platform = u16(cmap, entry);
        const std::uint32_t encoding = u16(cmap, entry + 2);
        const std::size_t offset = u32(cmap, entry + 4);
        const std::uint32_t format = u16(cmap, offset);
        const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
        if (unicode && (format == 4 || format == 12) && format > bestFormat) {
            best = offset;
            bestFormat = format;
        }
    }
    // Characters looked at, all groups or segments together: a real map covers each
    // character once, so overlapping ranges of a damaged one cannot make this long.
    std::uint32_t budget = 0x110000;
    if (bestFormat == 12) {
        const std::uint32_t groups = u32(cmap, best + 12);
        for (std::uint32_t g = 0; g < groups && best + 16 + 12 * std::size_t(g) < cmap.size();
             ++g) {
            const std::size_t at = best + 16 + 12 * std::size_t(g);
            const std::uint32_t first = u32(cmap, at);
            const std::uint32_t last = std::min<std::uint32_t>(u32(cmap, at + 4), 0x2FFFF);
            const std::uint32_t glyph = u32(cmap, at + 8);
            for (std::uint32_t c = first; c <= last && c - first < 0x10000 && budget > 0;
                 ++c, --budget) {
                if (glyph + (c - first) < std::uint32_t(glyphCount_))
                    cmap_[c] = static_cast<std::uint16_t>(glyph + (c - first));
            }
        }
    } else if (bestFormat == 4) {
        const std::size_t segments = u16(cmap, best + 6) / 2;
        const std::size_t ends = best + 14;
        const std::size_t starts = ends + 2 * segments + 2;
        const std::size_t deltas = starts + 2 * segments;
        const std::size_t ranges = deltas + 2 * segments;
        for (std::size_t s = 0; s < segments; ++s) {
            const std::uint32_t end = u16(cmap, ends + 2 * s);
            const std::uint32_t start = u16(cmap, starts + 2 * s);
            const std::uint32_t delta = u16(cmap, deltas + 2 * s);
            const std::uint32_t range = u16(cmap, ranges + 2 * s);
            for (std::uint32_t c = start; c <= end && c < 0xFFFF && budget > 0; ++c, --budget) {
                std::uint32_t glyph = 0;
                if (range == 0) {
                    glyph = (c + delta) & 0xFFFF;
                } else {
                    glyph = u16(cmap, ranges + 2 * s + range + 2 * (c - start));
                    if (glyph != 0)
                        glyph = (glyph + delta) & 0xFFFF;
                }
                if (glyph != 0 && glyph < std::uint32_t(glyphCount_))
                    cmap_[c] = static_cast<std::uint16_t>(glyph);
            }
        }
    }
    return !cmap_.empty();
}

bool TrueTypeFont::readName() {
    // The PostScript name (name id 6), in the Windows Unicode or the Macintosh record.
    const auto name = table(tag("name"));
    const std::uint32_t count = u16(name, 2);
    const std::size_t strings = u16(name, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 12 * std::size_t(i);
        if (u16(name, entry + 6) != 6)
            continue;
        const std::uint32_t platform = u16(name, entry);
        const std::size_t length = u16(name, entry + 8);
        const std::size_t at = strings + u16(name, entry + 10);
        std::string text;
        const std::size_t step = platform == 3 ? 2 : 1;
        for (std::size_t k = step - 1; k < length; k += step) {
            const std::uint32_t c = u8(name, at + k);
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                c == '-')
                text += static_cast<char>(c);
        }
        if (!text.empty()) {
            name_ = text;
            return true;
        }
    }
    return false;
}

std::uint16_t TrueTypeFont::glyph(char32_t c) const {
    const auto found = cmap_.find(c);
    return found == cmap_.end() ? 0 : found->second;
}

int TrueTypeFont::advance(std::uint16_t glyph) const {
    const auto hmtx = table(tag("hmtx"));
    const int i = std::min<int>(glyph, metricCount_ - 1);
    return scaled(static_cast<int>(u16(hmtx, 4 * std::size_t(i))));
}

std::array<int, 4> TrueTypeFont::box() const {
    return box_;
}

std::span<const std::uint8_t> TrueTypeFont::outline(std::uint16_t glyph) const {
    if (glyph >= glyphCount_)
        return {};
    const auto loca = table(tag("loca"));
    const auto glyf = table(tag("glyf"));
    std::size_t start = 0;
    std::size_t end = 0;
    if (longOffsets_) {
        start = u32(loca, 4 * std::size_t(glyph));
        end = u32(loca, 4 * std::size_t(glyph) + 4);
    } else {
        start = 2 * std::size_t(u16(loca, 2 * std::size_t(glyph)));
        end = 2 * std::size_t(u16(loca, 2 * std::size_t(glyph) + 2));
    }
    if (start >= end || end > glyf.size())
        return {};
    return glyf.subspan(start, end - start);
}

std::string TrueTypeFont::subset(const std::set<std::uint16_t>& glyphs) const {
    // The glyphs asked for, the missing glyph, and every part of a composite glyph.
    std::set<std::uint16_t> kept;
    std::vector<std::uint16_t> pending(glyphs.begin(), glyphs.end());
    pending.push_back(0);
    while (!pending.empty()) {
        const std::uint16_t g = pending.back();
        pending.pop_back();
        if (g >= glyphCount_ || !kept.insert(g).second)
            continue;
        const auto data = outline(g);
        if (s16(data, 0) >= 0)
            continue;
        std::size_t at = 10;
        for (std::uint32_t flags = MORE_COMPONENTS;
             (flags & MORE_COMPONENTS) && at < data.size();) {
            flags = u16(data, at);
            const auto part = static_cast<std::uint16_t>(u16(data, at + 2));
            if (!kept.count(part))
                pending.push_back(part);
            at += 4 + ((flags & ARGS_ARE_WORDS) ? 4 : 2);
            if (flags & HAS_SCALE)
                at += 2;
            else if (flags & HAS_XY_SCALE)
                at += 4;
            else if (flags & HAS_TWO_BY_TWO)
                at += 8;
        }
    }

    std::string glyf;
    std::string loca;
    for (int g = 0; g < glyphCount_; ++g) {
        put32(loca, static_cast<std::uint32_t>(glyf.size()));
        if (!kept.count(static_cast<std::uint16_t>(g)))
            continue;
        const auto data = outline(static_cast<std::uint16_t>(g));
        glyf.append(data.begin(), data.end());
        while (glyf.size() % 4 != 0)
            glyf += '\0';
    }
    put32(loca, static_cast<std::uint32_t>(glyf.size()));

    const auto copy = [&](const char(&t)[5]) {
        const auto data = table(tag(t));
        return std::string(data.begin(), data.end());
    };
    std::string head = copy("head");
    head.replace(8, 4, 4, '\0');                 // checkSumAdjustment, left at 0
    head.replace(50, 2, std::string("\0\1", 2)); // long loca offsets

    std::map<std::uint32_t, std::string> out;
    out[tag("head")] = head;
    out[tag("hhea")] = copy("hhea");
    out[tag("maxp")] = copy("maxp");
    out[tag("hmtx")] = copy("hmtx");
    out[tag("loca")] = loca;
    out[tag("glyf")] = glyf;
    for (const auto& hinting : {"cvt ", "fpgm", "prep"}) {
        const char t[5] = {hinting[0], hinting[1], hinting[2], hinting[3], 0};
        if (!table(tag(t)).empty())
            out[tag(t)] = copy(t);
    }

    std::string file;
    const auto count = static_cast<std::uint32_t>(out.size());
    std::uint32_t power = 1;
    std::uint32_t log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    put32(file, 0x00010000);
    put16(file, count);
    put16(file, power * 16);
    put16(file, log);
    put16(file, count * 16 - power * 16);
    std::size_t offset = 12 + 16 * out.size();
    std::string body;
    for (const auto& [t, data] : out) {
        put32(file, t);
        put32(file, checksum(data));
        put32(file, static_cast<std::uint32_t>(offset + body.size()));
        put32(file, static_cast<std::uint32_t>(data.size()));
        body += data;
        while (body.size() % 4 != 0)
            body += '\0';
    }
    return file + body;
}

} // namespace pelkorl
