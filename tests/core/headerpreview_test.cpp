// The card header preview on the recording surface, in a pane of 550 x 78 pixels (the
// main dialog's 367 x 52 dialog units): every caption, line and data position, the colours,
// the name and mobile number it hands to the print, and the boxes it shows or hides.
#include "card/formatting.h"
#include "cardfixture.h"
#include "recordingcanvas.h"
#include "records/extension.h"
#include "render/cardrender.h"
#include "render/headerpreview.h"
#include "text/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

constexpr Rect PANE{0, 0, 550, 78};
constexpr int JAN = 0, MAR = 2, AUG = 7;

// Worked out by hand for PANE: u 3, rows 15 / 30 / 45 / 69, d 5, x0 13, w 537.
constexpr int ROW1 = 15, ROW2 = 30, ROW3 = 45, ROW4 = 69;
constexpr int NAME_X = 66, SEX_X = 461, HOME_PHONE_X = 80, MOBILE_X = 255, BIRTH_X = 443,
              BAPTISM_X = 102, HOPE_X = 357, ELDER_X = 410, SERVANT_X = 470;
constexpr int APPOINTMENT_Y = 63, PIONEER_Y = 75;

using Placed = std::tuple<std::string, int, int>; // text, point handed to the canvas

std::optional<TextCall> find(const RecordingCanvas& canvas, const std::string& text) {
    for (const TextCall& t : canvas.texts())
        if (t.text == text)
            return t;
    return std::nullopt;
}

// Texts drawn in the stock font: the data, not the captions.
std::vector<Placed> dataTexts(const RecordingCanvas& canvas) {
    std::vector<Placed> out;
    for (const TextCall& t : canvas.texts())
        if (t.font == stockVariableFont())
            out.emplace_back(t.text, t.at.x, t.at.y);
    return out;
}

sample::PublisherSpec jonas() {
    sample::PublisherSpec p = person("Jonas", "Petrauskas", 101);
    p.address = "Laisv\xEBs al. 1, Kaunas"; // Windows-1257 ė
    p.homePhone = "8 37 200101";
    p.mobilePhone = "+370 600 00101";
    p.birthDate = "03151970";
    p.baptismDate = "06201990";
    p.anointed = true;
    p.appointment = sample::ELDER;
    p.male = true;
    p.months[AUG].status = sample::REGULAR_PIONEER;
    return p;
}

class HeaderPreview : public ::testing::Test {
protected:
    void SetUp() override {
        f.state.lastMonth = AUG;
        f.state.printHeader = true;
        f.state.markSex = false;
        f.state.dateFormat = 1;
    }
    int add(const sample::PublisherSpec& p) {
        const int j = f.addPublisher(p);
        f.state.selectedRecord = j;
        return j;
    }
    void paint() {
        canvas.clear();
        paintHeaderPreview(canvas, PANE, f.state, effects);
    }
    void writeExtensions(const std::vector<sample::ExtensionBytes>& records) {
        ASSERT_TRUE(sample::writeExtensionFile(f.folder.path() / "xten7.dat", records));
        countExtensionRecords(f.data);
    }

    CardFixture f;
    RecordingCanvas canvas{96, 96};
    HeaderPaneEffects effects;
};

} // namespace

TEST_F(HeaderPreview, NothingAtAllBeforeAnyLoad) {
    f.data.store.currentCount = 0;
    f.state.displayName = "before";
    f.state.mobileText = "before";
    effects.dataFound = true;
    paint();
    EXPECT_TRUE(canvas.calls().empty());
    EXPECT_FALSE(effects.dataFound);
    EXPECT_EQ(f.state.displayName, "before");
    EXPECT_EQ(f.state.mobileText, "before");

    CardState unloaded;
    paintHeaderPreview(canvas, PANE, unloaded, effects);
    EXPECT_TRUE(canvas.calls().empty());
}

