#pragma once
// The font the filled form's texts are drawn with: the first of the candidates that reads
// as a TrueType font and has a glyph for every character the texts need. A file that is
// damaged or lacks a letter is skipped and named.
#include "printing/truetype.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pelkorl {

// Liberation Sans, DejaVu Sans, then the others fontconfig offers for Lithuanian, as
// fontconfig or the usual folders give them.
std::vector<std::filesystem::path> formFontCandidates();

// The first candidate that reads as a TrueType font; empty when there is none.
std::filesystem::path formFontFile();

struct SkippedFont {
    std::filesystem::path file;
    char32_t lacks = 0; // 0: the file is not a TrueType font it can read
};

struct FontChoice {
    const TrueTypeFont* font = nullptr; // null: no candidate has every character
    std::vector<SkippedFont> skipped;   // the candidates tried before it, and why not
};

// Each file is read once; the fonts live as long as the program.
FontChoice chooseFormFont(const std::vector<std::filesystem::path>& candidates,
                          const std::u32string& needed);

// The Lithuanian alphabet, digits and the punctuation a card shows: what any font for the
// form needs.
std::u32string formLetters();

} // namespace pelkorl
