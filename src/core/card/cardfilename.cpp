#include "card/cardfilename.h"

#include <cstdint>
#include <vector>

namespace pelkorl {

namespace {

constexpr char32_t REPLACEMENT = U'_';
constexpr std::string_view EXTENSION = ".pdf";

// One character of UTF-8 at `i`; a byte that starts no valid character reads as REPLACEMENT
// and counts as one byte.
char32_t decode(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) {
        return static_cast<std::uint8_t>(text[k]);
    };
    const std::uint8_t lead = byte(i);
    int length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    }
    if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) {
        ++i;
        return REPLACEMENT;
    }
    for (int k = 1; k < length; ++k) {
        const std::uint8_t b = byte(i + static_cast<std::size_t>(k));
        if ((b & 0xC0) != 0x80) {
            ++i;
            return REPLACEMENT;
        }
        c = (c << 6) | (b & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return REPLACEMENT;
    }
    i += static_cast<std::size_t>(length);
    return c;
}

void encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Control and invisible formatting characters (direction marks among them).
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF;
}

// Characters one of the common file systems refuses in a name.
bool isRefused(char32_t c) {
    return std::u32string_view(U"/\\:*?\"<>|").find(c) != std::u32string_view::npos;
}

std::vector<char32_t> characters(std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();)
        out.push_back(decode(text, i));
    return out;
}

// The name's characters made safe, blanks run together, with no dot or blank at either end.
std::vector<char32_t> safeName(std::string_view name) {
    std::vector<char32_t> out;
    for (char32_t c : characters(name)) {
        if (isControl(c) || c == U'\u00A0')
            c = U' ';
        else if (isRefused(c))
            c = REPLACEMENT;
        if (c == U' ' && (out.empty() || out.back() == U' '))
            continue;
        out.push_back(c);
    }
    const auto edge = [](char32_t c) {
        return c == U' ' || c == U'.';
    };
    while (!out.empty() && edge(out.back()))
        out.pop_back();
    std::size_t start = 0;
    while (start < out.size() && edge(out[start]))
        ++start;
    out.erase(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(start));
    return out;
}

// Lower case of the letters whose case the file systems of Windows and macOS fold: ASCII,
// Latin-1 and Latin Extended-A (every Lithuanian letter among them).
char32_t foldLetter(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    const bool evenUpper =
        (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1))
        return c + 1;
    if (c == 0x178)
        return 0xFF;
    return c;
}

std::string folded(std::string_view text) {
    std::string out;
    for (const char32_t c : characters(text))
        encode(foldLetter(c), out);
    return out;
}

// Digits and the dash only, and few: the year part never crowds out the name.
std::string safeYears(std::string_view years) {
    std::string out;
    for (const char c : years.substr(0, 16)) {
        if ((c >= '0' && c <= '9') || c == '-')
            out += c;
    }
    return out;
}

} // namespace

std::string cardFileName(std::string_view printedName, std::string_view years, int copy) {
    std::string tail(safeYears(years));
    if (copy > 1)
        tail += " (" + std::to_string(copy) + ")";
    tail += EXTENSION;

    const std::vector<char32_t> name = safeName(printedName);
    const std::size_t room = MAX_FILE_NAME_BYTES - tail.size() - 1; // one blank before tail
    std::string head;
    for (const char32_t c : name) {
        std::string one;
        encode(c, one);
        if (head.size() + one.size() > room)
            break;
        head += one;
    }
    // Cutting may leave a blank or a dot at the end.
    while (!head.empty() && (head.back() == ' ' || head.back() == '.'))
        head.pop_back();
    return head.empty() ? tail : head + " " + tail;
}

std::string CardFileNames::next(std::string_view printedName, std::string_view years) {
    for (int copy = 1;; ++copy) {
        std::string name = cardFileName(printedName, years, copy);
        if (taken_.insert(folded(name)).second)
            return name;
    }
}

} // namespace pelkorl
