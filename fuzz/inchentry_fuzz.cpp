// Typed inch values: what is accepted comes out as a digit, a point and at least two
// digits, converts to device units without overflow, and normalises to itself again.
//
// Input: the typed text.
#include "card/cardlayout.h"
#include "fuzzsupport.h"

#include <algorithm>
#include <climits>
#include <string>

using namespace pelkorl;
using namespace pelkorl::fuzz;

namespace {

constexpr unsigned RESOLUTIONS[] = {1, 72, 96, 150, 300, 600, 1200, 2400, 4800, 65535, UINT_MAX};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The entry rule: after the blanks at both ends, only digits and at most one point, which
// stands before the second digit.
bool acceptable(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (!std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || c == '.'; }))
        return false;
    const auto points = std::count(text.begin(), text.end(), '.');
    return points == 0 || (points == 1 && text.find('.') < 2);
}

bool normalForm(const std::string& text) {
    return text.size() >= 4 && isDigit(text[0]) && text[1] == '.' &&
           std::all_of(text.begin() + 2, text.end(), isDigit);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string typed(reinterpret_cast<const char*>(bytes), size);
    std::string text = typed;
    int messages = 0;
    const auto show = [&messages](const std::string& message) {
        FUZZ_CHECK(!message.empty());
        ++messages;
    };
    const bool accepted = normaliseInchEntry(text, show);
    FUZZ_CHECK(accepted == acceptable(typed));
    if (!accepted) {
        FUZZ_CHECK(messages == 1 && text == typed);
        std::string again = typed;
        FUZZ_CHECK(!normaliseInchEntry(again, nullptr) && again == typed);
    } else {
        FUZZ_CHECK(messages == 0);
        FUZZ_CHECK(normalForm(text));
        std::string again = text;
        FUZZ_CHECK(normaliseInchEntry(again, show) && again == text && messages == 0);

        const unsigned whole = unsigned(text[0] - '0');
        const unsigned hundredths = unsigned(text[2] - '0') * 10 + unsigned(text[3] - '0');
        for (unsigned dpi : RESOLUTIONS) {
            const unsigned long long exact =
                static_cast<unsigned long long>(dpi) * hundredths / 100 +
                static_cast<unsigned long long>(dpi) * whole;
            const int device = inchesToDevice(dpi, text);
            FUZZ_CHECK(device >= 0);
            FUZZ_CHECK(static_cast<unsigned long long>(device) ==
                       std::min<unsigned long long>(exact, INT_MAX));
        }
        // Hundredths of a two-place value are its digits.
        if (text.size() == 4)
            FUZZ_CHECK(inchesToHundredths(text) == static_cast<int>(whole * 100 + hundredths));
        FUZZ_CHECK(inchesToHundredths(text) >= 0);
    }
    // Whatever was typed converts without fault.
    for (unsigned dpi : RESOLUTIONS)
        FUZZ_CHECK(inchesToDevice(dpi, typed) >= 0);
    (void)inchesToHundredths(typed);
    return 0;
}
