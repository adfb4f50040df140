#include "text/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace pelkorl {
namespace {

struct TextCase {
    int id;
    const char* expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << "id " << c.id;
}

class StringTableTest : public testing::TestWithParam<TextCase> {};

TEST_P(StringTableTest, holdsTheText) {
    EXPECT_EQ(loadText(GetParam().id), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    DialogTexts, StringTableTest,
    testing::Values(TextCase{101, "&Apie PELKORL..."}, TextCase{102, "Įveskite slaptažodį"},
                    TextCase{103, "Neteisingas slaptažodis ..."}, TextCase{104, "Vardas"},
                    TextCase{105, "Adresas"}, TextCase{106, "Telefonas"},
                    TextCase{107, "Gim. data"}, TextCase{108, "Krikšto data"},
                    TextCase{110, "[   ] Vyresn."}, TextCase{111, "[   ] Reg. pionierius"},
                    TextCase{112, "[   ] Bendr.pat."}, TextCase{113, "P"}, TextCase{114, "K.A."},
                    TextCase{116, "Skaitmenis įveskite su 2-iem skaičiais po taško.\n"
                                  "Pavyzdžiui:  1.00  1.25   0.88\nLimitas - 9.99"},
                    TextCase{131, "Pasirinktu adresu yra skelbėjų duomenų.\n\nSpauskite OK "
                                  "įkelti šiuos duomenis.\n\nSpauskite Cancel darbui su "
                                  "esamais duomenimis."},
                    TextCase{137, "Visi skelbėjai"}, TextCase{138, "Reg.pionieriai"},
                    TextCase{139, "Krikštyti"}, TextCase{140, "Nekrikštyti"}, TextCase{141, ",25"},
                    TextCase{142, ",5"}, TextCase{143, ",75"}, TextCase{144, "1"},
                    TextCase{145, "Mobilius"}, TextCase{146, "3"}, TextCase{147, "Pelkorl"},
                    TextCase{148, "Detalus maketas"}, TextCase{149, "Atkurti standartą"},
                    TextCase{150, "Vyras"}, TextCase{151, "Moteris"}));

INSTANTIATE_TEST_SUITE_P(
    MonthNames, StringTableTest,
    testing::Values(TextCase{117, "Sau"}, TextCase{118, "Vas"}, TextCase{119, "Kov"},
                    TextCase{120, "Bal"}, TextCase{121, "Geg"}, TextCase{122, "Bir"},
                    TextCase{123, "Lie"}, TextCase{124, "Rgp"}, TextCase{125, "Rgs"},
                    TextCase{126, "Spa"}, TextCase{127, "Lap"}, TextCase{128, "Grd"},
                    TextCase{1203, "Sau"}, TextCase{1206, "Bal"}, TextCase{1210, "Rgp"},
                    TextCase{1211, "Rgs"}, TextCase{1214, "Grd"}));

INSTANTIATE_TEST_SUITE_P(
    VersionsAndColumns, StringTableTest,
    testing::Values(TextCase{400, "S-21-L  9/15"},
                    TextCase{401, "S-21-L  1/06  Printed in Finland"},
                    TextCase{402, "S-21-L  11/23"}, TextCase{404, " "}, TextCase{1215, "Y"},
                    TextCase{1216, " "}, TextCase{1217, "M"}, TextCase{1219, " "},
                    TextCase{1012, "Knyg."}, TextCase{1013, "Brš."}, TextCase{1014, "Val."},
                    TextCase{1015, "Prnm."}, TextCase{1016, "Žur."}, TextCase{1017, "P.apl."},
                    TextCase{1018, "B.Std."}, TextCase{1019, "Pastabos"},
                    TextCase{1026, "Pag.pionierius"}, TextCase{1068, "Iš Viso"},
                    TextCase{1415, "Leid."}, TextCase{1416, "Video"}, TextCase{1417, "Val."},
                    TextCase{1418, "Pak.apl."}, TextCase{1419, "B.stud."},
                    TextCase{1420, "Leidiniai"}, TextCase{1421, "Parodyta siužetų"}));

// Every default of the two selectable versions, and samples of the reserved ones.
INSTANTIATE_TEST_SUITE_P(
    LayoutVersion0, StringTableTest,
    testing::Values(TextCase{500, "0.60"}, TextCase{501, "0.30"}, TextCase{502, "0.50"},
                    TextCase{503, "2.50"}, TextCase{504, "4.25"}, TextCase{505, "0.50"},
                    TextCase{506, "3.00"}, TextCase{507, "3.90"}, TextCase{508, "3.90"},
                    TextCase{509, "4.55"}, TextCase{510, "5.20"}, TextCase{511, "5.20"},
                    TextCase{600, "0.22"}, TextCase{601, "0.38"}, TextCase{602, "0.57"},
                    TextCase{603, "0.57"}, TextCase{604, "0.57"}, TextCase{605, "0.81"},
                    TextCase{606, "0.81"}, TextCase{607, "0.75"}, TextCase{608, "0.86"},
                    TextCase{609, "0.75"}, TextCase{610, "0.00"}, TextCase{611, "0.10"},
                    TextCase{700, "1.32"}, TextCase{701, "1.99"}, TextCase{702, "1.00"},
                    TextCase{703, "1.60"}, TextCase{704, "2.30"}, TextCase{705, "2.90"},
                    TextCase{706, "3.40"}, TextCase{707, "3.40"}, TextCase{708, "3.60"}));

INSTANTIATE_TEST_SUITE_P(
    LayoutVersion1, StringTableTest,
    testing::Values(TextCase{520, "0.60"}, TextCase{521, "0.30"}, TextCase{522, "0.30"},
                    TextCase{523, "2.40"}, TextCase{524, "4.25"}, TextCase{525, "0.60"},
                    TextCase{526, "3.00"}, TextCase{527, "3.60"}, TextCase{528, "3.60"},
                    TextCase{529, "4.25"}, TextCase{530, "5.29"}, TextCase{531, "5.29"},
                    TextCase{620, "0.22"}, TextCase{621, "0.38"}, TextCase{622, "0.57"},
                    TextCase{623, "0.57"}, TextCase{624, "0.57"}, TextCase{625, "0.81"},
                    TextCase{626, "0.81"}, TextCase{627, "0.75"}, TextCase{628, "0.86"},
                    TextCase{629, "0.75"}, TextCase{630, "0.00"}, TextCase{631, "0.10"},
                    TextCase{720, "1.32"}, TextCase{721, "1.99"}, TextCase{722, "0.62"},
                    TextCase{723, "1.19"}, TextCase{724, "1.90"}, TextCase{725, "2.45"},
                    TextCase{726, "3.00"}, TextCase{727, "3.60"}, TextCase{728, "3.78"}));

// Version 2, the 11/23 card, with the items kept in spare slots (512-514, 612-614).
INSTANTIATE_TEST_SUITE_P(
    LayoutVersion2, StringTableTest,
    testing::Values(TextCase{540, "0.74"}, TextCase{541, "0.00"}, TextCase{544, "1.27"},
                    TextCase{546, "5.37"}, TextCase{547, "0.27"}, TextCase{548, "3.04"},
                    TextCase{549, "1.15"}, TextCase{550, "5.37"}, TextCase{551, "6.78"},
                    TextCase{552, "0.83"}, TextCase{553, "6.78"}, TextCase{554, "4.71"},
                    TextCase{640, "0.92"}, TextCase{645, "1.37"}, TextCase{646, "1.39"},
                    TextCase{647, "1.61"}, TextCase{650, "1.16"}, TextCase{652, "2.47"},
                    TextCase{653, "1.39"}, TextCase{654, "1.61"}, TextCase{740, "2.84"},
                    TextCase{741, "3.31"}, TextCase{742, "1.86"}, TextCase{745, "4.84"},
                    TextCase{746, "1.39"}, TextCase{747, "8.02"}, TextCase{748, "5.38"}));

INSTANTIATE_TEST_SUITE_P(LayoutReserved, StringTableTest,
                         testing::Values(TextCase{563, "1.65"}, TextCase{567, "4.35"},
                                         TextCase{582, "0.62"}, TextCase{591, "5.25"},
                                         TextCase{660, "0.22"}, TextCase{691, "0.10"},
                                         TextCase{761, "1.99"}, TextCase{788, "3.38"},
                                         TextCase{709, " "}, TextCase{711, " "},
                                         TextCase{791, " "}));

// Ids with no text, inside and outside the ranges in use.
INSTANTIATE_TEST_SUITE_P(Unknown, StringTableTest,
                         testing::Values(TextCase{0, ""}, TextCase{-1, ""}, TextCase{100, ""},
                                         TextCase{115, ""}, TextCase{152, ""}, TextCase{399, ""},
                                         TextCase{405, ""}, TextCase{499, ""}, TextCase{512, ""},
                                         TextCase{532, ""}, TextCase{555, ""}, TextCase{572, ""},
                                         TextCase{519, ""}, TextCase{612, ""}, TextCase{712, ""},
                                         TextCase{792, ""}, TextCase{800, ""}, TextCase{1020, ""},
                                         TextCase{1202, ""}, TextCase{1220, ""}, TextCase{1422, ""},
                                         TextCase{2147483647, ""}));

struct InsertCase {
    const char* text;
    const char* insert;
    const char* expected;
};

class InsertTextTest : public testing::TestWithParam<InsertCase> {};

TEST_P(InsertTextTest, replacesEveryMarker) {
    EXPECT_EQ(insertText(GetParam().text, GetParam().insert), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertTextTest,
    testing::Values(InsertCase{"Detalus maketas - %1", "S-21-L  9/15",
                               "Detalus maketas - S-21-L  9/15"},
                    InsertCase{"%1", "Vyras", "Vyras"}, InsertCase{"%1 / %1", "a", "a / a"},
                    InsertCase{"no marker", "x", "no marker"}, InsertCase{"%1", "", ""},
                    InsertCase{"%2 and %", "x", "%2 and %"}, InsertCase{"100%1", "%1", "100%1"},
                    InsertCase{"", "x", ""}));

TEST(LoadTextTest, secondIdFillsTheMarkerOrLeavesTheTextAlone) {
    // No text of the table carries a marker, so a second id never changes it.
    EXPECT_EQ(loadText(148, 400), "Detalus maketas");
    EXPECT_EQ(loadText(147, 401), "Pelkorl");
    EXPECT_EQ(loadText(9999, 400), "");
    EXPECT_EQ(loadText(116, 0), loadText(116));
}

} // namespace
} // namespace pelkorl
