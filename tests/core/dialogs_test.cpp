#include "text/dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace pelkorl;

namespace {

using K = ControlKind;
using S = ControlStyle;

struct Expected {
    int dialog;
    int id; // NO_ID: found by kind and text
    K kind;
    const char* text;
    int x, y, w, h;
    unsigned styles; // flags that must be set
};

std::ostream& operator<<(std::ostream& out, const Expected& e) {
    return out << "dialog " << e.dialog << " control " << e.id << " \"" << e.text << "\"";
}

const ControlTemplate* locate(const Expected& e) {
    const DialogTemplate& d = dialogTemplate(e.dialog);
    if (e.id != NO_ID) {
        return findControl(d, e.id);
    }
    for (const ControlTemplate& c : d.controls) {
        if (c.id == NO_ID && c.kind == e.kind && c.text == e.text && c.x == e.x && c.y == e.y) {
            return &c;
        }
    }
    return nullptr;
}

const unsigned TAB = S::TAB_STOP;
const unsigned BOX = S::BORDER | S::AUTO_HSCROLL | S::TAB_STOP;
const unsigned SPIN = S::ALIGN_RIGHT | S::AUTO_BUDDY | S::ARROW_KEYS;

const Expected CONTROLS[] = {
    // About box.
    {100, NO_ID, K::Icon, "", 11, 11, 21, 20, 0},
    {100, NO_ID, K::StaticText, "Pelkorl Versija 4", 40, 17, 150, 8, 0},
    {100, NO_ID, K::GroupBox, " Aplankas ", 7, 38, 221, 34, 0},
    {100, 1068, K::StaticText, "", 14, 50, 207, 18, 0},
    {100, 1, K::DefaultPushButton, "OK", 178, 77, 50, 14, TAB},
    // Main dialog.
    {102, 1000, K::ListBox, "", 6, 6, 90, 219, S::VSCROLL | S::BORDER | S::NOTIFY | TAB},
    {102, 1029, K::PushButton, "", 5, 232, 91, 14, TAB},
    {102, 1006, K::OwnerDrawButton, "", 104, 7, 367, 52, S::DISABLED},
    {102, 1007, K::CheckBox, "Pavardė pradžioje", 106, 61, 81, 10, TAB},
    {102, 1010, K::CheckBox, "Naudoti &ilgą vardą", 226, 61, 75, 10, TAB},
    {102, 1030, K::CheckBox, "Spausdinti &antraštę", 335, 60, 77, 10, TAB},
    {102, 1031, K::CheckBox, "V/M", 425, 60, 41, 10, TAB},
    {102, 129, K::OwnerDrawButton, "", 106, 74, 350, 133, S::DISABLED},
    {102, 1015, K::CheckBox, "", 462, 85, 8, 8, TAB},
    {102, 1016, K::CheckBox, "", 462, 95, 8, 8, TAB},
    {102, 1017, K::CheckBox, "", 462, 104, 8, 8, TAB},
    {102, 1018, K::CheckBox, "", 462, 113, 8, 8, TAB},
    {102, 1019, K::CheckBox, "", 462, 122, 8, 8, TAB},
    {102, 1020, K::CheckBox, "", 462, 131, 8, 8, TAB},
    {102, 1021, K::CheckBox, "", 462, 140, 8, 8, TAB},
    {102, 1022, K::CheckBox, "", 462, 150, 8, 8, TAB},
    {102, 1023, K::CheckBox, "", 462, 159, 8, 8, TAB},
    {102, 1024, K::CheckBox, "", 462, 168, 8, 8, TAB},
    {102, 1025, K::CheckBox, "", 462, 178, 8, 8, TAB},
    {102, 1026, K::CheckBox, "", 462, 187, 8, 8, TAB},
    {102, 1028, K::CheckBox, "", 462, 196, 8, 8, TAB},
    {102, 1027, K::CheckBox, "Ankstesni tarn. metai", 115, 216, 110, 10, TAB},
    {102, 1101, K::PushButton, "&Peržiūra", 250, 213, 56, 14, TAB},
    {102, 1102, K::PushButton, "&Eksportuoti PDF...", 310, 213, 66, 14, TAB},
    {102, 1103, K::PushButton, "Eksportuoti visus P&DF...", 380, 213, 87, 14, TAB},
    {102, 1014, K::PushButton, "Parinktys", 115, 232, 63, 14, TAB},
    {102, 1100, K::PushButton, "Spausdinti &visus", 186, 232, 86, 14, TAB},
    {102, 1105, K::PushButton, "Pildyti S-21 PDF formą...", 5, 248, 106, 14, TAB},
    {102, 1106, K::PushButton, "&Bendruomenės suvestinė", 186, 248, 90, 14, TAB},
    {102, 1, K::DefaultPushButton, "&Spausdinti", 278, 232, 62, 14, TAB},
    {102, 1104, K::CheckBox, "Spausdinti &formą", 278, 250, 80, 10, TAB},
    {102, 2, K::PushButton, "&Uždaryti", 405, 232, 62, 14, TAB},
    // Data location.
    {118, 206, K::AutoRadioButton, "A:\\   (lankstusis diskas)", 13, 11, 95, 10, S::GROUP},
    {118, 208, K::AutoRadioButton, "Dabartinis diskas ir aplankas", 13, 35, 119, 11, 0},
    {118, 2, K::PushButton, "Atšaukti", 141, 8, 50, 14, S::GROUP | TAB},
    {118, 1, K::DefaultPushButton, "OK", 141, 33, 50, 14, TAB},
    {118, 243, K::StaticText,
     "Pasirinktas diskas nepasiekiamas!!\nPatikrinkite diskelį arba\npasirinkite kitą diską.", 26,
     62, 163, 34, 0},
    // Password.
    {120, 245, K::StaticText, "", 9, 12, 120, 9, 0},
    {120, 244, K::Edit, "", 9, 28, 84, 12, S::PASSWORD | BOX},
    {120, 1, K::DefaultPushButton, "OK", 104, 28, 25, 14, TAB},
    // Options.
    {130, NO_ID, K::GroupBox, "Paraštės", 8, 5, 100, 56, 0},
    {130, NO_ID, K::StaticText, "Coliai", 77, 16, 22, 8, S::TEXT_CENTER},
    {130, NO_ID, K::StaticText, "Viršutinė", 13, 29, 58, 8, S::TEXT_RIGHT},
    {130, 1014, K::Edit, "", 77, 26, 24, 12, S::TEXT_CENTER | BOX},
    {130, NO_ID, K::StaticText, "Kairioji", 13, 41, 57, 8, S::TEXT_RIGHT},
    {130, 1019, K::Edit, "", 77, 39, 24, 12, S::TEXT_CENTER | BOX},
    {130, NO_ID, K::GroupBox, " Datos formatas ", 116, 5, 79, 56, 0},
    {130, 1015, K::AutoRadioButton, "01/31/02 ", 124, 17, 51, 10, S::GROUP},
    {130, 1016, K::AutoRadioButton, "31/01/02  ", 124, 27, 48, 10, 0},
    {130, 1017, K::AutoRadioButton, "Sau 31, 2002  ", 124, 37, 58, 10, 0},
    {130, 1018, K::AutoRadioButton, "31 Sau, 2002 ", 124, 47, 58, 10, 0},
    {130, 1013, K::PushButton, "Aplanko adresas", 199, 15, 72, 14, S::GROUP | TAB},
    {130, 1012, K::PushButton, "Spausdinimo parinktys", 199, 45, 73, 14, TAB},
    {130, NO_ID, K::GroupBox, " Lentelė (skelbimo rezultatai) ", 5, 64, 267, 70, 0},
    {130, NO_ID, K::StaticText, "Lentelės viršus", 24, 79, 68, 8, 0},
    {130, NO_ID, K::StaticText, "Static", 106, 78, 30, 13, 0},
    {130, 1057, K::UpDown, "Spin1", 96, 77, 11, 14, SPIN},
    {130, NO_ID, K::StaticText, "(coliai nuo viršut.paraštės)", 158, 79, 93, 8, 0},
    {130, NO_ID, K::StaticText, "Lentelės aukštis", 25, 97, 68, 8, 0},
    {130, NO_ID, K::StaticText, "Static", 106, 96, 30, 13, 0},
    {130, 1058, K::UpDown, "Spin2", 96, 97, 11, 14, SPIN},
    {130, NO_ID, K::StaticText, "(12 eilučių)", 158, 98, 93, 8, 0},
    {130, 1061, K::PushButton, "Atkurti standartines nuostatas", 53, 118, 156, 11, TAB},
    {130, 1067, K::ListBox, "", 6, 137, 145, 40,
     S::NOTIFY | S::NO_INTEGRAL_HEIGHT | S::VSCROLL | S::BORDER | TAB},
    {130, 1062, K::PushButton, "Detalus maketas", 6, 180, 145, 14, TAB},
    {130, 2, K::PushButton, "Atšaukti", 205, 145, 66, 14, TAB},
    {130, 1, K::DefaultPushButton, "OK", 205, 175, 66, 14, TAB},
    // Detailed layout: the places the table gives.
    {131, NO_ID, K::GroupBox, " Antraštė ", 5, 5, 170, 261, 0},
    {131, 1081, K::StaticText, "Adresas", 15, 44, 64, 8, 0},
    {131, 1083, K::StaticText, "Mob. telefonas", 16, 76, 64, 8, 0},
    {131, 1090, K::StaticText, "[x] Vyras", 15, 189, 64, 8, 0},
    {131, 1091, K::StaticText, "[x] Moteris", 15, 204, 64, 8, 0},
    {131, 1031, K::Edit, "", 81, 25, 40, 14, BOX},
    {131, 1054, K::Edit, "", 128, 201, 40, 14, BOX},
    {131, 1093, K::StaticText,
     "X matmenys - coliai nuo kairės paraštės\nY matmenys - coliai nuo viršutinės paraštės", 14,
     227, 154, 20, 0},
    {131, NO_ID, K::StaticText, "Pavyzdžiui:  1.52    0.80    0.00    2.15", 14, 251, 153, 8, 0},
    {131, NO_ID, K::GroupBox, " Lentelė  ", 180, 5, 232, 204, 0},
    {131, 1066, K::Edit, "", 262, 25, 40, 14, BOX},
    {131, 1067, K::Edit, "", 262, 41, 40, 14, BOX},
    {131, NO_ID, K::GroupBox, " Duomenų įvesties poslinkis ", 185, 65, 220, 139, 0},
    {131, 1076, K::StaticText, "Knygos", 194, 87, 66, 8, 0},
    {131, 1075, K::StaticText, "Brošiüros", 194, 103, 66, 8, 0},
    {131, 1077, K::StaticText, "Žurnalai", 194, 135, 66, 8, 0},
    {131, 1078, K::StaticText, "Pakart. aplank.", 194, 151, 66, 8, 0},
    {131, 1079, K::StaticText, "Biblijos studijos", 194, 167, 66, 8, 0},
    {131, 1068, K::Edit, "", 263, 83, 40, 14, BOX},
    {131, 1072, K::Edit, "", 263, 147, 40, 14, BOX},
    {131, 1073, K::Edit, "", 263, 163, 40, 14, BOX},
    {131, 1074, K::Edit, "", 263, 179, 40, 14, BOX},
    {131, 1095, K::StaticText, "Matmenys nurodomi coliais nuo kairės paraštės.", 311, 85, 85, 24,
     0},
    {131, 1096, K::StaticText, "Skaitmenys lygiuojami dešinyn.", 310, 120, 85, 18, 0},
    {131, NO_ID, K::StaticText, "(lygiuojamos kairyn)", 310, 182, 87, 8, 0},
    {131, 1064, K::PushButton, "", 180, 223, 232, 14, TAB},
    {131, 2, K::PushButton, "Atšaukti", 180, 250, 50, 14, TAB},
    {131, 1065, K::PushButton, "Maketas iš S-21 PDF formos...", 234, 250, 124, 14, TAB},
    {131, 1, K::DefaultPushButton, "OK", 362, 250, 50, 14, TAB},
};

class ControlTable : public ::testing::TestWithParam<Expected> {};

TEST_P(ControlTable, HasKindTextPlaceAndStyles) {
    const Expected& e = GetParam();
    const ControlTemplate* c = locate(e);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->kind, e.kind);
    EXPECT_EQ(c->text, e.text);
    EXPECT_EQ(c->x, e.x);
    EXPECT_EQ(c->y, e.y);
    EXPECT_EQ(c->w, e.w);
    EXPECT_EQ(c->h, e.h);
    EXPECT_EQ(c->styles & e.styles, e.styles);
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, ControlTable, ::testing::ValuesIn(CONTROLS));