TEST_F(HeaderPreview, FrameCaptionsAndLines) {
    add(jonas());
    f.state.fontCharset = 186;
    paint();

    const auto rectangles = canvas.rectangles();
    ASSERT_EQ(rectangles.size(), 1u);
    EXPECT_EQ(rectangles[0].rect, (Rect{0, 0, 550, 78}));
    EXPECT_EQ(rectangles[0].pen, std::nullopt);
    EXPECT_EQ(rectangles[0].brush, WHITE);
    ASSERT_TRUE(std::holds_alternative<RectangleCall>(canvas.calls().front()));

    // Caption, point it starts at (left end, bottom); captions with a line continue it.
    const std::vector<Placed> captions = {
        {"Vardas ", 13, 20},
        {"Adresas ", 13, 35},
        {"Telefonas ", 13, 50},
        {" Mobilius ", 179, 50},
        {" Gim. data ", 358, 45},
        {"Krikšto data ", 13, 74},
        {" Pateptasis ar \"Kita avis\" ", 224, 74},
        {" [   ] Reg. pionierius", 403, 74},
        {" [   ] Vyresn.", 403, 62},
        {" [   ] Bendr.pat.", 462, 62},
    };
    std::vector<Placed> drawn;
    for (const TextCall& t : canvas.texts()) {
        if (t.font != previewFont(186))
            continue;
        drawn.emplace_back(t.text, t.box.left, t.box.bottom);
        EXPECT_EQ(t.color, GREY) << t.text;
        EXPECT_TRUE(t.transparent) << t.text;
        EXPECT_EQ(t.align.vertical, VerticalAlign::Bottom) << t.text;
        EXPECT_EQ(t.align.updatePosition, t.text != " [   ] Bendr.pat.") << t.text;
    }
    EXPECT_EQ(drawn, captions);

    // Each line starts at its caption's end (4 pixels a character here) on the row.
    std::vector<std::tuple<Point, Point>> lines;
    for (const LineCall& l : canvas.lines()) {
        EXPECT_EQ(l.pen, BLACK);
        lines.emplace_back(l.from, l.to);
    }
    EXPECT_EQ(lines, (std::vector<std::tuple<Point, Point>>{
                         {{41, ROW1}, {537, ROW1}},
                         {{45, ROW2}, {537, ROW2}},
                         {{53, ROW3}, {179, ROW3}},
                         {{219, ROW3}, {358, ROW3}},
                         {{402, ROW3}, {537, ROW3}},
                         {{65, ROW4}, {224, ROW4}},
                         {{332, ROW4}, {403, ROW4}},
                     }));
}

TEST_F(HeaderPreview, CaptionFontFollowsTheCharacterSet) {
    add(jonas());
    f.state.fontCharset = 0;
    paint();
    const auto caption = find(canvas, "Vardas ");
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->font, (FontSpec{"Arial", -9, 400, 0}));
    EXPECT_EQ(canvas.font(), stockVariableFont());
}

TEST_F(HeaderPreview, DataAtTheirPositionsInBlack) {
    add(jonas());
    paint();
    EXPECT_EQ(dataTexts(canvas), (std::vector<Placed>{
                                     {"Jonas Petrauskas", NAME_X, ROW1},
                                     {"[X] Vyras", SEX_X, ROW1},
                                     {"Laisvės al. 1, Kaunas", NAME_X, ROW2},
                                     {"8 37 200101", HOME_PHONE_X, ROW3},
                                     {"+370 600 00101", MOBILE_X, ROW3},
                                     {"15/03/1970", BIRTH_X, ROW3},
                                     {"20/06/1990", BAPTISM_X, ROW4},
                                     {"P", HOPE_X, ROW4},
                                     {"X", ELDER_X, APPOINTMENT_Y},
                                     {"X", ELDER_X, PIONEER_Y},
                                 }));
    for (const TextCall& t : canvas.texts()) {
        if (t.font != stockVariableFont())
            continue;
        EXPECT_EQ(t.align, (TextAlign{HorizontalAlign::Left, VerticalAlign::Bottom, false}));
        EXPECT_EQ(t.box.bottom, t.at.y) << t.text;
        EXPECT_TRUE(t.transparent);
        // The sex text is grey until "V/M" is ticked.
        EXPECT_EQ(t.color, t.text == "[X] Vyras" ? GREY : BLACK) << t.text;
    }
    EXPECT_EQ(f.state.displayName, "Jonas Petrauskas");
    EXPECT_EQ(f.state.mobileText, "+370 600 00101");
}

