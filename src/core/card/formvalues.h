#pragma once
// What each field of the branch's fillable S-21 11/23 form holds for one publisher: the
// texts and marks the 11/23 card prints, taken from the same functions, as plain values.
// Every field of the form is listed, empty ones too, so a fill also clears what a form
// held before.
#include <string>
#include <vector>

namespace pelkorl {

struct CardPage;
struct CardState;

enum class FormFieldKind { Text, CheckBox };

struct FormValue {
    std::string name; // the field's name in the form, the same in every language edition
    FormFieldKind kind = FormFieldKind::Text;
    std::string value; // text field: its value (UTF-8); hours as a plain number, 255.75
    std::string shown; // text field: what it shows (UTF-8); hours as the card prints, 255,75
    bool on = false;   // check box
};

// Fields of the form, in the order formValues lists them.
inline constexpr int FORM_FIELD_COUNT = 74;

// The form's fields for `state.selectedRecord`, whose displayName is chosen (cardStateFor).
// The card is read as the 11/23 card whatever the state's card version; the month boxes of
// the state do not limit it: every month of the service year shown that has a report.
std::vector<FormValue> formValues(const CardState& state);

// Every field of the form, empty: what a form must have for the card to fill it.
std::vector<FormValue> blankFormValues();

// The pages of one publisher's or totals record's filled form: the service year the state
// shows, or with `bothYears` the previous service year first, then the current one. The
// state need not show that page.
std::vector<std::vector<FormValue>> formPages(const CardState& state, const CardPage& page,
                                              bool bothYears);

// The service year a filled form's file is named by: "2027", or "2026-2027" for both years.
std::string formYears(const CardState& state, bool bothYears);

// "255.75" for 255 hours and 3 quarters.
std::string plainHours(long long whole, int quarters);

} // namespace pelkorl
