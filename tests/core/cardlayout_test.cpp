#include "card/cardlayout.h"
#include "card/figures.h"
#include "card/formlayout.h"
#include "s21form.h"
#include "settings/layoutfile.h"
#include "text/strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#ifdef __unix__
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace pelkorl {
namespace {

class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("pelkorl-layout-" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    return names;
}

// 400 bytes with every value 0-255 and no terminator in some slots.
std::string patternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 37 + 11) % 256);
    }
    return bytes;
}

std::string layoutBytes(const CardLayout& layout) {
    const auto b = layout.bytes();
    return {b.begin(), b.end()};
}

// ---- Typed inch values -------------------------------------------------------------

struct EntryCase {
    const char* typed;
    const char* normalised; // nullptr: rejected
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << '"' << c.typed << '"';
}

class NormaliseTest : public testing::TestWithParam<EntryCase> {};

TEST_P(NormaliseTest, acceptsOrRejectsWithOneMessage) {
    std::string text = GetParam().typed;
    std::vector<std::string> shown;
    const bool accepted =
        normaliseInchEntry(text, [&](const std::string& message) { shown.push_back(message); });
    if (GetParam().normalised) {
        EXPECT_TRUE(accepted);
        EXPECT_EQ(text, GetParam().normalised);
        EXPECT_TRUE(shown.empty());
    } else {
        EXPECT_FALSE(accepted);
        EXPECT_EQ(text, GetParam().typed); // the caller keeps the refused text
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0], "Skaitmenis įveskite su 2-iem skaičiais po taško.\n"
                            "Pavyzdžiui:  1.00  1.25   0.88\nLimitas - 9.99");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, NormaliseTest,
    testing::Values(EntryCase{"", "0.00"}, EntryCase{"   ", "0.00"}, EntryCase{".", "0.00"},
                    EntryCase{".5", "0.50"}, EntryCase{".25", "0.25"}, EntryCase{"5", "5.00"},
                    EntryCase{"5.", "5.00"}, EntryCase{"0", "0.00"}, EntryCase{"12", "1.00"},
                    EntryCase{"99", "9.00"}, EntryCase{"125", "1.25"}, EntryCase{"1234", "1.23"},
                    EntryCase{"12345", "1.23"}, EntryCase{" 0.5 ", "0.50"},
                    EntryCase{"\t0.5\r\n", "0.50"}, EntryCase{"5.2", "5.20"},
                    EntryCase{"1.25", "1.25"}, EntryCase{"9.99", "9.99"},
                    EntryCase{"0.888", "0.888"}, EntryCase{"1.2345", "1.2345"}));

INSTANTIATE_TEST_SUITE_P(Rejected, NormaliseTest,
                         testing::Values(EntryCase{"10.5", nullptr}, EntryCase{"12.5", nullptr},
                                         EntryCase{"1.2.3", nullptr}, EntryCase{"..", nullptr},
                                         EntryCase{"1,25", nullptr}, EntryCase{"-1", nullptr},
                                         EntryCase{"+1", nullptr}, EntryCase{"1a", nullptr},
                                         EntryCase{"1 2", nullptr}, EntryCase{"ą", nullptr},
                                         EntryCase{" 1.2x ", nullptr}));

TEST(NormaliseTest, rejectsWithoutAMessageSink) {
    std::string text = "abc";
    EXPECT_FALSE(normaliseInchEntry(text, nullptr));
    EXPECT_EQ(text, "abc");
}

struct DeviceCase {
    unsigned dpi;
    const char* value;
    int expected;
};

class InchesToDeviceTest : public testing::TestWithParam<DeviceCase> {};

