// The layout file: reading any bytes as a layout, every accessor and conversion over what
// was read, and the bytes a save would write read back.
//
// Input: the card version (a signed byte), then the layout file as the rest.
#include "card/cardlayout.h"
#include "fuzzsupport.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <span>
#include <string>

using namespace pelkorl;
using namespace pelkorl::fuzz;

namespace {

constexpr unsigned RESOLUTIONS[] = {0,   1,    72,   96,    150,      300,
                                    600, 1200, 2400, 65535, 1u << 24, UINT_MAX};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// What inchesToDevice should give: the first character and the ones at 2 and 3, each read
// as far as digits go.
long long expectedDevice(unsigned dpi, const std::string& value) {
    const unsigned whole = !value.empty() && isDigit(value[0]) ? unsigned(value[0] - '0') : 0;
    unsigned hundredths = 0;
    for (std::size_t i = 2; i < 4 && i < value.size() && isDigit(value[i]); ++i)
        hundredths = hundredths * 10 + unsigned(value[i] - '0');
    const unsigned long long device = static_cast<unsigned long long>(dpi) * hundredths / 100 +
                                      static_cast<unsigned long long>(dpi) * whole;
    return static_cast<long long>(std::min<unsigned long long>(device, INT_MAX));
}

void checkValue(const std::string& text) {
    FUZZ_CHECK(text.size() <= LAYOUT_VALUE_SIZE);
    for (unsigned dpi : RESOLUTIONS) {
        const int device = inchesToDevice(dpi, text);
        FUZZ_CHECK(device >= 0 && device == expectedDevice(dpi, text));
    }
    (void)inchesToHundredths(text);
}

void checkAccessors(const CardLayout& layout) {
    for (int slot = -1; slot <= static_cast<int>(LAYOUT_SLOT_COUNT); ++slot) {
        const std::string text = layout.slotText(slot);
        if (slot < 0 || slot >= static_cast<int>(LAYOUT_SLOT_COUNT)) {
            FUZZ_CHECK(text.empty());
            continue;
        }
        const auto& bytes = layout.values[slot].bytes;
        FUZZ_CHECK(text == std::string(bytes.begin(), std::find(bytes.begin(), bytes.end(), '\0')));
        checkValue(text);
    }
    for (int k = -1; k <= LAYOUT_ITEM_COUNT; ++k) {
        const bool valid = k >= 0 && k < LAYOUT_ITEM_COUNT;
        FUZZ_CHECK(layout.headerX(k) == (valid ? layout.slotText(2 * k) : ""));
        FUZZ_CHECK(layout.headerY(k) == (valid ? layout.slotText(2 * k + 1) : ""));
    }
    FUZZ_CHECK(layout.headerX(HeaderItem::FemaleMark) == layout.slotText(22));
    FUZZ_CHECK(layout.tableTop() == layout.slotText(SLOT_TABLE_TOP));
    FUZZ_CHECK(layout.tableHeight() == layout.slotText(SLOT_TABLE_HEIGHT));
    for (int i = -1; i <= TABLE_COLUMN_COUNT; ++i) {
        const bool valid = i >= 0 && i < TABLE_COLUMN_COUNT;
        FUZZ_CHECK(layout.columnX(i) == (valid ? layout.slotText(SLOT_COLUMN_X + i) : ""));
    }
}

// Setters store at most 7 characters and a terminator, and touch only their own slot.
void checkSetters(CardLayout layout, const std::string& text) {
    const CardLayout before = layout;
    const std::string stored = text.substr(0, std::min(text.size(), LAYOUT_VALUE_SIZE - 1));
    const std::string expected = stored.substr(0, stored.find('\0'));
    for (int slot : {-1, 0, 17, SLOT_COLUMN_X + TABLE_COLUMN_COUNT - 1, 49, 50, INT_MAX}) {
        CardLayout changed = layout;
        changed.setSlotText(slot, text);
        if (slot < 0 || slot >= static_cast<int>(LAYOUT_SLOT_COUNT)) {
            FUZZ_CHECK(changed == layout);
            continue;
        }
        FUZZ_CHECK(changed.slotText(slot) == expected);
        FUZZ_CHECK(changed.values[slot].bytes[stored.size()] == '\0');
        for (std::size_t s = 0; s < LAYOUT_SLOT_COUNT; ++s)
            FUZZ_CHECK(static_cast<int>(s) == slot || changed.values[s] == layout.values[s]);
    }
    layout.setHeaderX(LAYOUT_ITEM_COUNT, text);
    layout.setHeaderY(-1, text);
    layout.setColumnX(TABLE_COLUMN_COUNT, text);
    FUZZ_CHECK(layout == before);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzInput input(bytes, size);
    const int version = static_cast<std::int8_t>(input.byte());
    const std::string_view file = input.rest();

    const std::span<const std::uint8_t> fileBytes(
        reinterpret_cast<const std::uint8_t*>(file.data()), file.size());

    CardLayout layout;
    layout.values[3].setText("garbage");
    const bool whole = readLayout(layout, fileBytes);
    FUZZ_CHECK(whole == (file.size() >= CARD_LAYOUT_SIZE));
    const auto held = layout.bytes();
    const std::size_t read = std::min(file.size(), CARD_LAYOUT_SIZE);
    FUZZ_CHECK(std::memcmp(held.data(), file.data(), read) == 0);
    FUZZ_CHECK(std::all_of(held.begin() + read, held.end(), [](char c) { return c == 0; }));

    checkAccessors(layout);
    checkSetters(layout, std::string(file.substr(0, 12)));

    // What would be saved reads back the same.
    CardLayout reread;
    FUZZ_CHECK(
        readLayout(reread, {reinterpret_cast<const std::uint8_t*>(held.data()), held.size()}));
    FUZZ_CHECK(reread == layout);

    // No file reads as nothing.
    CardLayout missing;
    missing.values[0].setText("1.00");
    FUZZ_CHECK(!readLayout(missing, {}));
    FUZZ_CHECK(missing == CardLayout{});

    // The fixed versions' defaults once, the fuzzed version's every time.
    static const bool fixedChecked = [] {
        for (int v : {-1, 0, 1, 4, 5, INT_MAX, INT_MIN}) {
            CardLayout defaults;
            setLayoutDefaults(defaults, v);
            checkAccessors(defaults);
            (void)columnSetOf(v);
            FUZZ_CHECK(!layoutFileName(v).empty());
        }
        return true;
    }();
    (void)fixedChecked;
    CardLayout defaults;
    setLayoutDefaults(defaults, version);
    checkAccessors(defaults);
    (void)columnSetOf(version);
    FUZZ_CHECK(!layoutFileName(version).empty());
    return 0;
}
