// What goes into which field of the fillable S-21 11/23 form, and the files filled forms are
// written to.
#include "card/cardbatch.h"
#include "card/cardfilename.h"
#include "card/formvalues.h"
#include "cardfixture.h"

#include <gtest/gtest.h>

#include <map>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

constexpr int FEB = 1, MAR = 2, AUG = 7, SEP = 8, OCT = 9;

// The fields that hold something: a text as "value|shown", a ticked box as "on".
using Filled = std::map<std::string, std::string>;

Filled filled(const std::vector<FormValue>& values) {
    Filled out;
    for (const FormValue& v : values) {
        if (v.kind == FormFieldKind::CheckBox && v.on)
            out[v.name] = "on";
        else if (v.kind == FormFieldKind::Text && !(v.value.empty() && v.shown.empty()))
            out[v.name] = v.value + "|" + v.shown;
    }
    return out;
}

struct FormCase {
    const char* name;
    sample::PublisherSpec publisher;
    int lastMonth;
    bool previousYear;
    bool markSex;
    Filled expected;
};

void PrintTo(const FormCase& c, std::ostream* os) {
    *os << c.name;
}

sample::PublisherSpec publisher(std::string baptism, bool anointed, std::uint8_t appointment) {
    sample::PublisherSpec p = person("Gra\xFEina", "\xD0imk\xFBnien\xEB");
    p.birthDate = "03041989";
    p.baptismDate = std::move(baptism);
    p.anointed = anointed;
    p.appointment = appointment;
    return p;
}

const Filled HEADER = {{"900_1_Text_SanSerif", "Gražina Šimkūnienė|Gražina Šimkūnienė"},
                       {"900_2_Text_SanSerif", "03/04/1989|03/04/1989"}};
const std::string IMMERSED = "04/18/2007|04/18/2007";

Filled with(Filled base, const Filled& more) {
    base.insert(more.begin(), more.end());
    return base;
}

FormCase pioneer() {
    sample::PublisherSpec p = publisher("04182007", false, sample::ELDER);
    p.male = true;
    p.months[AUG].status = sample::REGULAR_PIONEER;
    p.months[SEP] = {
        .status = sample::REGULAR_PIONEER, .hours = 70, .bibleStudies = 2, .quarterHours = 3};
    p.months[OCT] = {.status = sample::REGULAR_PIONEER, .hours = 185};
    return {"regularPioneerElder",
            p,
            AUG,
            false,
            true,
            with(HEADER, {{"900_5_Text_SanSerif", IMMERSED},
                          {"900_3_CheckBox", "on"},
                          {"900_6_CheckBox", "on"},
                          {"900_8_CheckBox", "on"},
                          {"900_10_CheckBox", "on"},
                          {"900_13_Text_C_SanSerif", "2027|2027"},
                          {"901_20_CheckBox", "on"},
                          {"902_20_Text_C_SanSerif", "2|2"},
                          {"904_20_S21_Value", "70.75|70,75"},
                          {"901_21_CheckBox", "on"},
                          {"904_21_S21_Value", "185|185"},
                          {"904_32_S21_Value", "255.75|255,75"}})};
}

FormCase auxiliary() {
    sample::PublisherSpec p = publisher("04182007", false, 0);
    p.female = true; // not marked: "V/M" is not ticked
    p.months[OCT] = {.status = sample::AUXILIARY_PIONEER, .hours = 30, .quarterHours = 2};
    p.months[SEP] = {.hours = 12, .bibleStudies = 1}; // a publisher's hours are not shown
    return {"auxiliaryMonth",
            p,
            AUG,
            false,
            false,
            with(HEADER, {{"900_5_Text_SanSerif", IMMERSED},
                          {"900_6_CheckBox", "on"},
                          {"900_13_Text_C_SanSerif", "2027|2027"},
                          {"901_20_CheckBox", "on"},
                          {"902_20_Text_C_SanSerif", "1|1"},
                          {"901_21_CheckBox", "on"},
                          {"903_21_CheckBox", "on"},
                          {"904_21_S21_Value", "30.5|30,5"},
                          {"904_32_S21_Value", "30.5|30,5"}})};
}

FormCase unbaptized() {
    sample::PublisherSpec p = publisher("", true, 0);
    p.months[SEP].magazines = 4;
    // Reported after February, the last month: not this service year's yet.
    p.months[MAR] = {.status = sample::AUXILIARY_PIONEER, .hours = 30};
    return {"unbaptizedNoHopeNoTotal",
            p,
            FEB,
            false,
            true,
            with(HEADER, {{"900_13_Text_C_SanSerif", "2027|2027"}, {"901_20_CheckBox", "on"}})};
}