TEST_P(InchesToDeviceTest, dropsTheRemainder) {
    EXPECT_EQ(inchesToDevice(GetParam().dpi, GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, InchesToDeviceTest,
                         testing::Values(DeviceCase{300, "1.32", 396}, DeviceCase{300, "0.05", 15},
                                         DeviceCase{96, "0.22", 21}, DeviceCase{600, "1.25", 750},
                                         DeviceCase{300, "9.99", 2997}, DeviceCase{300, "0.20", 60},
                                         DeviceCase{600, "0.20", 120}, DeviceCase{600, "0.00", 0},
                                         DeviceCase{72, "0.01", 0},
                                         DeviceCase{300, "1.5", 315}, // read as 1.05
                                         DeviceCase{300, "1.255", 375},
                                         DeviceCase{300, "1.2345", 369}, DeviceCase{300, "", 0},
                                         DeviceCase{300, "abc", 0}, DeviceCase{300, "x.50", 150},
                                         DeviceCase{300, "1.x5", 300}, DeviceCase{300, "1.5x", 315},
                                         DeviceCase{300, "-1.00", 0}, DeviceCase{0, "9.99", 0},
                                         DeviceCase{4294967295u, "9.99", INT_MAX}));

struct HundredthsCase {
    const char* value;
    int expected;
};

class InchesToHundredthsTest : public testing::TestWithParam<HundredthsCase> {};

TEST_P(InchesToHundredthsTest, readsTheDigitsWithoutPoints) {
    EXPECT_EQ(inchesToHundredths(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, InchesToHundredthsTest,
                         testing::Values(HundredthsCase{"1.32", 132}, HundredthsCase{"0.05", 5},
                                         HundredthsCase{"9.99", 999}, HundredthsCase{"1.5", 15},
                                         HundredthsCase{".5", 5}, HundredthsCase{"1.2.3", 123},
                                         HundredthsCase{"1.2345", 12345},
                                         HundredthsCase{" 1.50", 150}, HundredthsCase{"1.5x", 15},
                                         HundredthsCase{"", 0}, HundredthsCase{"abc", 0},
                                         HundredthsCase{"99999999999", INT_MAX}));

// ---- The layout record and its defaults --------------------------------------------

struct DefaultsCase {
    int version;
    std::vector<const char*> header;       // x, y of items 0-11, then of those in spare slots 24-29
    std::vector<const char*> table;        // top, height, columns 0-6
    FieldAlign centred = FieldAlign::Left; // service year, Bible studies and hours; others Left
};

class DefaultsTest : public testing::TestWithParam<DefaultsCase> {};

TEST_P(DefaultsTest, fillsEveryValueAndZeroesTheRest) {
    CardLayout layout;
    layout.setBytes(std::string(CARD_LAYOUT_SIZE, 'Z'));
    setLayoutDefaults(layout, GetParam().version);

    // The expected record, built byte by byte: each text, then zero bytes.
    std::string expected(CARD_LAYOUT_SIZE, '\0');
    const auto put = [&](int slot, const std::string& text) {
        expected.replace(std::size_t(slot) * 8, text.size(), text);
    };
    for (std::size_t s = 0; s < GetParam().header.size(); ++s) {
        put(static_cast<int>(s), GetParam().header[s]);
    }
    for (int i = 0; i < 9; ++i) {
        put(SLOT_TABLE_TOP + i, GetParam().table[i]);
    }
    EXPECT_EQ(layoutBytes(layout), expected);

    CardLayout aligned;
    const FieldAlign centred = GetParam().centred;
    aligned.setHeaderAlign(static_cast<int>(HeaderItem::ServiceYear), centred);
    aligned.setColumnAlign(MINISTRY_STUDIES_ENTRY, centred);
    aligned.setColumnAlign(MINISTRY_HOURS_ENTRY, centred);
    EXPECT_EQ(layout.headerAlign, aligned.headerAlign);
    EXPECT_EQ(layout.columnAlign, aligned.columnAlign);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DefaultsTest,
    testing::Values(
        DefaultsCase{0,
                     {"0.60", "0.22", "0.30", "0.38", "0.50", "0.57", "2.50", "0.57",
                      "4.25", "0.57", "0.50", "0.81", "3.00", "0.81", "3.90", "0.75",
                      "3.90", "0.86", "4.55", "0.75", "5.20", "0.00", "5.20", "0.10"},
                     {"1.32", "1.99", "1.00", "1.60", "2.30", "2.90", "3.40", "3.40", "3.60"}},
        DefaultsCase{1,
                     {"0.60", "0.22", "0.30", "0.38", "0.30", "0.57", "2.40", "0.57",
                      "4.25", "0.57", "0.60", "0.81", "3.00", "0.81", "3.60", "0.75",
                      "3.60", "0.86", "4.25", "0.75", "5.29", "0.00", "5.29", "0.10"},
                     {"1.32", "1.99", "0.62", "1.19", "1.90", "2.45", "3.00", "3.60", "3.78"}},
        DefaultsCase{2,
                     {"0.74", "0.92", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00",
                      "1.27", "1.15", "1.50", "1.37", "5.37", "1.39", "0.27", "1.61",
                      "3.04", "1.61", "1.15", "1.61", "5.37", "1.16", "6.78", "1.16",
                      "0.83", "2.47", "6.78", "1.39", "4.71", "1.61"},
                     {"2.84", "3.31", "1.86", "2.88", "3.82", "4.84", "1.39", "8.02", "5.38"},
                     FieldAlign::Centre}));

TEST(FormLayoutTest, theNovember2023DefaultsAreTheBranchsForm) {
    CardLayout defaults;
    setLayoutDefaults(defaults, 2);
    // Every slot the form sets starts elsewhere; address and telephones are not on it.
    CardLayout layout = defaults;
    for (int slot = 0; slot < SLOT_COLUMN_X + TABLE_COLUMN_COUNT; ++slot)
        if ((slot < 2 || slot > 7) && (slot < 30 || slot > 39))
            layout.setSlotText(slot, "9.99");
    const std::vector<FormFieldRect> form = test::s21FormFields();
    EXPECT_EQ(layoutFromFormFields(form, layout).error, FormLayoutError::None);
    EXPECT_EQ(layout, defaults);
}

struct FormCase {
    const char* name;
    std::vector<FormFieldRect> form;
    FormLayoutError error;
    const char* field;                              // named by the error
    std::vector<std::pair<int, const char*>> slots; // expected where there is no error
    // Expected there too: the service year's, Bible studies', hours' and remarks' alignments.
    std::array<FieldAlign, 4> aligns = {FieldAlign::Centre, FieldAlign::Centre, FieldAlign::Centre,
                                        FieldAlign::Left};
};

void PrintTo(const FormCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<FormFieldRect> changed(std::vector<FormFieldRect> form, const std::string& name,
                                   double x, double pageHeight = test::A4_HEIGHT_POINTS) {
    for (FormFieldRect& f : form)
        if (f.name == name) {
            f.x = x;
            f.pageHeight = pageHeight;
        }
    return form;
}

// Every field whose name starts with `prefix` aligned as /Q `quadding` says.
std::vector<FormFieldRect> quadded(std::vector<FormFieldRect> form, const std::string& prefix,
                                   int quadding) {
    for (FormFieldRect& f : form)
        if (f.name.rfind(prefix, 0) == 0)
            f.quadding = quadding;
    return form;
}

std::vector<FormFieldRect> without(std::vector<FormFieldRect> form, const std::string& name) {
    std::erase_if(form, [&](const FormFieldRect& f) { return f.name == name; });
    return form;
}

class FormLayoutTest : public testing::TestWithParam<FormCase> {};

TEST_P(FormLayoutTest, setsEveryPositionOrNothing) {
    CardLayout layout;
    setLayoutDefaults(layout, 0);
    const CardLayout before = layout;
    const FormLayoutResult result = layoutFromFormFields(GetParam().form, layout);
    EXPECT_EQ(result.error, GetParam().error);
    EXPECT_EQ(result.field, GetParam().field);
    if (GetParam().error != FormLayoutError::None) {
        EXPECT_EQ(layout, before);
        return;
    }
    for (const auto& [slot, text] : GetParam().slots)
        EXPECT_EQ(layout.slotText(slot), text) << slot;
    const std::array<FieldAlign, 4> aligns = {layout.headerAlignOf(HeaderItem::ServiceYear),
                                              layout.columnAlignOf(1), layout.columnAlignOf(3),
                                              layout.columnAlignOf(6)};
    EXPECT_EQ(aligns, GetParam().aligns);
    EXPECT_EQ(layout.headerAlignOf(HeaderItem::Name), FieldAlign::Left);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FormLayoutTest,
    testing::Values(
        // Name field 51.48 pt from the left, its top 64.03 pt down, 15.64 pt high: the 11.17 pt
        // cell 2.23 pt lower, the text 2 pt in. The elder box's "x" (5 pt wide, ink 5.19 pt
        // high, 5.21 pt from its cell's top to the ink's middle): 19.51, 116.03 pt.
        FormCase{"englishEdition",
                 test::s21FormFields(),
                 FormLayoutError::None,
                 "",
                 {{0, "0.74"},
                  {1, "0.92"},
                  {14, "0.27"},
                  {15, "1.61"},
                  {40, "2.84"},
                  {41, "3.31"},
                  {42, "1.86"},
                  {43, "2.88"}, // centred: the studies field's middle, 173.48 + 67.61 / 2 pt
                  {45, "4.84"},
                  {24, "0.83"},
                  {48, "5.38"}}},
        // Each field's /Q decides: left 2 pt in, right 2 pt before its end.
        FormCase{"leftAlignedFields",
                 quadded(test::s21FormFields(), "9", 0),
                 FormLayoutError::None,
                 "",
                 {{43, "2.44"}, {45, "4.40"}, {24, "0.30"}},
                 {FieldAlign::Left, FieldAlign::Left, FieldAlign::Left, FieldAlign::Left}},
        FormCase{"rightAlignedHoursAndRemarks",
                 quadded(quadded(test::s21FormFields(), "904_", 2), "905_", 2),
                 FormLayoutError::None,
                 "",
                 {{45, "5.28"}, {48, "7.97"}, {47, "8.02"}},
                 {FieldAlign::Centre, FieldAlign::Centre, FieldAlign::Right, FieldAlign::Right}},
        FormCase{"quaddingOutOfRangeIsLeft",
                 quadded(test::s21FormFields(), "902_", 7),
                 FormLayoutError::None,
                 "",
                 {{43, "2.44"}},
                 {FieldAlign::Centre, FieldAlign::Left, FieldAlign::Centre, FieldAlign::Left}},
        // The shared boxes and the hours further right, or left; the month column's rule with
        // the boxes.
        FormCase{"polishEditionMovesTwoColumns",
                 test::s21FormFields(test::S21_POLISH),
                 FormLayoutError::None,
                 "",
                 {{42, "1.94"}, {46, "1.54"}, {45, "5.00"}, {44, "3.82"}, {48, "5.38"}}},
        FormCase{"japaneseEditionMovesTwoColumns",
                 test::s21FormFields(test::S21_JAPANESE),
                 FormLayoutError::None,
                 "",
                 {{42, "1.72"}, {46, "1.11"}, {45, "4.70"}, {40, "2.84"}}},
        FormCase{"czechEditionHasLowerRows",
                 test::s21FormFields(test::S21_CZECH),
                 FormLayoutError::None,
                 "",
                 {{40, "3.00"}, {41, "3.31"}, {45, "4.84"}, {1, "0.92"}}},
        FormCase{"spanishEditionHasWiderHours",
                 test::s21FormFields(test::S21_SPANISH),
                 FormLayoutError::None,
                 "",
                 {{45, "5.04"}, {48, "5.38"}}},
        FormCase{"missingTotal",
                 without(test::s21FormFields(), "904_32_S21_Value"),
                 FormLayoutError::MissingField,
                 "904_32_S21_Value",
                 {}},
        FormCase{"missingCheckBox",
                 without(test::s21FormFields(), "900_8_CheckBox"),
                 FormLayoutError::MissingField,
                 "900_8_CheckBox",
                 {}},
        FormCase{"totalNotUnderTheHours",
                 changed(test::s21FormFields(), "904_32_S21_Value", 173.48),
                 FormLayoutError::TotalMisplaced,
                 "904_32_S21_Value",
                 {}},
        // Beyond 9.99 in from the left, or above the page's top.
        FormCase{"fieldBeyondReach",
                 changed(test::s21FormFields(), "900_1_Text_SanSerif", 720),
                 FormLayoutError::OutOfRange,
                 "900_1_Text_SanSerif",
                 {}},
        FormCase{"fieldAboveThePage",
                 changed(test::s21FormFields(), "900_2_Text_SanSerif", 89.33, 700),
                 FormLayoutError::OutOfRange,
                 "900_2_Text_SanSerif",
                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderRowsTest, theNovember2023CardEditsItsSpareItemsInTheUnusedRows) {
    for (const int version : {0, 1}) {
        for (int row = 0; row < HEADER_ITEM_COUNT; ++row)
            EXPECT_EQ(headerRowItem(version, row), row) << version;
    }
    const std::vector<int> rows = {0, 12, 13, 14, 4, 5, 6, 7, 8, 9, 10, 11};
    for (int row = 0; row < HEADER_ITEM_COUNT; ++row)
        EXPECT_EQ(headerRowItem(2, row), rows[static_cast<std::size_t>(row)]) << row;
    EXPECT_EQ(headerRowItem(2, 12), -1);
    EXPECT_EQ(headerRowItem(0, -1), -1);

    CardLayout layout;
    layout.setHeaderX(static_cast<int>(HeaderItem::ServiceYear), "4.70");
    layout.setHeaderY(static_cast<int>(HeaderItem::SpecialPioneerMark), "0.94");
    EXPECT_EQ(layout.slotText(24), "4.70");
    EXPECT_EQ(layout.slotText(29), "0.94");
}

TEST(DefaultsTest, versionZeroPrintsWhereTheCardExpectsIt) {
    CardLayout layout;
    setLayoutDefaults(layout, 0);
    const int left = inchesToDevice(300, "0.20");
    const int top = inchesToDevice(300, "0.00");
    EXPECT_EQ(inchesToDevice(300, layout.headerX(HeaderItem::Name)) + left, 240);
    EXPECT_EQ(inchesToDevice(300, layout.headerY(HeaderItem::Name)) + top, 66);
    EXPECT_EQ(inchesToDevice(300, layout.headerX(HeaderItem::BirthDate)) + left, 1335);
    EXPECT_EQ(inchesToDevice(300, layout.headerY(HeaderItem::BirthDate)) + top, 171);
    EXPECT_EQ(inchesToDevice(300, layout.tableTop()), 396);
    EXPECT_EQ(inchesToDevice(300, layout.tableHeight()) / 12, 49);
    EXPECT_EQ(inchesToDevice(300, layout.columnX(2)) + left, 750);
    EXPECT_EQ(inchesToDevice(300, layout.columnX(6)) + left, 1140);
}

TEST(DefaultsTest, versionsOutsideTheTableStayEmpty) {
    for (const int version : {-1, 5, INT_MIN, INT_MAX}) {
        CardLayout layout;
        layout.setBytes(std::string(CARD_LAYOUT_SIZE, 'Z'));
        setLayoutDefaults(layout, version);
        EXPECT_EQ(layout, CardLayout{}) << version;
    }
}

TEST(CardVersionTest, countColumnSetAndFileName) {
    EXPECT_EQ(cardVersionCount(), 3);
    EXPECT_EQ(columnSetOf(0), ColumnSet::Placements);
    EXPECT_EQ(columnSetOf(2), ColumnSet::Ministry);
    for (const int version : {1, 3, 4, 5, -1, 200, INT_MAX, INT_MIN}) {
        EXPECT_EQ(columnSetOf(version), ColumnSet::Literature) << version;
    }
    EXPECT_EQ(layoutFileName(0), "cplot.dat");
    EXPECT_EQ(layoutFileName(1), "cplot1.dat");
    EXPECT_EQ(layoutFileName(4), "cplot4.dat");
    EXPECT_EQ(layoutFileName(12), "cplot12.dat");
}

TEST(LayoutValueTest, cutsToSevenAndLeavesTheTail) {
    CardLayout layout;
    layout.setSlotText(5, "1.234567890");
    EXPECT_EQ(layout.slotText(5), "1.23456");
    EXPECT_EQ(layout.values[5].bytes[7], '\0');

    layout.setSlotText(5, "12");
    EXPECT_EQ(layout.slotText(5), "12");
    EXPECT_EQ(std::string(layout.values[5].bytes.begin(), layout.values[5].bytes.end()),
              std::string("12\0"
                          "3456\0",
                          8));
}

TEST(LayoutValueTest, slotWithoutTerminatorIsReadNoFurtherThanItsBytes) {
    CardLayout layout;
    std::string bytes(CARD_LAYOUT_SIZE, 'Q');
    bytes.replace(8, 5, std::string("1.00\0", 5));
    layout.setBytes(bytes);
    EXPECT_EQ(layout.slotText(0), "QQQQQQQQ");
    EXPECT_EQ(layout.headerY(0), "1.00");
    EXPECT_EQ(layout.slotText(49), "QQQQQQQQ");
}

TEST(LayoutValueTest, outOfRangeAccessIsHarmless) {
    CardLayout layout;
    setLayoutDefaults(layout, 0);
    const CardLayout before = layout;
    for (const int bad : {-1, LAYOUT_ITEM_COUNT, 50, INT_MIN, INT_MAX}) {
        EXPECT_EQ(layout.headerX(bad), "");
        EXPECT_EQ(layout.headerY(bad), "");
        layout.setHeaderX(bad, "9.99");
        layout.setHeaderY(bad, "9.99");
        layout.setSlotText(bad == LAYOUT_ITEM_COUNT ? 50 : bad, "9.99");
    }
    EXPECT_EQ(layout.columnX(7), "");
    EXPECT_EQ(layout.columnX(-1), "");
    layout.setColumnX(7, "9.99");
    EXPECT_EQ(layout, before);
}

// ---- The layout file ---------------------------------------------------------------

struct LoadCase {
    std::size_t fileSize;
    bool complete;
};

class LoadLayoutTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadLayoutTest, needsAllFourHundredBytes) {
    TempFolder folder;
    const std::string content = patternBytes(GetParam().fileSize);
    writeFile(folder.path() / "cplot.dat", content);

    CardLayout layout;
    layout.setBytes(std::string(CARD_LAYOUT_SIZE, 'Z'));
    EXPECT_EQ(loadLayout(layout, 0, folder.path()), GetParam().complete);

    std::string expected = content.substr(0, CARD_LAYOUT_SIZE);
    expected.resize(CARD_LAYOUT_SIZE, '\0'); // what was not read is zero
    EXPECT_EQ(layoutBytes(layout), expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LoadLayoutTest,
                         testing::Values(LoadCase{0, false}, LoadCase{8, false},
                                         LoadCase{399, false}, LoadCase{400, true},
                                         LoadCase{401, true}, LoadCase{4000, true}));

TEST(LayoutFileTest, missingOrUnreadableFileGivesNothing) {
    TempFolder folder;
    CardLayout layout;
    layout.setBytes(std::string(CARD_LAYOUT_SIZE, 'Z'));
    EXPECT_FALSE(loadLayout(layout, 0, folder.path()));
    EXPECT_EQ(layout, CardLayout{});

    fs::create_directory(folder.path() / "cplot1.dat");
    EXPECT_FALSE(loadLayout(layout, 1, folder.path()));
    EXPECT_FALSE(loadLayout(layout, 0, folder.path() / "no such folder"));
}

TEST(LayoutFileTest, saveAndLoadKeepEveryByte) {
    TempFolder folder;
    CardLayout layout;
    layout.setBytes(patternBytes(CARD_LAYOUT_SIZE));
    layout.setSlotText(0, "1.2345");
    layout.setSlotText(0, "5"); // tail of the longer text stays behind the terminator
    writeFile(folder.path() / "cplot1.dat", std::string(CARD_LAYOUT_SIZE, 'x'));

    EXPECT_EQ(saveLayout(layout, 1, folder.path()), WriteResult::Written);
    EXPECT_EQ(entries(folder.path()), std::vector<std::string>{"cplot1.dat"});
    EXPECT_EQ(readFile(folder.path() / "cplot1.dat"), layoutBytes(layout));

    CardLayout loaded;
    EXPECT_TRUE(loadLayout(loaded, 1, folder.path()));
    EXPECT_EQ(loaded, layout);
    EXPECT_FALSE(loadLayout(loaded, 0, folder.path())); // each version has its own file

    // The file holds no alignment: the 11/23 card's reads back with its form's.
    EXPECT_EQ(saveLayout(layout, 2, folder.path()), WriteResult::Written);
    EXPECT_TRUE(loadLayout(loaded, 2, folder.path()));
    EXPECT_EQ(layoutBytes(loaded), layoutBytes(layout));
    EXPECT_EQ(loaded.columnAlignOf(MINISTRY_HOURS_ENTRY), FieldAlign::Centre);
    EXPECT_EQ(loaded.columnAlignOf(REMARKS_ENTRY), FieldAlign::Left);
}

TEST(LayoutFileTest, failedSaveIntoMissingFolderOrOverAFolderLeavesNoTrace) {
    TempFolder folder;
    CardLayout layout;
    setLayoutDefaults(layout, 0);
    EXPECT_EQ(saveLayout(layout, 0, folder.path() / "missing"), WriteResult::CannotCreate);
    EXPECT_FALSE(fs::exists(folder.path() / "missing"));

    fs::create_directory(folder.path() / "cplot.dat");
    EXPECT_EQ(saveLayout(layout, 0, folder.path()), WriteResult::NotRegular);
    EXPECT_TRUE(fs::is_directory(folder.path() / "cplot.dat"));
    EXPECT_EQ(entries(folder.path()), std::vector<std::string>{"cplot.dat"});
}

TEST(LayoutFileTest, readOnlyFolderWritesOnlyAWritableFileInPlace) {
    TempFolder folder;
    const std::string old = patternBytes(CARD_LAYOUT_SIZE);
    writeFile(folder.path() / "cplot.dat", old);
    writeFile(folder.path() / "cplot1.dat", old);
    fs::permissions(folder.path() / "cplot1.dat", fs::perms::owner_read);
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (std::ofstream(folder.path() / "probe")) {
        fs::remove(folder.path() / "probe");
        GTEST_SKIP() << "this user writes into read-only folders";
    }
    CardLayout layout;
    setLayoutDefaults(layout, 0);
    const WriteResult writable = saveLayout(layout, 0, folder.path());
    const WriteResult readOnly = saveLayout(layout, 1, folder.path());
    const WriteResult missing = saveLayout(layout, 2, folder.path());
    fs::permissions(folder.path(), fs::perms::owner_all);
    EXPECT_EQ(writable, WriteResult::Written);
    EXPECT_EQ(readFile(folder.path() / "cplot.dat"), layoutBytes(layout));
    EXPECT_EQ(readOnly, WriteResult::ReadOnly);
    EXPECT_EQ(readFile(folder.path() / "cplot1.dat"), old);
    EXPECT_EQ(missing, WriteResult::CannotCreate);
    std::vector<std::string> names = entries(folder.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"cplot.dat", "cplot1.dat"}));
}

#ifdef __unix__
// A write that stops half way (a full disk, here a file size limit) must not replace the
// old file; this also works for a user whom permissions do not stop.
TEST(LayoutFileTest, cutWriteKeepsTheOldFile) {
    TempFolder folder;
    const std::string old = patternBytes(CARD_LAYOUT_SIZE);
    writeFile(folder.path() / "cplot.dat", old);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    CardLayout layout;
    setLayoutDefaults(layout, 0);
    const WriteResult result = saveLayout(layout, 0, folder.path());

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(result, WriteResult::CannotWrite);
    EXPECT_EQ(readFile(folder.path() / "cplot.dat"), old);
    EXPECT_EQ(entries(folder.path()), std::vector<std::string>{"cplot.dat"});
}

// The new file keeps the old one's permissions; a link stays a link and its file gets the
// layout; a pipe in the file's place is refused, not waited on, and stays a pipe.
TEST(LayoutFileTest, saveKeepsPermissionsFollowsLinksRefusesOtherFiles) {
    TempFolder folder;
    CardLayout layout;
    setLayoutDefaults(layout, 0);
    writeFile(folder.path() / "cplot.dat", patternBytes(CARD_LAYOUT_SIZE));
    const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(folder.path() / "cplot.dat", kept);
    EXPECT_EQ(saveLayout(layout, 0, folder.path()), WriteResult::Written);
    EXPECT_EQ(fs::status(folder.path() / "cplot.dat").permissions(), kept);

    fs::create_directory(folder.path() / "real");
    writeFile(folder.path() / "real" / "cplot1.dat", patternBytes(CARD_LAYOUT_SIZE));
    fs::create_symlink(fs::path("real") / "cplot1.dat", folder.path() / "cplot1.dat");
    EXPECT_EQ(saveLayout(layout, 1, folder.path()), WriteResult::Written);
    EXPECT_TRUE(fs::is_symlink(folder.path() / "cplot1.dat"));
    EXPECT_EQ(readFile(folder.path() / "real" / "cplot1.dat"), layoutBytes(layout));
    EXPECT_EQ(entries(folder.path() / "real"), std::vector<std::string>{"cplot1.dat"});

    fs::create_symlink("cplot3.dat", folder.path() / "cplot2.dat"); // names nothing yet
    EXPECT_EQ(saveLayout(layout, 2, folder.path()), WriteResult::Written);
    EXPECT_TRUE(fs::is_symlink(folder.path() / "cplot2.dat"));
    EXPECT_EQ(readFile(folder.path() / "cplot3.dat"), layoutBytes(layout));

    ASSERT_EQ(mkfifo((folder.path() / "cplot4.dat").c_str(), 0600), 0);
    CardLayout loaded;
    EXPECT_FALSE(loadLayout(loaded, 4, folder.path()));
    EXPECT_EQ(saveLayout(layout, 4, folder.path()), WriteResult::NotRegular);
    EXPECT_EQ(fs::status(folder.path() / "cplot4.dat").type(), fs::file_type::fifo);
    EXPECT_EQ(entries(folder.path()).size(), 6u);
}

// What is not ours is never written: a file a link names outside the layout file's folder,
// a read-only file (by its mode, so also for root), a file that is no layout file by its
// size. Each stays byte for byte as it was, and nothing is left beside it.
struct RefusedCase {
    std::string name;
    std::string link;   // what "cplot.dat" links to ("" for the file itself); %O = outside
    std::size_t size;   // of the file written or linked to
    bool readOnly;      // that file's mode has no owner write bit
    bool outsideFolder; // "real" is a link to the outside folder
    WriteResult expected;
};

class RefusedLayoutWrite : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedLayoutWrite, leavesTheFileAsItWas) {
    const RefusedCase& c = GetParam();
    TempFolder temp;
    const fs::path data = temp.path() / "data";
    const fs::path outside = temp.path() / "outside";
    fs::create_directories(data);
    fs::create_directories(outside);
    if (c.outsideFolder)
        fs::create_directory_symlink(outside, data / "real");
    else
        fs::create_directory(data / "real");
    std::string link = c.link;
    if (const auto at = link.find("%O"); at != std::string::npos)
        link.replace(at, 2, outside.string());
    const fs::path file = link.empty() ? data / "cplot.dat" : (data / link).lexically_normal();
    const std::string old = patternBytes(c.size);
    writeFile(file, old);
    if (c.readOnly)
        fs::permissions(file,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (!link.empty())
        fs::create_symlink(link, data / "cplot.dat");
    const auto before = entries(outside);

    CardLayout layout;
    setLayoutDefaults(layout, 0);
    EXPECT_EQ(saveLayout(layout, 0, data), c.expected);
    EXPECT_EQ(readFile(file), old);
    EXPECT_EQ(entries(outside), before);
    std::vector<std::string> names = entries(data);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"cplot.dat", "real"}));
}

INSTANTIATE_TEST_SUITE_P(
    NotOurs, RefusedLayoutWrite,
    testing::Values(RefusedCase{"AbsoluteLinkOutside", "%O/cplot.dat", 400, false, false,
                                WriteResult::OutsideFolder},
                    RefusedCase{"RelativeLinkOutside", "../outside/cplot.dat", 400, false, false,
                                WriteResult::OutsideFolder},
                    RefusedCase{"LinkThroughFolderLinkedOutside", "real/cplot.dat", 400, false,
                                true, WriteResult::OutsideFolder},
                    RefusedCase{"ReadOnlyFile", "", 400, true, false, WriteResult::ReadOnly},
                    RefusedCase{"ReadOnlyFileLinkedInside", "real/cplot.dat", 400, true, false,
                                WriteResult::ReadOnly},
                    RefusedCase{"ShorterFile", "", 399, false, false, WriteResult::NotOurs},
                    RefusedCase{"LongerFile", "", 4000, false, false, WriteResult::NotOurs},
                    RefusedCase{"EmptyFile", "", 0, false, false, WriteResult::NotOurs}),
    [](const auto& info) { return info.param.name; });
#endif

} // namespace
} // namespace pelkorl
