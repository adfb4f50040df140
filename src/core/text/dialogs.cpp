#include "text/dialogs.h"

#include "text/strings.h"
#include "text/textids.h"

#include <algorithm>
#include <map>

namespace pelkorl {

namespace {

using K = ControlKind;
using S = ControlStyle;

constexpr const char* DIALOG_FONT = "MS Sans Serif";

// String-table texts of the main dialog's buttons for many cards, preview and PDF files.
constexpr int DIALOG_FONT_POINTS = 8;

ControlTemplate control(int id, ControlKind kind, std::string text, int x, int y, int w, int h,
                        unsigned styles) {
    return ControlTemplate{id, kind, std::move(text), x, y, w, h, styles};
}

ControlTemplate pushButton(int id, std::string text, int x, int y, int w, int h,
                           unsigned extra = 0) {
    return control(id, K::PushButton, std::move(text), x, y, w, h, S::TAB_STOP | extra);
}

ControlTemplate defaultButton(int id, std::string text, int x, int y, int w, int h,
                              unsigned extra = 0) {
    return control(id, K::DefaultPushButton, std::move(text), x, y, w, h, S::TAB_STOP | extra);
}

ControlTemplate checkBox(int id, std::string text, int x, int y, int w, int h) {
    return control(id, K::CheckBox, std::move(text), x, y, w, h, S::TAB_STOP);
}

ControlTemplate radio(int id, std::string text, int x, int y, int w, int h, unsigned extra = 0) {
    return control(id, K::AutoRadioButton, std::move(text), x, y, w, h, S::TAB_STOP | extra);
}

ControlTemplate label(int id, std::string text, int x, int y, int w, int h, unsigned extra = 0) {
    return control(id, K::StaticText, std::move(text), x, y, w, h, extra);
}

ControlTemplate group(std::string text, int x, int y, int w, int h) {
    return control(NO_ID, K::GroupBox, std::move(text), x, y, w, h, 0);
}

// The inch boxes of the layout dialogs: single line, bordered, scrolling sideways.
ControlTemplate edit(int id, int x, int y, int w, int h, unsigned extra = 0) {
    return control(id, K::Edit, "", x, y, w, h, S::BORDER | S::AUTO_HSCROLL | S::TAB_STOP | extra);
}

DialogTemplate dialog(int id, std::string title, int w, int h, unsigned styles) {
    DialogTemplate d;
    d.resourceId = id;
    d.title = std::move(title);
    d.w = w;
    d.h = h;
    d.fontFace = DIALOG_FONT;
    d.fontPoints = DIALOG_FONT_POINTS;
    d.styles = styles;
    return d;
}

DialogTemplate aboutDialog() {
    DialogTemplate d =
        dialog(ABOUT_DIALOG_ID, "Apie Pelkorl", 235, 97,
               DialogStyle::CAPTION | DialogStyle::SYSTEM_MENU | DialogStyle::MODAL_FRAME);
    d.controls = {
        control(NO_ID, K::Icon, "", 11, 11, 21, 20, 0),
        label(NO_ID, "Pelkorl Versija 4", 40, 17, 150, 8),
        group(" Aplankas ", 7, 38, 221, 34),
        // The folder can be long: two lines of room.
        label(1068, "", 14, 50, 207, 18),
        defaultButton(ID_OK, "OK", 178, 77, 50, 14, S::GROUP),
    };
    return d;
}

DialogTemplate mainDialog() {
    DialogTemplate d =
        dialog(MAIN_DIALOG_ID, "", 477, 263, DialogStyle::CAPTION | DialogStyle::SYSTEM_MENU);
    d.controls = {
        control(1000, K::ListBox, "", 6, 6, 90, 219,
                S::VSCROLL | S::BORDER | S::NOTIFY | S::TAB_STOP),
        pushButton(1029, "", 5, 232, 91, 14),
        control(1006, K::OwnerDrawButton, "", 104, 7, 367, 52, S::DISABLED),
        checkBox(1007, "Pavardė pradžioje", 106, 61, 81, 10),
        checkBox(1010, "Naudoti &ilgą vardą", 226, 61, 75, 10),
        checkBox(1030, "Spausdinti &antraštę", 335, 60, 77, 10),
        checkBox(1031, "V/M", 425, 60, 41, 10),
        control(129, K::OwnerDrawButton, "", 106, 74, 350, 133, S::DISABLED),
    };
    // One box per month row, September first; the rows are not evenly spaced.
    static constexpr int MONTH_ROW_Y[12] = {85,  95,  104, 113, 122, 131,
                                            140, 150, 159, 168, 178, 187};
    for (int row = 0; row < 12; ++row) {
        d.controls.push_back(checkBox(1015 + row, "", 462, MONTH_ROW_Y[row], 8, 8));
    }
    d.controls.push_back(checkBox(1028, "", 462, 196, 8, 8));
    d.controls.push_back(checkBox(1027, "Ankstesni tarn. metai", 115, 216, 110, 10));
    // Preview and PDF files on the free row beside box 1027, printing every card beside the
    // print button; the other controls keep their places.
    d.controls.push_back(pushButton(1101, loadText(PREVIEW_TEXT), 250, 213, 56, 14));
    d.controls.push_back(pushButton(1102, loadText(EXPORT_PDF_TEXT), 310, 213, 66, 14));
    d.controls.push_back(pushButton(1103, loadText(EXPORT_ALL_PDF_TEXT), 380, 213, 87, 14));
    d.controls.push_back(pushButton(1014, "Parinktys", 115, 232, 63, 14));
    d.controls.push_back(pushButton(1100, loadText(PRINT_ALL_TEXT), 186, 232, 86, 14));
    // The fillable S-21 form under the list's button, the congregation's totals records under
    // "print all": the row of the form's box.
    d.controls.push_back(pushButton(1105, loadText(FILL_FORM_TEXT), 5, 248, 106, 14));
    d.controls.push_back(pushButton(1106, loadText(TOTALS_BUTTON_TEXT), 186, 248, 90, 14));
    d.controls.push_back(defaultButton(ID_OK, "&Spausdinti", 278, 232, 62, 14));
    // The printed form, on a row of its own under the print button: the room between the print
    // and close buttons is too narrow for its text. The dialog grows by that row.
    d.controls.push_back(checkBox(1104, loadText(PRINT_FORM_BOX), 278, 250, 80, 10));
    d.controls.push_back(pushButton(ID_CANCEL, "&Uždaryti", 405, 232, 62, 14));
    return d;
}

DialogTemplate dataLocationDialog() {
    DialogTemplate d = dialog(DATA_LOCATION_DIALOG_ID,
                              "Pasirinkite aplanką, į kurį norite įrašyti programos failus", 205,
                              102, DialogStyle::CAPTION | DialogStyle::MODAL_FRAME);
    d.controls = {
        radio(206, "A:\\   (lankstusis diskas)", 13, 11, 95, 10, S::GROUP),
        radio(208, "Dabartinis diskas ir aplankas", 13, 35, 119, 11),
        pushButton(ID_CANCEL, "Atšaukti", 141, 8, 50, 14, S::GROUP),
        defaultButton(ID_OK, "OK", 141, 33, 50, 14),
        label(243,
              "Pasirinktas diskas nepasiekiamas!!\nPatikrinkite diskelį arba\npasirinkite kitą "
              "diską.",
              26, 62, 163, 34),
    };
    return d;
}

DialogTemplate passwordDialog() {
    DialogTemplate d = dialog(PASSWORD_DIALOG_ID, "Įveskite slaptažodį", 137, 52,
                              DialogStyle::CAPTION | DialogStyle::MODAL_FRAME);
    d.controls = {
        label(245, "", 9, 12, 120, 9),
        edit(244, 9, 28, 84, 12, S::PASSWORD),
        defaultButton(ID_OK, "OK", 104, 28, 25, 14),
    };
    return d;
}

DialogTemplate optionsDialog() {
    constexpr unsigned SPIN = S::ALIGN_RIGHT | S::AUTO_BUDDY | S::ARROW_KEYS;
    DialogTemplate d =
        dialog(OPTIONS_DIALOG_ID, "", 277, 201, DialogStyle::CAPTION | DialogStyle::MODAL_FRAME);
    d.controls = {
        group("Paraštės", 8, 5, 100, 56),
        label(NO_ID, "Coliai", 77, 16, 22, 8, S::TEXT_CENTER),
        label(NO_ID, "Viršutinė", 13, 29, 58, 8, S::TEXT_RIGHT),
        edit(1014, 77, 26, 24, 12, S::TEXT_CENTER),
        label(NO_ID, "Kairioji", 13, 41, 57, 8, S::TEXT_RIGHT),
        edit(1019, 77, 39, 24, 12, S::TEXT_CENTER),
        group(" Datos formatas ", 116, 5, 79, 56),
        radio(1015, "01/31/02 ", 124, 17, 51, 10, S::GROUP),
        radio(1016, "31/01/02  ", 124, 27, 48, 10),
        radio(1017, "Sau 31, 2002  ", 124, 37, 58, 10),
        radio(1018, "31 Sau, 2002 ", 124, 47, 58, 10),
        pushButton(1013, "Aplanko adresas", 199, 15, 72, 14, S::GROUP),
        pushButton(1012, "Spausdinimo parinktys", 199, 45, 73, 14),
        group(" Lentelė (skelbimo rezultatai) ", 5, 64, 267, 70),
        label(NO_ID, "Lentelės viršus", 24, 79, 68, 8),
        label(NO_ID, "Static", 106, 78, 30, 13),
        control(1057, K::UpDown, "Spin1", 96, 77, 11, 14, SPIN),
        label(NO_ID, "(coliai nuo viršut.paraštės)", 158, 79, 93, 8),
        label(NO_ID, "Lentelės aukštis", 25, 97, 68, 8),
        label(NO_ID, "Static", 106, 96, 30, 13),
        control(1058, K::UpDown, "Spin2", 96, 97, 11, 14, SPIN),
        label(NO_ID, "(12 eilučių)", 158, 98, 93, 8),
        pushButton(1061, "Atkurti standartines nuostatas", 53, 118, 156, 11),
        control(1067, K::ListBox, "", 6, 137, 145, 40,
                S::NOTIFY | S::NO_INTEGRAL_HEIGHT | S::VSCROLL | S::BORDER | S::TAB_STOP),
        pushButton(1062, "Detalus maketas", 6, 180, 145, 14),
        pushButton(ID_CANCEL, "Atšaukti", 205, 145, 66, 14),
        defaultButton(ID_OK, "OK", 205, 175, 66, 14),
    };
    return d;
}

DialogTemplate detailedLayoutDialog() {
    DialogTemplate d = dialog(DETAILED_LAYOUT_DIALOG_ID, "Detalus maketas", 418, 271,
                              DialogStyle::CAPTION | DialogStyle::MODAL_FRAME);
    auto& c = d.controls;
    c.push_back(group(" Antraštė ", 5, 5, 170, 261));
    c.push_back(label(NO_ID, "X", 98, 14, 8, 8));
    c.push_back(label(NO_ID, "Y", 144, 14, 8, 8));

    static const char* const HEADER_LABELS[12] = {
        nullptr, // built below: the name label ends in eighteen blanks
        "Adresas",         "Telefonas",       "Mob. telefonas", "Gimimo data",
        "Krikšto data",    "Pateptasis/K.A.", "[x] Vyresnysis", "[x] Reg. pionierius",
        "[x] Bendr. pat.", "[x] Vyras",       "[x] Moteris",
    };
    // Labels sit a few units below their boxes, and not quite evenly.
    static constexpr int HEADER_LABEL_Y[12] = {29,  44,  60,  76,  92,  108,
                                               124, 140, 156, 172, 189, 204};
    for (int k = 0; k < 12; ++k) {
        std::string text = k == 0 ? "Vardas" + std::string(18, ' ') : HEADER_LABELS[k];
        // Ids so that the dialog can relabel the rows for the 11/23 card.
        c.push_back(label(1080 + k, std::move(text), k == 3 ? 16 : 15, HEADER_LABEL_Y[k], 64, 8));
        c.push_back(edit(1031 + k, 81, 25 + 16 * k, 40, 14));
        c.push_back(edit(1043 + k, 128, 25 + 16 * k, 40, 14));
    }
    // Ids 1093-1096: the 11/23 card counts from the paper's edges and centres some figures.
    c.push_back(label(1093,
                      "X matmenys - coliai nuo kairės paraštės\nY matmenys - coliai nuo viršutinės "
                      "paraštės",
                      14, 227, 154, 20));
    c.push_back(label(NO_ID, "Pavyzdžiui:  1.52    0.80    0.00    2.15", 14, 251, 153, 8));

    c.push_back(group(" Lentelė  ", 180, 5, 232, 204));
    c.push_back(label(NO_ID, "Pradžia (rugsėjis)", 194, 29, 64, 8));
    c.push_back(edit(1066, 262, 25, 40, 14));
    c.push_back(label(1094, "(coliai nuo virš.paraštės)", 307, 29, 100, 8));
    c.push_back(label(NO_ID, "Lentelės aukštis", 194, 45, 64, 8));
    c.push_back(edit(1067, 262, 41, 40, 14));
    c.push_back(label(NO_ID, "(12 eilučių)", 307, 45, 100, 8));

    c.push_back(group(" Duomenų įvesties poslinkis ", 185, 65, 220, 139));
    // Captions of the column set with books and brochures; the dialog relabels them for the
    // other set.
    static const struct {
        int labelId;
        const char* text;
    } COLUMN_ROWS[7] = {
        {1076, "Knygos"},    {1075, "Brošiüros"},       {1092, "Valandos"},
        {1077, "Žurnalai"},  {1078, "Pakart. aplank."}, {1079, "Biblijos studijos"},
        {NO_ID, "Pastabos"},
    };
    for (int i = 0; i < 7; ++i) {
        const int y = 83 + 16 * i;
        c.push_back(label(COLUMN_ROWS[i].labelId, COLUMN_ROWS[i].text, 194, y + 4, 66, 8));
        c.push_back(edit(1068 + i, 263, y, 40, 14));
    }
    c.push_back(label(1095, "Matmenys nurodomi coliais nuo kairės paraštės.", 311, 85, 85, 24));
    c.push_back(label(1096, "Skaitmenys lygiuojami dešinyn.", 310, 120, 85, 18));
    c.push_back(label(NO_ID, "(lygiuojamos kairyn)", 310, 182, 87, 8));

    c.push_back(pushButton(1064, "", 180, 223, 232, 14));
    c.push_back(pushButton(ID_CANCEL, "Atšaukti", 180, 250, 50, 14));
    // Only the 11/23 card shows it.
    c.push_back(pushButton(1065, loadText(FORM_LAYOUT_BUTTON), 234, 250, 124, 14));
    c.push_back(defaultButton(ID_OK, "OK", 362, 250, 50, 14));
    return d;
}

const std::map<int, DialogTemplate>& allTemplates() {
    static const std::map<int, DialogTemplate> templates = [] {
        std::map<int, DialogTemplate> m;
        for (DialogTemplate d : {aboutDialog(), mainDialog(), dataLocationDialog(),
                                 passwordDialog(), optionsDialog(), detailedLayoutDialog()}) {
            const int id = d.resourceId;
            m.emplace(id, std::move(d));
        }
        return m;
    }();
    return templates;
}

} // namespace

const DialogTemplate& dialogTemplate(int resourceId) {
    static const DialogTemplate EMPTY;
    const auto& all = allTemplates();
    auto it = all.find(resourceId);
    return it == all.end() ? EMPTY : it->second;
}

std::vector<int> dialogTemplateIds() {
    std::vector<int> ids;
    for (const auto& [id, d] : allTemplates()) {
        ids.push_back(id);
    }
    return ids;
}

const ControlTemplate* findControl(const DialogTemplate& dialog, int id) {
    if (id == NO_ID) {
        return nullptr;
    }
    auto it = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                           [id](const ControlTemplate& c) { return c.id == id; });
    return it == dialog.controls.end() ? nullptr : &*it;
}

} // namespace pelkorl