FormCase anointed() {
    sample::PublisherSpec p = publisher("04182007", true, sample::MINISTERIAL_SERVANT);
    return {"anointedServant",
            p,
            AUG,
            false,
            false,
            with(HEADER, {{"900_5_Text_SanSerif", IMMERSED},
                          {"900_7_CheckBox", "on"},
                          {"900_9_CheckBox", "on"},
                          {"900_13_Text_C_SanSerif", "2027|2027"}})};
}

FormCase previousYear() {
    sample::PublisherSpec p = publisher("04182007", false, 0);
    p.months[SEP] = {.status = sample::REGULAR_PIONEER, .hours = 60}; // this year's September
    p.months[FEB].status = sample::REGULAR_PIONEER;                   // the last month
    p.months[MAR] = {.status = sample::REGULAR_PIONEER, .hours = 50, .quarterHours = 1};
    return {"previousYearRowsAfterTheLastMonth",
            p,
            FEB,
            true,
            false,
            with(HEADER, {{"900_5_Text_SanSerif", IMMERSED},
                          {"900_6_CheckBox", "on"},
                          {"900_10_CheckBox", "on"},
                          {"900_13_Text_C_SanSerif", "2026|2026"},
                          {"901_26_CheckBox", "on"},
                          {"904_26_S21_Value", "50.25|50,25"},
                          {"904_32_S21_Value", "50.25|50,25"}})};
}

class FormFields : public ::testing::TestWithParam<FormCase> {};

} // namespace

TEST_P(FormFields, HoldWhatTheCardPrints) {
    const FormCase& c = GetParam();
    CardFixture f;
    const int j = f.addPublisher(c.publisher);
    f.state.lastMonth = c.lastMonth;
    f.state.previousYear = c.previousYear;
    f.state.markSex = c.markSex;
    // Neither the card version nor the month boxes limit the form.
    f.state.monthChecked.fill(false);
    const std::vector<std::vector<FormValue>> pages = formPages(f.state, CardPage{j}, false);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), std::size_t(FORM_FIELD_COUNT));
    EXPECT_EQ(filled(pages[0]), c.expected);
}

INSTANTIATE_TEST_SUITE_P(S21, FormFields,
                         ::testing::Values(pioneer(), auxiliary(), unbaptized(), anointed(),
                                           previousYear()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormFields, BothYearsGiveThePreviousYearFirst) {
    CardFixture f;
    const int j = f.addPublisher(publisher("04182007", false, 0));
    f.state.lastMonth = FEB;
    const auto pages = formPages(f.state, CardPage{j}, true);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(filled(pages[0]).at("900_13_Text_C_SanSerif"), "2026|2026");
    EXPECT_EQ(filled(pages[1]).at("900_13_Text_C_SanSerif"), "2027|2027");
    EXPECT_EQ(formYears(f.state, true), "2026-2027");
}

TEST(CardFileNames, SafeShortAndUnique) {
    CardFileNames names;
    EXPECT_EQ(names.next("Šimkūnienė Gražina", "2027"), "Šimkūnienė Gražina 2027.pdf");
    // Two publishers of one name, the second in other letter case as well.
    EXPECT_EQ(names.next("Šimkūnienė Gražina", "2027"), "Šimkūnienė Gražina 2027 (2).pdf");
    EXPECT_EQ(names.next("ŠIMKŪNIENĖ GRAŽINA", "2027"), "ŠIMKŪNIENĖ GRAŽINA 2027 (3).pdf");
    // Slashes and what other file systems refuse, control characters, dots and blanks at the
    // ends.
    EXPECT_EQ(names.next(" ..Jonas/Petras\\A:B*?\"<>|\t\x01Z. ", "2027"),
              "Jonas_Petras_A_B______ Z 2027.pdf");
    EXPECT_EQ(names.next("...", "2026-2027"), "2026-2027.pdf");
    // A long name is cut at a whole character, within 120 bytes with its copy number.
    std::string longName;
    for (int i = 0; i < 40; ++i)
        longName += "Ž.";
    const std::string first = names.next(longName, "2027");
    const std::string second = names.next(longName, "2027");
    for (const std::string& name : {first, second}) {
        EXPECT_LE(name.size(), MAX_FILE_NAME_BYTES);
        EXPECT_EQ(name.find(". "), std::string::npos) << name; // no dot left before the year
        EXPECT_EQ(name.substr(0, 2), "Ž");
    }
    EXPECT_EQ(second.substr(second.size() - 13), " 2027 (2).pdf");
    EXPECT_EQ(first.substr(first.size() - 9), " 2027.pdf");
}