struct ExpectedDialog {
    int id;
    const char* title;
    int w, h;
    unsigned styles;
    std::size_t controls;
};

std::ostream& operator<<(std::ostream& out, const ExpectedDialog& e) {
    return out << "dialog " << e.id;
}

const unsigned FRAME = DialogStyle::CAPTION | DialogStyle::MODAL_FRAME;

const ExpectedDialog DIALOGS[] = {
    {100, "Apie Pelkorl", 235, 97, FRAME | DialogStyle::SYSTEM_MENU, 5},
    {102, "", 477, 263, DialogStyle::CAPTION | DialogStyle::SYSTEM_MENU, 32},
    {118, "Pasirinkite aplanką, į kurį norite įrašyti programos failus", 205, 102, FRAME, 5},
    {120, "Įveskite slaptažodį", 137, 52, FRAME, 3},
    {130, "", 277, 201, FRAME, 27},
    // Header group: frame, X, Y, 12 rows of three, two notes; table group: frame and two rows of
    // three; column group: frame, 7 rows of two, three notes; three buttons.
    {131, "Detalus maketas", 418, 271, FRAME, 3 + 36 + 2 + 7 + 1 + 14 + 3 + 4},
};

class DialogTable : public ::testing::TestWithParam<ExpectedDialog> {};