TEST_F(HeaderPreview, UntickedHeaderLeavesEverythingGrey) {
    add(jonas());
    f.state.printHeader = false;
    f.state.markSex = true;
    paint();
    ASSERT_FALSE(canvas.texts().empty());
    for (const TextCall& t : canvas.texts())
        EXPECT_EQ(t.color, GREY) << t.text;

    f.state.printHeader = true;
    paint();
    EXPECT_EQ(find(canvas, "Vardas ")->color, GREY);
    EXPECT_EQ(find(canvas, "Jonas Petrauskas")->color, BLACK);
    EXPECT_EQ(find(canvas, "[X] Vyras")->color, BLACK);

    // The 11/23 card prints no address or telephones.
    f.state.columnSet = ColumnSet::Ministry;
    paint();
    EXPECT_EQ(find(canvas, "Jonas Petrauskas")->color, BLACK);
    for (const char* text : {"Laisvės al. 1, Kaunas", "8 37 200101", "+370 600 00101"})
        EXPECT_EQ(find(canvas, text)->color, GREY) << text;
    EXPECT_EQ(find(canvas, "15/03/1970")->color, BLACK);
}

struct SexCase {
    const char* name;
    bool male;
    bool female;
    bool markSex;
    const char* text; // nullptr: no sex text
    Color color;
};

class HeaderSex : public HeaderPreview, public ::testing::WithParamInterface<SexCase> {};

TEST_P(HeaderSex, TextColourAndBox) {
    const SexCase c = GetParam();
    sample::PublisherSpec p = jonas();
    p.male = c.male;
    p.female = c.female;
    add(p);
    f.state.markSex = c.markSex;
    paint();
    std::vector<TextCall> sexTexts;
    for (const TextCall& t : canvas.texts())
        if (t.text.rfind("[X] ", 0) == 0)
            sexTexts.push_back(t);
    EXPECT_EQ(effects.sexMarkBoxVisible, c.text != nullptr);
    if (!c.text) {
        EXPECT_TRUE(sexTexts.empty());
        return;
    }
    ASSERT_EQ(sexTexts.size(), 1u);
    EXPECT_EQ(sexTexts[0].text, c.text);
    EXPECT_EQ(sexTexts[0].at, (Point{SEX_X, ROW1}));
    EXPECT_EQ(sexTexts[0].color, c.color);
    // The address after it is black again.
    EXPECT_EQ(find(canvas, "Laisvės al. 1, Kaunas")->color, BLACK);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderSex,
    ::testing::Values(SexCase{"Neither", false, false, true, nullptr, BLACK},
                      SexCase{"MaleUnticked", true, false, false, "[X] Vyras", GREY},
                      SexCase{"FemaleUnticked", false, true, false, "[X] Moteris", GREY},
                      SexCase{"FemaleTicked", false, true, true, "[X] Moteris", BLACK},
                      SexCase{"BothGiveFemale", true, true, true, "[X] Moteris", BLACK}),
    [](const auto& info) { return std::string(info.param.name); });

struct MarkCase {
    const char* name;
    const char* baptismDate;
    bool anointed;
    std::uint8_t appointment;
    int pioneerMonth; // month whose status is regular pioneer; -1 for none
    std::vector<Placed> marks;
};

