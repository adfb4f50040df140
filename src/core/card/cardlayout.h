#pragma once
// The card layout: where each printed item of one card version stands, as inch texts
// "D.DD" in fixed 8-byte slots, read and written raw as the version's layout file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace pelkorl {

constexpr std::size_t LAYOUT_VALUE_SIZE = 8;
constexpr std::size_t LAYOUT_SLOT_COUNT = 50;
constexpr std::size_t CARD_LAYOUT_SIZE = LAYOUT_VALUE_SIZE * LAYOUT_SLOT_COUNT;

constexpr int HEADER_ITEM_COUNT = 12; // items with rows of their own in the detailed layout
constexpr int LAYOUT_ITEM_COUNT = 15; // with the items kept in spare slots 24-29
constexpr int TABLE_COLUMN_COUNT = 7;
constexpr int SLOT_TABLE_TOP = 40;
constexpr int SLOT_TABLE_HEIGHT = 41;
constexpr int SLOT_COLUMN_X = 42;

// Card header items, in the order of their (x, y) pairs at the start of the layout.
enum class HeaderItem : int {
    Name = 0,
    HomeAddress = 1,
    HomePhone = 2,
    MobilePhone = 3,
    BirthDate = 4,
    DateImmersed = 5,
    AnointedMark = 6, // anointed or other sheep
    ElderMark = 7,
    PioneerMark = 8,
    ServantMark = 9,
    MaleMark = 10,
    FemaleMark = 11,
    // Only the 11/23 card uses these; they live in spare slots, zero on the older cards.
    ServiceYear = 12,
    AnointedBox = 13, // there AnointedMark is the other-sheep box, with its own y
    SpecialPioneerMark = 14,
};

// Which monthly figures a card version prints; it decides what each table column means.
// Ministry is the 11/23 card's: shared in ministry, Bible studies, auxiliary pioneer, hours.
enum class ColumnSet { Literature, Placements, Ministry };

// On the ministry set's card, columnX entries 4 and 5 place the form: the month column's
// right edge and the card's width. Entries 0-3 are shared in ministry, Bible studies,
// auxiliary pioneer and hours.
constexpr int MINISTRY_STUDIES_ENTRY = 1;
constexpr int MINISTRY_HOURS_ENTRY = 3;
constexpr int MINISTRY_MONTH_COLUMN_ENTRY = 4;
constexpr int MINISTRY_CARD_WIDTH_ENTRY = 5;

// One position: a NUL-terminated text of at most 7 characters in 8 bytes. Bytes after
// the terminator are kept as they are, since the layout file carries them.
struct LayoutValue {
    std::array<char, LAYOUT_VALUE_SIZE> bytes{};

    // The text up to its terminator, or all 8 bytes when a damaged slot has none.
    std::string text() const;
    // Stores the first 7 characters and a terminator; the rest of the slot stays.
    void setText(std::string_view text);

    friend bool operator==(const LayoutValue&, const LayoutValue&) = default;
};

// How a datum of the 11/23 card stands at its x, as the fillable form's field aligns it (its
// /Q): its text starts there, is centred on it, or ends there.
enum class FieldAlign : std::uint8_t { Left = 0, Centre = 1, Right = 2 };

// 50 slots: header (x, y) pairs 0-23, spare 24-39 (24-29: items 12-14), table top 40, table height
// 41, column positions 42-48, spare 49.
struct CardLayout {
    std::array<LayoutValue, LAYOUT_SLOT_COUNT> values{};
    // Not in the layout file: a file read gets its version's (setDefaultAlignment). Only the
    // 11/23 card uses them.
    std::array<FieldAlign, LAYOUT_ITEM_COUNT> headerAlign{};
    std::array<FieldAlign, TABLE_COLUMN_COUNT> columnAlign{};

    // Slot access; an index outside 0-49 reads "" and writes nothing.
    std::string slotText(int slot) const;
    void setSlotText(int slot, std::string_view text);

    // Items (0 to LAYOUT_ITEM_COUNT - 1) and columns outside their ranges read "" and write
    // nothing.
    std::string headerX(int k) const;
    std::string headerY(int k) const;
    std::string headerX(HeaderItem item) const { return headerX(static_cast<int>(item)); }
    std::string headerY(HeaderItem item) const { return headerY(static_cast<int>(item)); }
    void setHeaderX(int k, std::string_view text);
    void setHeaderY(int k, std::string_view text);

    std::string tableTop() const { return slotText(SLOT_TABLE_TOP); }
    std::string tableHeight() const { return slotText(SLOT_TABLE_HEIGHT); }
    void setTableTop(std::string_view text) { setSlotText(SLOT_TABLE_TOP, text); }
    void setTableHeight(std::string_view text) { setSlotText(SLOT_TABLE_HEIGHT, text); }

    std::string columnX(int i) const;
    void setColumnX(int i, std::string_view text);

    // The 400 bytes as they go to the layout file.
    std::array<char, CARD_LAYOUT_SIZE> bytes() const;
    // Copies up to 400 bytes from the start; bytes beyond `data` stay as they are.
    void setBytes(std::span<const char> data);
    // Items and columns outside their ranges read Left and write nothing.
    FieldAlign headerAlignOf(int k) const;
    FieldAlign headerAlignOf(HeaderItem item) const {
        return headerAlignOf(static_cast<int>(item));
    }
    FieldAlign columnAlignOf(int i) const;
    void setHeaderAlign(int k, FieldAlign align);
    void setColumnAlign(int i, FieldAlign align);

    void clear() { *this = CardLayout{}; }

    friend bool operator==(const CardLayout&, const CardLayout&) = default;
};

static_assert(sizeof(LayoutValue) == LAYOUT_VALUE_SIZE);

// Number of selectable card versions (string 146).
int cardVersionCount();

ColumnSet columnSetOf(int version);

// The layout item that row `row` (0-11) of the detailed layout's header group edits for a
// card version, or -1 when the version has no use for that row. Rows edit their own items
// except on the 11/23 card, which has no address or telephones and two hope boxes.
int headerRowItem(int version, int row);

// "cplot.dat" for version 0, "cplot<v>.dat" for any other.
std::string layoutFileName(int version);

// The layout held in the first 400 bytes of a layout file's bytes. True only when all 400
// were there; otherwise the layout holds zeros and whatever part there was, and the caller
// is expected to fall back to setLayoutDefaults.
bool readLayout(CardLayout& layout, std::span<const std::uint8_t> bytes);

// The version's default layout from the string table; spare slots become zero bytes.
void setLayoutDefaults(CardLayout& layout, int version);

// The version's alignments alone: the 11/23 card centres its service year, Bible studies and
// hours, as the branch's form does; everything else is Left.
void setDefaultAlignment(CardLayout& layout, int version);

// Checks a typed inch value and rewrites it into the form D.DD. On rejection hands the
// message text (string 116) to `showMessage` once, leaves `text` as it was and returns false.
bool normaliseInchEntry(std::string& text,
                        const std::function<void(const std::string&)>& showMessage);

// An inch text in device units: dpi * whole + dpi * hundredths / 100, remainder dropped.
// Reads only the first character and the characters at positions 2 and 3.
int inchesToDevice(unsigned dpi, std::string_view value);

// An inch text in hundredths: the points removed, the rest read as a decimal integer.
int inchesToHundredths(std::string_view value);

} // namespace pelkorl
