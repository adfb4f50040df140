#include "printing/formfont.h"

#include "records/fileio.h"
#include "toolkit/appfonts.h"

#ifdef PELKORL_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace pelkorl {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t FONT_LIMIT = 32 * 1024 * 1024;
// fontconfig may offer hundreds; a font far down its list is no better than none.
constexpr std::size_t MOST_CANDIDATES = 24;

struct Family {
    const char* name;
    std::vector<const char*> known;
};

const Family FAMILIES[] = {
    {"Liberation Sans",
     {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"}},
    {"DejaVu Sans", {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}},
};

const char* const OTHER_KNOWN[] = {"C:/Windows/Fonts/arial.ttf", "/Library/Fonts/Arial.ttf",
                                   "/System/Library/Fonts/Supplemental/Arial.ttf"};

// Only TrueType outlines are embedded; collections and CFF fonts are not read.
void addCandidate(std::vector<fs::path>& list, const fs::path& file) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return char(c | 0x20); });
    std::error_code error;
    if (ext != ".ttf" || list.size() >= MOST_CANDIDATES || !fs::is_regular_file(file, error) ||
        std::find(list.begin(), list.end(), file) != list.end())
        return;
    list.push_back(file);
}

#ifdef PELKORL_FONTCONFIG
std::string patternString(FcPattern* pattern, const char* key) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, key, 0, &value) != FcResultMatch || !value)
        return {};
    return reinterpret_cast<const char*>(value);
}

FcPattern* configured(const char* name) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

// The family's regular face, if fontconfig has that family itself.
void addFamily(std::vector<fs::path>& list, const std::string& family) {
    FcPattern* pattern = configured((family + ":style=Regular").c_str());
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match && patternString(match, FC_FAMILY) == family)
        addCandidate(list, patternString(match, FC_FILE));
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
}

void addLithuanianFonts(std::vector<fs::path>& list) {
    FcPattern* pattern = configured("sans-serif:style=Regular:lang=lt");
    FcResult result = FcResultNoMatch;
    FcFontSet* set = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
    for (int i = 0; set && i < set->nfont; ++i)
        addCandidate(list, patternString(set->fonts[i], FC_FILE));
    if (set)
        FcFontSetDestroy(set);
    FcPatternDestroy(pattern);
}
#endif

std::vector<fs::path> findCandidates() {
    std::vector<fs::path> list;
    // On Windows: its own Arial, else the Liberation Sans shipped beside the program, the face
    // the cards print with.
    addCandidate(list, systemArialFile());
    if (!shippedFontFolder().empty())
        addCandidate(list, shippedFontFolder() / SHIPPED_REGULAR_FONT);
#ifdef PELKORL_FONTCONFIG
    const bool fontconfig = FcInit();
#endif
    for (const Family& family : FAMILIES) {
#ifdef PELKORL_FONTCONFIG
        if (fontconfig)
            addFamily(list, family.name);
#endif
        for (const char* known : family.known)
            addCandidate(list, known);
    }
#ifdef PELKORL_FONTCONFIG
    if (fontconfig)
        addLithuanianFonts(list);
#endif
    for (const char* known : OTHER_KNOWN)
        addCandidate(list, known);
    return list;
}

const TrueTypeFont* loadFont(const fs::path& file) {
    static std::mutex mutex;
    static std::map<fs::path, std::unique_ptr<const TrueTypeFont>> fonts;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto known = fonts.find(file);
    if (known != fonts.end())
        return known->second.get();
    std::unique_ptr<const TrueTypeFont>& font = fonts[file];
    Bytes bytes;
    if (readWholeFile(file, FONT_LIMIT, bytes) == ReadError::None) {
        std::optional<TrueTypeFont> read =
            TrueTypeFont::read(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        if (read)
            font = std::make_unique<const TrueTypeFont>(std::move(*read));
    }
    return font.get();
}

} // namespace

std::vector<fs::path> formFontCandidates() {
    static const std::vector<fs::path> candidates = findCandidates();
    return candidates;
}

fs::path formFontFile() {
    for (const fs::path& file : formFontCandidates()) {
        if (loadFont(file))
            return file;
    }
    return {};
}

FontChoice chooseFormFont(const std::vector<fs::path>& candidates, const std::u32string& needed) {
    FontChoice choice;
    for (const fs::path& file : candidates) {
        const TrueTypeFont* font = loadFont(file);
        SkippedFont skipped{file, 0};
        if (font) {
            const auto lacking = std::find_if(needed.begin(), needed.end(), [&](char32_t c) {
                return c >= 0x20 && font->glyph(c) == 0;
            });
            if (lacking == needed.end()) {
                choice.font = font;
                return choice;
            }
            skipped.lacks = *lacking;
        }
        choice.skipped.push_back(skipped);
    }
    return choice;
}

std::u32string formLetters() {
    return U"AĄBCČDEĘĖFGHIĮYJKLMNOPRSŠTUŲŪVZŽaąbcčdeęėfghiįyjklmnoprsštuųūvzž0123456789,.:-";
}

} // namespace pelkorl
