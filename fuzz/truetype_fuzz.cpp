// The TrueType reader the filled form's font goes through: any bytes as a font, its glyphs,
// widths and metrics, and the subset embedded in a form, whose table directory must hold.
//
// Input: the font file.
#include "fuzzsupport.h"
#include "printing/truetype.h"

#include <string>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::fuzz;

namespace {

std::uint32_t u32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k)
        v = v << 8 | static_cast<unsigned char>(b[at + k]);
    return v;
}

// Every table of the subset lies within it.
void checkDirectory(const std::string& file) {
    FUZZ_CHECK(file.size() >= 12);
    const std::size_t count =
        static_cast<unsigned char>(file[4]) << 8 | static_cast<unsigned char>(file[5]);
    FUZZ_CHECK(count >= 6 && file.size() >= 12 + 16 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 12 + 16 * i;
        const std::size_t offset = u32(file, entry + 8);
        const std::size_t length = u32(file, entry + 12);
        FUZZ_CHECK(offset <= file.size() && length <= file.size() - offset);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::optional<TrueTypeFont> font =
        TrueTypeFont::read(std::vector<std::uint8_t>(bytes, bytes + size));
    if (!font)
        return 0;
    std::set<std::uint16_t> glyphs;
    for (const char32_t c : U"AaZz09 ĄąČčĘęĖėĮįŠšŲųŪūŽž€–…\uFFFD\U0001F600") {
        const std::uint16_t g = font->glyph(c);
        glyphs.insert(g);
        (void)font->advance(g);
    }
    (void)font->advance(0xFFFF);
    FUZZ_CHECK(!font->postScriptName().empty());
    (void)font->ascent();
    (void)font->descent();
    (void)font->capHeight();
    (void)font->box();
    checkDirectory(font->subset(glyphs));
    return 0;
}
