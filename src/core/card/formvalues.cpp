#include "card/formvalues.h"

#include "card/cardbatch.h"
#include "card/cardstate.h"
#include "card/figures.h"
#include "card/formatting.h"
#include "card/headermarks.h"
#include "card/totals.h"
#include "records/publisherdata.h"
#include "text/codepage.h"

#include <array>
#include <string_view>

namespace pelkorl {

namespace {

// The month rows' fields are numbered 20 (September) to 31 (August).
constexpr int FIRST_ROW_FIELD = 20;

void addText(std::vector<FormValue>& values, std::string name, std::string value,
             std::string shown) {
    FormValue v;
    v.name = std::move(name);
    v.value = std::move(value);
    v.shown = std::move(shown);
    values.push_back(std::move(v));
}

void addText(std::vector<FormValue>& values, std::string name, const std::string& text) {
    addText(values, std::move(name), text, text);
}

void addBox(std::vector<FormValue>& values, std::string name, bool on) {
    FormValue v;
    v.name = std::move(name);
    v.kind = FormFieldKind::CheckBox;
    v.on = on;
    values.push_back(std::move(v));
}

std::string rowField(int column, int row, std::string_view kind) {
    return std::to_string(column) + "_" + std::to_string(FIRST_ROW_FIELD + row) + "_" +
           std::string(kind);
}

std::string recordDate(const CardState& state, int which) {
    if (!state.data)
        return {};
    return cp1257ToUtf8(
        formatDate(state.data->store, cardPublisher(state), which, state.dateFormat));
}

void addHeader(std::vector<FormValue>& values, const CardState& state) {
    const HeaderMarks marks = headerMarks(state, cardPublisher(state));
    addText(values, "900_1_Text_SanSerif", cp1257ToUtf8(state.displayName));
    addText(values, "900_2_Text_SanSerif", recordDate(state, BIRTH_DATE));
    addBox(values, "900_3_CheckBox", state.markSex && marks.sex == Sex::Male);
    addBox(values, "900_4_CheckBox", state.markSex && marks.sex == Sex::Female);
    addText(values, "900_5_Text_SanSerif", recordDate(state, BAPTISM_DATE));
    addBox(values, "900_6_CheckBox", marks.otherSheep);
    addBox(values, "900_7_CheckBox", marks.anointed);
    addBox(values, "900_8_CheckBox", marks.elder);
    addBox(values, "900_9_CheckBox", marks.ministerialServant);
    addBox(values, "900_10_CheckBox", marks.regularPioneer);
    // The program keeps no record of special pioneers or field missionaries.
    addBox(values, "900_11_CheckBox", false);
    addBox(values, "900_12_CheckBox", false);
    addText(values, "900_13_Text_C_SanSerif", std::to_string(serviceYearNumber(state)));
}

// Adds the fields of one month row; true when its hours field is filled.
bool addRow(std::vector<FormValue>& values, const CardState& state, int row) {
    const bool shown = rowShown(state, row);
    const int record = state.selectedRecord;
    const int m = monthOfRow(row);
    const auto cell = [&](int kind) {
        return shown ? cellText(state, record, m, kind) : CellText{};
    };
    addBox(values, rowField(901, row, "CheckBox"), cell(KIND_SHARED_IN_MINISTRY).drawn);
    const CellText studies = cell(KIND_MINISTRY_STUDIES);
    addText(values, rowField(902, row, "Text_C_SanSerif"), studies.drawn ? studies.text : "");
    addBox(values, rowField(903, row, "CheckBox"), cell(KIND_AUXILIARY_PIONEER).drawn);
    const CellText hours = cell(KIND_HOURS);
    if (hours.drawn)
        addText(values, rowField(904, row, "S21_Value"),
                plainHours(columnFigure(state, record, m, KIND_HOURS),
                           columnQuarters(state, record, m)),
                hours.text);
    else
        addText(values, rowField(904, row, "S21_Value"), "");
    addText(values, rowField(905, row, "Text_SanSerif"),
            shown ? cp1257ToUtf8(remarksText(state, record, m)) : "");
    return hours.drawn;
}

} // namespace

std::string plainHours(long long whole, int quarters) {
    static constexpr std::array<const char*, 4> FRACTIONS = {"", ".25", ".5", ".75"};
    return std::to_string(whole) + FRACTIONS[static_cast<std::size_t>(quarters & 3)];
}

std::vector<FormValue> blankFormValues() {
    return formValues(CardState{});
}

std::vector<FormValue> formValues(const CardState& given) {
    CardState state = given;
    state.cardVersion = 2;
    state.columnSet = ColumnSet::Ministry;

    std::vector<FormValue> values;
    values.reserve(FORM_FIELD_COUNT);
    addHeader(values, state);
    std::array<bool, MONTH_ROWS> rows{};
    bool anyHours = false;
    for (int row = 0; row < MONTH_ROWS; ++row) {
        anyHours = addRow(values, state, row) || anyHours;
        rows[static_cast<std::size_t>(row)] = rowShown(state, row);
    }
    const RowsTotal total = rowsTotal(state, state.selectedRecord, KIND_HOURS, rows);
    if (anyHours)
        addText(values, "904_32_S21_Value", plainHours(total.whole, total.quarters), total.text);
    else
        addText(values, "904_32_S21_Value", "");
    return values;
}

std::vector<std::vector<FormValue>> formPages(const CardState& state, const CardPage& page,
                                              bool bothYears) {
    std::vector<std::vector<FormValue>> pages;
    CardState card = pageStateFor(state, page);
    if (bothYears) {
        card.previousYear = true;
        pages.push_back(formValues(card));
        card.previousYear = false;
    }
    pages.push_back(formValues(card));
    return pages;
}

std::string formYears(const CardState& state, bool bothYears) {
    if (!bothYears)
        return std::to_string(serviceYearNumber(state));
    CardState current = state;
    current.previousYear = false;
    const int year = serviceYearNumber(current);
    return std::to_string(year - 1) + "-" + std::to_string(year);
}

} // namespace pelkorl