class HeaderMarks : public HeaderPreview, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(HeaderMarks, HopeAndCrosses) {
    const MarkCase c = GetParam();
    sample::PublisherSpec p = jonas();
    p.baptismDate = c.baptismDate;
    p.anointed = c.anointed;
    p.appointment = c.appointment;
    p.months = {};
    if (c.pioneerMonth >= 0)
        p.months[static_cast<std::size_t>(c.pioneerMonth)].status = sample::REGULAR_PIONEER;
    add(p);
    paint();
    std::vector<Placed> marks;
    for (const Placed& t : dataTexts(canvas))
        if (std::get<0>(t) == "X" || std::get<0>(t) == "P" || std::get<0>(t) == "K.A.")
            marks.push_back(t);
    EXPECT_EQ(marks, c.marks);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderMarks,
    ::testing::Values(
        MarkCase{"UnbaptizedAnointed", "        ", true, 0, -1, {}},
        MarkCase{"YearOnlyIsUnbaptized", "1990    ", false, 0, -1, {}},
        MarkCase{"BaptizedOtherSheep", "06201990", false, 0, -1, {{"K.A.", HOPE_X, ROW4}}},
        MarkCase{
            "Elder", "06201990", true, 2, -1, {{"P", HOPE_X, ROW4}, {"X", ELDER_X, APPOINTMENT_Y}}},
        MarkCase{"Servant",
                 "06201990",
                 true,
                 1,
                 -1,
                 {{"P", HOPE_X, ROW4}, {"X", SERVANT_X, APPOINTMENT_Y}}},
        MarkCase{"AppointmentThree", "", false, 3, -1, {}},
        MarkCase{"PioneerInLastMonth", "", false, 0, AUG, {{"X", ELDER_X, PIONEER_Y}}},
        MarkCase{"PioneerEarlierOnly", "", false, 0, MAR, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
    const char* name;
    const char* longName; // nullptr: no extension record at all
    const char* text2;    // second extension text
    int useLongName;
    int lastNameFirst;
    const char* shown;
    bool longNameBox;
    bool lastNameFirstBox;
};

class HeaderName : public HeaderPreview, public ::testing::WithParamInterface<NameCase> {};

TEST_P(HeaderName, ChosenNameAndBoxes) {
    const NameCase c = GetParam();
    sample::PublisherSpec p = jonas();
    if (c.longName) {
        p.extensionIndex = 1;
        writeExtensions({sample::encodeExtension(101, c.longName, c.text2)});
    }
    add(p);
    f.state.useLongName = c.useLongName;
    f.state.lastNameFirst = c.lastNameFirst;
    paint();
    EXPECT_EQ(f.state.displayName, c.shown);
    EXPECT_TRUE(effects.dataFound);
    EXPECT_EQ(effects.longNameBoxVisible, c.longNameBox);
    EXPECT_EQ(effects.lastNameFirstBoxVisible, c.lastNameFirstBox);
    const auto name = find(canvas, cp1257ToUtf8(c.shown));
    ASSERT_TRUE(name);
    EXPECT_EQ(name->at, (Point{NAME_X, ROW1}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderName,
    ::testing::Values(
        NameCase{"NoExtensionFirstNameFirst", nullptr, "", 1, 0, "Jonas Petrauskas", false, true},
        NameCase{"NoExtensionSurnameFirst", nullptr, "", 1, 1, "Petrauskas, Jonas", false, true},
        NameCase{"EmptyLongName", "", "Kaunas", 1, 1, "Petrauskas, Jonas", false, true},
        NameCase{"LongNameUsed", "Jonas Antanas Petrauskas", "", 1, 1, "Jonas Antanas Petrauskas",
                 true, false},
        NameCase{"LongNameNotWanted", "Jonas Antanas Petrauskas", "", 0, 0, "Jonas Petrauskas",
                 true, true},
        NameCase{"DigitsOnlyLongName", "12345", "", 1, 0, "Jonas Petrauskas", false, true},
        NameCase{"DigitsLongNameWithLetteredText2", "12345", "Kaunas", 1, 0, "12345", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HeaderPreview, ExtensionOfAnotherPublisherIsNotUsed) {
    sample::PublisherSpec p = jonas();
    p.extensionIndex = 1;
    writeExtensions({sample::encodeExtension(999, "Kito Vardas")});
    add(p);
    paint();
    EXPECT_EQ(f.state.displayName, "Jonas Petrauskas");
    EXPECT_FALSE(effects.longNameBoxVisible);
}

TEST_F(HeaderPreview, NoPublisherSelectedShowsTheFrameOnly) {
    add(jonas());
    for (int selected : {-1, 0, 2, 310, -100000}) {
        f.state.selectedRecord = selected;
        f.state.displayName = "stale";
        f.state.mobileText = "stale";
        paint();
        EXPECT_TRUE(effects.dataFound);
        EXPECT_TRUE(dataTexts(canvas).empty()) << selected;
        EXPECT_TRUE(find(canvas, "Vardas ")) << selected;
        EXPECT_EQ(canvas.lines().size(), 7u);
        EXPECT_EQ(f.state.displayName, "");
        EXPECT_EQ(f.state.mobileText, "");
        EXPECT_FALSE(effects.longNameBoxVisible);
        EXPECT_TRUE(effects.lastNameFirstBoxVisible);
        EXPECT_FALSE(effects.sexMarkBoxVisible);
    }
}

TEST_F(HeaderPreview, EveryPaintFollowsTheSelection) {
    const int first = add(jonas());
    sample::PublisherSpec other = person("Ona", "Petrauskien\xEB", 102);
    other.mobilePhone = "+370 600 00102";
    const int second = add(other);
    f.state.selectedRecord = first;
    paint();
    EXPECT_EQ(f.state.mobileText, "+370 600 00101");
    f.state.selectedRecord = second;
    paint();
    EXPECT_EQ(f.state.displayName, "Ona Petrauskien\xEB");
    EXPECT_EQ(f.state.mobileText, "+370 600 00102");
    EXPECT_FALSE(find(canvas, "Jonas Petrauskas"));
}

TEST_F(HeaderPreview, PrintTakesTheNameAndMobileThePaneShows) {
    sample::PublisherSpec p = jonas();
    p.extensionIndex = 1;
    writeExtensions({sample::encodeExtension(101, "Jonas Antanas Petrauskas")});
    const int j = add(p);
    f.state.displayName = "left over";
    f.state.mobileText = "left over";
    f.state.useLongName = 1;
    paint();

    RecordingCanvas printer(300, 300);
    drawCardHeader(printer, f.state);
    const auto printed = printer.texts();
    ASSERT_GE(printed.size(), 4u);
    // The name comes first, the mobile number after address and home telephone.
    EXPECT_EQ(printed[0].text, "Jonas Antanas Petrauskas");
    EXPECT_TRUE(std::any_of(printed.begin(), printed.end(),
                            [](const TextCall& t) { return t.text == "+370 600 00101"; }));

    // Unticking the long name box repaints the pane before the next print.
    f.state.useLongName = 0;
    paint();
    printer.clear();
    drawCardHeader(printer, f.state);
    EXPECT_EQ(printer.texts().at(0).text, formatName(f.data.store, j, false));
}

TEST_F(HeaderPreview, OtherPaneSizesKeepTheIntegerDivisions) {
    add(jonas());
    const HeaderGeometry g = headerGeometry(Rect{0, 0, 367, 52});
    EXPECT_EQ(g.u, 2);
    EXPECT_EQ(g.row1, 10);
    EXPECT_EQ(g.row4, 46);
    EXPECT_EQ(g.d, 3);
    EXPECT_EQ(g.x0, 9);
    EXPECT_EQ(g.w, 358);
    // A pane too small for a row unit still draws without failing.
    canvas.clear();
    paintHeaderPreview(canvas, Rect{0, 0, 10, 10}, f.state, effects);
    EXPECT_EQ(canvas.lines().size(), 7u);
}