TEST_P(DialogTable, FrameFontAndControls) {
    const ExpectedDialog& e = GetParam();
    const DialogTemplate& d = dialogTemplate(e.id);
    EXPECT_EQ(d.resourceId, e.id);
    EXPECT_EQ(d.title, e.title);
    EXPECT_EQ(d.w, e.w);
    EXPECT_EQ(d.h, e.h);
    EXPECT_EQ(d.styles, e.styles);
    EXPECT_EQ(d.fontFace, "MS Sans Serif");
    EXPECT_EQ(d.fontPoints, 8);
    EXPECT_EQ(d.controls.size(), e.controls);
}

TEST_P(DialogTable, IdsAreUniqueAndControlsInsideTheDialog) {
    const DialogTemplate& d = dialogTemplate(GetParam().id);
    std::set<int> seen;
    for (const ControlTemplate& c : d.controls) {
        if (c.id != NO_ID) {
            EXPECT_TRUE(seen.insert(c.id).second) << "duplicate id " << c.id;
        }
        EXPECT_GE(c.x, 0) << c.text;
        EXPECT_GE(c.y, 0) << c.text;
        EXPECT_GT(c.w, 0) << c.id << " " << c.text;
        EXPECT_GT(c.h, 0) << c.id << " " << c.text;
        EXPECT_LE(c.x + c.w, d.w) << c.id << " " << c.text;
        EXPECT_LE(c.y + c.h, d.h) << c.id << " " << c.text;
    }
}

