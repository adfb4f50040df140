#include "card/cardlayout.h"

#include "text/strings.h"
#include "text/textids.h"
#include "text/trim.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace pelkorl {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool validItem(int k) {
    return k >= 0 && k < LAYOUT_ITEM_COUNT;
}
bool validColumn(int i) {
    return i >= 0 && i < TABLE_COLUMN_COUNT;
}

// A decimal integer as the C library's atoi reads it: blanks, a sign, digits. Saturates
// instead of overflowing.
int readInteger(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        value = std::min<long long>(value * 10 + (s[i] - '0'), 1LL + INT_MAX);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

std::string LayoutValue::text() const {
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    return std::string(bytes.begin(), end);
}

void LayoutValue::setText(std::string_view text) {
    const std::size_t length = std::min(text.size(), LAYOUT_VALUE_SIZE - 1);
    std::copy_n(text.begin(), length, bytes.begin());
    bytes[length] = '\0';
}

std::string CardLayout::slotText(int slot) const {
    if (slot < 0 || slot >= static_cast<int>(LAYOUT_SLOT_COUNT)) {
        return {};
    }
    return values[slot].text();
}

void CardLayout::setSlotText(int slot, std::string_view text) {
    if (slot < 0 || slot >= static_cast<int>(LAYOUT_SLOT_COUNT)) {
        return;
    }
    values[slot].setText(text);
}

std::string CardLayout::headerX(int k) const {
    return validItem(k) ? slotText(2 * k) : "";
}

std::string CardLayout::headerY(int k) const {
    return validItem(k) ? slotText(2 * k + 1) : "";
}

void CardLayout::setHeaderX(int k, std::string_view text) {
    if (validItem(k)) {
        setSlotText(2 * k, text);
    }
}

void CardLayout::setHeaderY(int k, std::string_view text) {
    if (validItem(k)) {
        setSlotText(2 * k + 1, text);
    }
}

std::string CardLayout::columnX(int i) const {
    return validColumn(i) ? slotText(SLOT_COLUMN_X + i) : "";
}

void CardLayout::setColumnX(int i, std::string_view text) {
    if (validColumn(i)) {
        setSlotText(SLOT_COLUMN_X + i, text);
    }
}

FieldAlign CardLayout::headerAlignOf(int k) const {
    return validItem(k) ? headerAlign[static_cast<std::size_t>(k)] : FieldAlign::Left;
}

FieldAlign CardLayout::columnAlignOf(int i) const {
    return validColumn(i) ? columnAlign[static_cast<std::size_t>(i)] : FieldAlign::Left;
}

void CardLayout::setHeaderAlign(int k, FieldAlign align) {
    if (validItem(k))
        headerAlign[static_cast<std::size_t>(k)] = align;
}

void CardLayout::setColumnAlign(int i, FieldAlign align) {
    if (validColumn(i))
        columnAlign[static_cast<std::size_t>(i)] = align;
}

std::array<char, CARD_LAYOUT_SIZE> CardLayout::bytes() const {
    std::array<char, CARD_LAYOUT_SIZE> out{};
    for (std::size_t s = 0; s < LAYOUT_SLOT_COUNT; ++s) {
        std::copy(values[s].bytes.begin(), values[s].bytes.end(),
                  out.begin() + s * LAYOUT_VALUE_SIZE);
    }
    return out;
}

void CardLayout::setBytes(std::span<const char> data) {
    const std::size_t count = std::min(data.size(), CARD_LAYOUT_SIZE);
    for (std::size_t i = 0; i < count; ++i) {
        values[i / LAYOUT_VALUE_SIZE].bytes[i % LAYOUT_VALUE_SIZE] = data[i];
    }
}

int cardVersionCount() {
    return readInteger(loadText(VERSION_COUNT_TEXT));
}

ColumnSet columnSetOf(int version) {
    if (version < 0 || version > INT_MAX - COLUMN_SET_DEFAULTS) {
        return ColumnSet::Literature;
    }
    const std::string set = loadText(COLUMN_SET_DEFAULTS + version);
    if (set == "Y")
        return ColumnSet::Placements;
    if (set == "M")
        return ColumnSet::Ministry;
    return ColumnSet::Literature;
}

int headerRowItem(int version, int row) {
    if (row < 0 || row >= HEADER_ITEM_COUNT)
        return -1;
    if (columnSetOf(version) != ColumnSet::Ministry)
        return row;
    switch (static_cast<HeaderItem>(row)) {
    case HeaderItem::HomeAddress:
        return static_cast<int>(HeaderItem::ServiceYear);
    case HeaderItem::HomePhone:
        return static_cast<int>(HeaderItem::AnointedBox);
    case HeaderItem::MobilePhone:
        return static_cast<int>(HeaderItem::SpecialPioneerMark);
    default:
        return row;
    }
}

std::string layoutFileName(int version) {
    if (version == 0) {
        return "cplot.dat";
    }
    return "cplot" + std::to_string(version) + ".dat";
}

bool readLayout(CardLayout& layout, std::span<const std::uint8_t> bytes) {
    layout.clear();
    const std::size_t count = std::min(bytes.size(), CARD_LAYOUT_SIZE);
    layout.setBytes(std::span<const char>(reinterpret_cast<const char*>(bytes.data()), count));
    return count == CARD_LAYOUT_SIZE;
}

void setLayoutDefaults(CardLayout& layout, int version) {
    layout.clear();
    // Beyond its room the table's ids belong to other values; such a version stays zero.
    if (version < 0 || version >= LAYOUT_VERSION_ROOM) {
        return;
    }
    const int b = LAYOUT_VERSION_STRIDE * version;
    // Items without a default (those of spare slots on the older cards) stay zero bytes.
    for (int k = 0; k < LAYOUT_ITEM_COUNT; ++k) {
        layout.setHeaderX(k, loadText(HEADER_X_DEFAULTS + b + k));
        layout.setHeaderY(k, loadText(HEADER_Y_DEFAULTS + b + k));
    }
    layout.setTableTop(loadText(TABLE_DEFAULTS + b));
    layout.setTableHeight(loadText(TABLE_DEFAULTS + b + 1));
    for (int i = 0; i < TABLE_COLUMN_COUNT; ++i) {
        layout.setColumnX(i, loadText(TABLE_DEFAULTS + b + 2 + i));
    }
    setDefaultAlignment(layout, version);
}

void setDefaultAlignment(CardLayout& layout, int version) {
    layout.headerAlign = {};
    layout.columnAlign = {};
    if (columnSetOf(version) != ColumnSet::Ministry)
        return;
    layout.setHeaderAlign(static_cast<int>(HeaderItem::ServiceYear), FieldAlign::Centre);
    layout.setColumnAlign(MINISTRY_STUDIES_ENTRY, FieldAlign::Centre);
    layout.setColumnAlign(MINISTRY_HOURS_ENTRY, FieldAlign::Centre);
}

bool normaliseInchEntry(std::string& text,
                        const std::function<void(const std::string&)>& showMessage) {
    std::string value(trimmed(text));
    if (value.empty()) {
        value = "0.00";
    }

    int points = 0;
    std::size_t lastPoint = 0;
    bool foreign = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '.') {
            ++points;
            lastPoint = i;
        } else if (!isDigit(value[i])) {
            foreign = true;
        }
    }
    if (foreign || points > 1 || (points == 1 && lastPoint >= 2)) {
        if (showMessage) {
            showMessage(loadText(INCH_ENTRY_MESSAGE));
        }
        return false;
    }

    if (points == 1 && lastPoint == 0) {
        value.insert(0, "0");
    }
    switch (value.size()) {
    case 1:
        value += ".00";
        break;
    case 2:
        value = value.substr(0, 1) + ".00";
        break;
    case 3:
        if (value[1] == '.') {
            value += "0";
        } else {
            value = value.substr(0, 1) + "." + value.substr(1);
        }
        break;
    default:
        if (value[1] != '.') {
            value = value.substr(0, 1) + "." + value.substr(1, 2);
        }
        break;
    }
    text = value;
    return true;
}

int inchesToDevice(unsigned dpi, std::string_view value) {
    const unsigned whole = !value.empty() && isDigit(value[0]) ? unsigned(value[0] - '0') : 0u;
    unsigned hundredths = 0;
    for (std::size_t i = 2; i < 4 && i < value.size() && isDigit(value[i]); ++i) {
        hundredths = hundredths * 10 + unsigned(value[i] - '0');
    }
    // 64 bits so that no resolution can wrap the product.
    const std::uint64_t device = std::uint64_t(dpi) * hundredths / 100 + std::uint64_t(dpi) * whole;
    return static_cast<int>(std::min<std::uint64_t>(device, INT_MAX));
}

int inchesToHundredths(std::string_view value) {
    std::string digits;
    digits.reserve(value.size());
    for (const char c : value) {
        if (c != '.') {
            digits.push_back(c);
        }
    }
    return readInteger(digits);
}

} // namespace pelkorl
