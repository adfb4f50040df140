#include "text/codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace pelkorl {
namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

// Bytes 0x80-0xFF. Unassigned bytes follow the common decoders: C1 controls, except
// 0xA1 and 0xA5, which have no character at all.
constexpr std::array<char16_t, 128> UPPER = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x0088, 0x2030, 0x008A, 0x2039, 0x008C, 0x00A8, 0x02C7, 0x00B8, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x009A, 0x203A, 0x009C, 0x00AF, 0x02DB, 0x009F, // 98
    0x00A0, 0xFFFD, 0x00A2, 0x00A3, 0x00A4, 0xFFFD, 0x00A6, 0x00A7, // A0
    0x00D8, 0x00A9, 0x0156, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00C6, // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00F8, 0x00B9, 0x0157, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00E6, // B8
    0x0104, 0x012E, 0x0100, 0x0106, 0x00C4, 0x00C5, 0x0118, 0x0112, // C0
    0x010C, 0x00C9, 0x0179, 0x0116, 0x0122, 0x0136, 0x012A, 0x013B, // C8
    0x0160, 0x0143, 0x0145, 0x00D3, 0x014C, 0x00D5, 0x00D6, 0x00D7, // D0
    0x0172, 0x0141, 0x015A, 0x016A, 0x00DC, 0x017B, 0x017D, 0x00DF, // D8
    0x0105, 0x012F, 0x0101, 0x0107, 0x00E4, 0x00E5, 0x0119, 0x0113, // E0
    0x010D, 0x00E9, 0x017A, 0x0117, 0x0123, 0x0137, 0x012B, 0x013C, // E8
    0x0161, 0x0144, 0x0146, 0x00F3, 0x014D, 0x00F5, 0x00F6, 0x00F7, // F0
    0x0173, 0x0142, 0x015B, 0x016B, 0x00FC, 0x017C, 0x017E, 0x02D9, // F8
};

using ReverseEntry = std::pair<char16_t, unsigned char>;

// Code point -> byte for the upper half, sorted for binary search.
const std::array<ReverseEntry, 128>& reverseTable() {
    static const std::array<ReverseEntry, 128> table = [] {
        std::array<ReverseEntry, 128> t{};
        for (std::size_t i = 0; i < UPPER.size(); ++i) {
            t[i] = {UPPER[i], static_cast<unsigned char>(0x80 + i)};
        }
        std::sort(t.begin(), t.end());
        return t;
    }();
    return table;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        // The table holds nothing beyond the Basic Multilingual Plane.
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char encodeOne(char32_t cp) {
    if (cp < 0x80) {
        return static_cast<char>(cp);
    }
    if (cp == REPLACEMENT || cp > 0xFFFF) {
        return '?';
    }
    const auto& table = reverseTable();
    const auto it = std::lower_bound(table.begin(), table.end(), static_cast<char16_t>(cp),
                                     [](const ReverseEntry& e, char16_t c) { return e.first < c; });
    if (it != table.end() && it->first == cp) {
        return static_cast<char>(it->second);
    }
    return '?';
}

bool inRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

// Reads one well-formed UTF-8 sequence at `pos`. On success advances `pos` past it and
// returns its code point; on a malformed sequence advances past its longest valid prefix
// (at least one byte) and returns REPLACEMENT, so one '?' stands for it.
char32_t decodeUtf8(std::string_view s, std::size_t& pos) {
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(s[i]);
    };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    char32_t cp = 0;
    if (inRange(lead, 0xC2, 0xDF)) {
        length = 2;
        cp = lead & 0x1F;
    } else if (inRange(lead, 0xE0, 0xEF)) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) {
            secondLow = 0xA0; // shorter forms are overlong
        } else if (lead == 0xED) {
            secondHigh = 0x9F; // surrogates
        }
    } else if (inRange(lead, 0xF0, 0xF4)) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) {
            secondLow = 0x90;
        } else if (lead == 0xF4) {
            secondHigh = 0x8F; // beyond U+10FFFF
        }
    } else {
        ++pos; // continuation byte without a lead, C0, C1 or F5-FF
        return REPLACEMENT;
    }
    ++pos;
    for (int i = 1; i < length; ++i) {
        const unsigned char low = i == 1 ? secondLow : 0x80;
        const unsigned char high = i == 1 ? secondHigh : 0xBF;
        if (pos >= s.size() || !inRange(byte(pos), low, high)) {
            return REPLACEMENT;
        }
        cp = (cp << 6) | (byte(pos) & 0x3F);
        ++pos;
    }
    return cp;
}

} // namespace

std::string cp1257ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            appendUtf8(out, UPPER[b - 0x80]);
        }
    }
    return out;
}

std::string utf8ToCp1257(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        out.push_back(encodeOne(decodeUtf8(utf8, pos)));
    }
    return out;
}

} // namespace pelkorl
