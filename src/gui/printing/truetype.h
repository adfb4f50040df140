#pragma once
// A TrueType font read for embedding in a PDF: characters to glyphs, advance widths, the
// metrics a font descriptor needs, and a subset that keeps only the glyphs a file shows
// (glyph numbers unchanged, so the PDF can map its codes to glyphs one to one).
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace pelkorl {

class TrueTypeFont {
public:
    // The font in `bytes`, or nothing when they are not a TrueType font with outlines and a
    // Unicode character map.
    static std::optional<TrueTypeFont> read(std::vector<std::uint8_t> bytes);

    // 0 (the missing glyph) for a character the font lacks.
    std::uint16_t glyph(char32_t c) const;
    // Advance width in thousandths of the font size.
    int advance(std::uint16_t glyph) const;

    // In thousandths of the font size.
    int ascent() const { return scaled(ascender_); }
    int descent() const { return scaled(descender_); } // below the baseline: negative
    int capHeight() const { return scaled(capHeight_); }
    std::array<int, 4> box() const;
    std::string postScriptName() const { return name_; }

    // The font file with the outlines of `glyphs` (and the missing glyph, and the parts of
    // composite glyphs) only.
    std::string subset(const std::set<std::uint16_t>& glyphs) const;

private:
    int scaled(int units) const { return units * 1000 / unitsPerEm_; }
    struct Table {
        std::size_t offset = 0;
        std::size_t length = 0;
    };
    std::span<const std::uint8_t> table(std::uint32_t tag) const;
    bool readMetrics();
    bool readCharacterMap();
    bool readName();
    // The outline of `glyph` within the glyf table; empty for none.
    std::span<const std::uint8_t> outline(std::uint16_t glyph) const;

    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::map<std::uint32_t, Table> tables_;
    std::map<char32_t, std::uint16_t> cmap_;
    int unitsPerEm_ = 1000;
    int ascender_ = 0;
    int descender_ = 0;
    int capHeight_ = 0;
    std::array<int, 4> box_{};
    int glyphCount_ = 0;
    int metricCount_ = 0;
    bool longOffsets_ = false;
    std::string name_ = "Font";
};

} // namespace pelkorl