TEST_P(DialogTable, OneDefaultButtonAndItIsOk) {
    const DialogTemplate& d = dialogTemplate(GetParam().id);
    int defaults = 0;
    for (const ControlTemplate& c : d.controls) {
        if (c.kind == K::DefaultPushButton) {
            ++defaults;
            EXPECT_EQ(c.id, ID_OK);
        }
    }
    EXPECT_EQ(defaults, 1);
}

TEST_P(DialogTable, EveryRadioGroupIsClosedByTheNextGroupControl) {
    const DialogTemplate& d = dialogTemplate(GetParam().id);
    const auto& c = d.controls;
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (c[i].kind != K::AutoRadioButton) {
            continue;
        }
        // A run of radios starts with GROUP ...
        if (i == 0 || c[i - 1].kind != K::AutoRadioButton) {
            EXPECT_TRUE(c[i].has(S::GROUP)) << c[i].id;
        }
        // ... and the control after it starts the next group, so nothing later joins it.
        if (i + 1 < c.size() && c[i + 1].kind != K::AutoRadioButton) {
            EXPECT_TRUE(c[i + 1].has(S::GROUP)) << c[i + 1].id;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, DialogTable, ::testing::ValuesIn(DIALOGS));

TEST(DialogTemplates, TheSixResourcesAndNothingElse) {
    EXPECT_EQ(dialogTemplateIds(), (std::vector<int>{100, 102, 118, 120, 130, 131}));
    const DialogTemplate& unknown = dialogTemplate(999);
    EXPECT_EQ(unknown.resourceId, 0);
    EXPECT_TRUE(unknown.controls.empty());
    EXPECT_EQ(findControl(dialogTemplate(100), NO_ID), nullptr);
    EXPECT_EQ(findControl(dialogTemplate(102), 1068), nullptr);
}

std::vector<int> idsInOrder(const DialogTemplate& d) {
    std::vector<int> ids;
    for (const ControlTemplate& c : d.controls) {
        if (c.id != NO_ID) {
            ids.push_back(c.id);
        }
    }
    return ids;
}

TEST(MainDialog, TabOrderAsListed) {
    // The preview and PDF buttons follow box 1027 on their row, "print all" follows 1014, the
    // fill and totals buttons "print all", the form's box the print button.
    const std::vector<int> expected = {1000, 1029, 1006, 1007, 1010, 1030, 1031, 129,
                                       1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022,
                                       1023, 1024, 1025, 1026, 1028, 1027, 1101, 1102,
                                       1103, 1014, 1100, 1105, 1106, 1,    1104, 2};
    EXPECT_EQ(idsInOrder(dialogTemplate(MAIN_DIALOG_ID)), expected);
}

TEST(MainDialog, NoTwoControlsOverlap) {
    const DialogTemplate& d = dialogTemplate(MAIN_DIALOG_ID);
    for (std::size_t i = 0; i < d.controls.size(); ++i) {
        for (std::size_t j = i + 1; j < d.controls.size(); ++j) {
            const ControlTemplate& a = d.controls[i];
            const ControlTemplate& b = d.controls[j];
            const bool apart =
                a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
            EXPECT_TRUE(apart) << a.id << " and " << b.id;
        }
    }
}

TEST(MainDialog, MonthBoxesFollowTheTableRows) {
    const DialogTemplate& d = dialogTemplate(MAIN_DIALOG_ID);
    const int rowY[12] = {85, 95, 104, 113, 122, 131, 140, 150, 159, 168, 178, 187};
    for (int row = 0; row < 12; ++row) {
        const ControlTemplate* box = findControl(d, 1015 + row);
        ASSERT_NE(box, nullptr) << row;
        EXPECT_EQ(box->y, rowY[row]) << row;
        EXPECT_EQ(box->x, 462);
        // Every box sits inside the table preview's height.
        const ControlTemplate* table = findControl(d, 129);
        EXPECT_GE(box->y, table->y);
        EXPECT_LE(box->y + box->h, table->y + table->h);
    }
}

TEST(OptionsDialog, UpDownsFollowTheirBuddies) {
    const DialogTemplate& d = dialogTemplate(OPTIONS_DIALOG_ID);
    for (int id : {1057, 1058}) {
        auto it = std::find_if(d.controls.begin(), d.controls.end(),
                               [id](const ControlTemplate& c) { return c.id == id; });
        ASSERT_NE(it, d.controls.begin());
        const ControlTemplate& buddy = *(it - 1);
        EXPECT_EQ(buddy.kind, K::StaticText);
        EXPECT_EQ(buddy.text, "Static");
    }
}

TEST(OptionsDialog, TabOrderAsListed) {
    const std::vector<int> expected = {1014, 1019, 1015, 1016, 1017, 1018, 1013, 1012,
                                       1057, 1058, 1061, 1067, 1062, 2,    1};
    EXPECT_EQ(idsInOrder(dialogTemplate(OPTIONS_DIALOG_ID)), expected);
}

TEST(DetailedLayoutDialog, HeaderRows) {
    const DialogTemplate& d = dialogTemplate(DETAILED_LAYOUT_DIALOG_ID);
    const char* const labels[12] = {nullptr,           "Adresas",        "Telefonas",
                                    "Mob. telefonas",  "Gimimo data",    "Krikšto data",
                                    "Pateptasis/K.A.", "[x] Vyresnysis", "[x] Reg. pionierius",
                                    "[x] Bendr. pat.", "[x] Vyras",      "[x] Moteris"};
    const int labelY[12] = {29, 44, 60, 76, 92, 108, 124, 140, 156, 172, 189, 204};
    for (int k = 0; k < 12; ++k) {
        const ControlTemplate* xBox = findControl(d, 1031 + k);
        const ControlTemplate* yBox = findControl(d, 1043 + k);
        ASSERT_NE(xBox, nullptr);
        ASSERT_NE(yBox, nullptr);
        EXPECT_EQ(xBox->x, 81);
        EXPECT_EQ(yBox->x, 128);
        EXPECT_EQ(xBox->y, 25 + 16 * k);
        EXPECT_EQ(yBox->y, 25 + 16 * k);
        // The row's label comes right before its x box, then the y box.
        const ControlTemplate* label = xBox - 1;
        EXPECT_EQ(label->kind, K::StaticText);
        EXPECT_EQ(label->y, labelY[k]);
        EXPECT_EQ(label->x, k == 3 ? 16 : 15);
        EXPECT_EQ(xBox + 1, yBox);
        const std::string expected =
            labels[k] ? labels[k] : "Vardas                  "; // eighteen blanks
        EXPECT_EQ(label->text, expected);
    }
    EXPECT_EQ(std::string("Vardas                  ").size(), 6u + 18u);
}

TEST(DetailedLayoutDialog, ColumnRowsAndFirstBox) {
    const DialogTemplate& d = dialogTemplate(DETAILED_LAYOUT_DIALOG_ID);
    const char* const labels[7] = {"Knygos",          "Brošiüros",         "Valandos", "Žurnalai",
                                   "Pakart. aplank.", "Biblijos studijos", "Pastabos"};
    for (int i = 0; i < 7; ++i) {
        const ControlTemplate* box = findControl(d, 1068 + i);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->x, 263);
        EXPECT_EQ(box->y, 83 + 16 * i);
        EXPECT_EQ((box - 1)->text, labels[i]);
        EXPECT_EQ((box - 1)->x, 194);
    }
    // The focus starts in the name's x box: the first control that takes it.
    auto first = std::find_if(d.controls.begin(), d.controls.end(),
                              [](const ControlTemplate& c) { return c.has(S::TAB_STOP); });
    ASSERT_NE(first, d.controls.end());
    EXPECT_EQ(first->id, 1031);
    // Every inch box has the same size.
    int boxes = 0;
    for (const ControlTemplate& c : d.controls) {
        if (c.kind == K::Edit) {
            ++boxes;
            EXPECT_EQ(c.w, 40);
            EXPECT_EQ(c.h, 14);
            EXPECT_TRUE(c.has(BOX));
        }
    }
    EXPECT_EQ(boxes, 33);
}

} // namespace
