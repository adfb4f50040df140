#include "text/strings.h"
#include "text/textids.h"

#include <algorithm>
#include <array>
#include <string_view>

// The string table. Ids in use and what they hold:
//   101-151    dialog, list and preview texts
//   160-161    data location folder picker, replacing a file
//   170-180    print all, print preview, PDF files
//   181-182    a picked printer that is gone, a job the printer refused
//   183-187    files not written at close, the data folder at start-up (text/textids.h)
//   189        the main dialog's "print the form" box
//   190-198    captions of the printed form's header
//   210-216    the congregation's totals records, their button and the preview's choice
//   400-404    card-version captions (spare versions hold " ")
//   500-791    layout defaults, 20 ids per card version: x of header items 500-511,
//              y 600-611, table top 700, table height 701, column positions 702-708;
//              709-711 are spare and hold " "; x and y of the items kept in spare slots
//              512-514 and 612-614 (only the 11/23 card has them)
//   1012-1026  table captions and remarks texts, 1068 the total row caption
//   1203-1214  short month names, January first
//   1215-1219  column-set switch per card version ("Y" = placements)
//   1415-1421  captions of the placements column set
//   1430-1437  captions of the ministry column set (preview, then printed form)
//   1440-1447  detailed-layout labels of the 11/23 card
//   1460-1471  the 11/23 card's layout from a fillable form: button, file dialog, messages
//   1472-1475  the detailed layout's notes on the 11/23 card
//   1480-1499  why a fillable form was refused: reasons, field faults, limits
//
// Ids inside those ranges that have no text here (loadText gives ""):
//   115, 129, 130, 132-136, 237-243, 1020-1025, 1464-1467, 1489, 1494.

namespace pelkorl {
namespace {

struct Entry {
    int id;
    std::string_view text;
};

constexpr Entry TEXTS[] = {
    {101, "&Apie PELKORL..."},
    {102, "Įveskite slaptažodį"},
    {103, "Neteisingas slaptažodis ..."},
    {104, "Vardas"},
    {105, "Adresas"},
    {106, "Telefonas"},
    {107, "Gim. data"},
    {108, "Krikšto data"},
    {109, "Pateptasis ar \"Kita avis\""},
    {110, "[   ] Vyresn."},
    {111, "[   ] Reg. pionierius"},
    {112, "[   ] Bendr.pat."},
    {113, "P"},
    {114, "K.A."},
    {116, "Skaitmenis įveskite su 2-iem skaičiais po taško.\n"
          "Pavyzdžiui:  1.00  1.25   0.88\n"
          "Limitas - 9.99"},
    // Month names for dates, month 1 to 12.
    {117, "Sau"},
    {118, "Vas"},
    {119, "Kov"},
    {120, "Bal"},
    {121, "Geg"},
    {122, "Bir"},
    {123, "Lie"},
    {124, "Rgp"},
    {125, "Rgs"},
    {126, "Spa"},
    {127, "Lap"},
    {128, "Grd"},
    {131, "Pasirinktu adresu yra skelbėjų duomenų.\n\n"
          "Spauskite OK įkelti šiuos duomenis.\n\n"
          "Spauskite Cancel darbui su esamais duomenimis."},
    // Publisher list filters.
    {137, "Visi skelbėjai"},
    {138, "Reg.pionieriai"},
    {139, "Krikštyti"},
    {140, "Nekrikštyti"},
    // Quarter-hour fractions and the leading-zero switch.
    {141, ",25"},
    {142, ",5"},
    {143, ",75"},
    {144, "1"},
    {145, "Mobilius"},
    {146, "3"}, // number of selectable card versions
    {147, "Pelkorl"},
    {148, "Detalus maketas"},
    {149, "Atkurti standartą"},
    {150, "Vyras"},
    {151, "Moteris"},
    {160, "Aplankas..."},                         // folder picker of the data location dialog
    {161, "Failas %1 jau yra.\nAr jį pakeisti?"}, // a print to a file that exists
    // Printing every listed card, the print preview and PDF files.
    {170, "Spausdinti &visus"},
    {171, "&Peržiūra"},
    {172, "&Eksportuoti PDF..."},
    {173, "Eksportuoti visus P&DF..."},
    {174, "Spausdinamos kortelės..."},
    {175, "Įrašomos kortelės į PDF failą..."},
    {176, "Atšaukti"},
    {177, "PDF failai (*.pdf)"},
    {178, "Nepavyko įrašyti failo %1."},
    {179, "Įrašyti PDF failą"},
    {180, "Kortelės"},
    {181, "Spausdintuvo „%1“ nebėra: jis pašalintas arba pervadintas. Nieko neišspausdinta.\n"
          "Pasirinkite spausdintuvą: „Parinktys“ → „Spausdinimo parinktys“."},
    {182, "Spausdintuvas „%1“ nepriėmė užduoties. Nieko neišspausdinta."},
    {183, "Nepavyko įrašyti šių failų, todėl jų pakeitimai neišsaugoti:\n%1"},
    {184, "Pasirinkite aplanką su skelbėjų duomenimis (tdat7.bin)"},
    {185, "Ieškota aplanke: %1"},
    {186, "Aplankas nepasirinktas."},
    {187, "Aplanko „%1“ nėra."},
    {188, "„%1“ yra failas, o ne aplankas su duomenimis."},
    {189, "Spausdinti &formą"},
    // The printed form's header.
    {190, "SKELBĖJO KORTELĖ"},
    {191, "Tarnybos metai"},
    {192, "Kita avis"},
    {193, "Pateptasis"},
    {194, "Vyresn."},
    {195, "Bendr.pat."},
    {196, "Reg. pionierius"},
    {197, "Specialusis pion."},
    {198, "Misionierius"},
    {200, "Nepavyksta susisiekti su spausdinimo sistema (CUPS). Nieko neišspausdinta."},
    {201, "Spausdinimo sistema (CUPS) neatsako. Nieko neišspausdinta."},
    // The congregation's totals records.
    {210, "Skelbėjai"},
    {211, "Pagalbiniai pionieriai"},
    {212, "Reguliarieji pionieriai"},
    {213, "Pranešimų: %1"},
    {214, "&Bendruomenės suvestinė"},
    {215, "Rodoma:"},
    {216, "Bendruomenės suvestinė"},
    // Filling the branch's fillable S-21 11/23 form.
    {230, "Pildyti S-21 PDF formą..."},
    {231, "Pasirinkite užpildomą S-21 PDF formą"},
    {232, "Ką užpildyti S-21 PDF forma?"},
    {233, "Pasirinkto skelbėjo kortelę"},
    {234, "Visas sąrašo korteles (po failą kiekvienam)"},
    {235, "Pildomos S-21 PDF formos..."},
    {236, "Pasirinkite aplanką užpildytoms formoms"},
    {244, "Aplanke jau yra %1 failai (-ų) tais pačiais vardais.\nAr juos pakeisti?"},
    // An output that would replace an input, and the system's reasons a write failed.
    {260, "Failas %1 yra %2, iš kurio programa skaito. Niekas neįrašyta."},
    {261, "Diske nebėra vietos."},
    {262, "Failo vardas per ilgas."},
    {263, "Nėra leidimo rašyti į šį aplanką ar failą."},
    {264, "Failų sistema skirta tik skaityti."},
    {400, "S-21-L  9/15"},
    {401, "S-21-L  1/06  Printed in Finland"},
    {402, "S-21-L  11/23"},
    {403, " "},
    {404, " "},
    // Captions of the literature column set, by figure kind 0-6.
    {1012, "Knyg."},
    {1013, "Brš."},
    {1014, "Val."},
    {1015, "Prnm."},
    {1016, "Žur."},
    {1017, "P.apl."},
    {1018, "B.Std."},
    {1019, "Pastabos"},
    {1026, "Pag.pionierius"},
    {1068, "Iš Viso"},
    // Short month names of the table, January first.
    {1203, "Sau"},
    {1204, "Vas"},
    {1205, "Kov"},
    {1206, "Bal"},
    {1207, "Geg"},
    {1208, "Bir"},
    {1209, "Lie"},
    {1210, "Rgp"},
    {1211, "Rgs"},
    {1212, "Spa"},
    {1213, "Lap"},
    {1214, "Grd"},
    {1215, "Y"},
    {1216, " "},
    {1217, "M"},
    {1218, " "},
    {1219, " "},
    // Captions of the placements column set, by figure kind 0-4, and its long labels.
    {1415, "Leid."},
    {1416, "Video"},
    {1417, "Val."},
    {1418, "Pak.apl."},
    {1419, "B.stud."},
    {1420, "Leidiniai"},
    {1421, "Parodyta siužetų"},
    // The ministry column set, by figure kind: shared in ministry, Bible studies, hours,
    // auxiliary pioneer. Short for the preview, then in full for the printed form.
    {1430, "Tarn."},
    {1431, "B.stud."},
    {1432, "Val."},
    {1433, "Pag.p."},
    {1434, "Dalyvavo\ntarnyboje"},
    {1435, "Biblijos\nstudijos"},
    {1436, "Val.\n(pionieriai)"},
    {1437, "Pag.\npionierius"},
    // Detailed-layout rows of the 11/23 card.
    {1440, "Tarnybos metai"},
    {1441, "[x] Pateptasis"},
    {1442, "[x] Specialusis pion."},
    {1443, "[x] Kita avis"},
    {1444, "Dalyvavo tarnyboje"},
    {1445, "Pag. pionierius"},
    {1446, "Mėnesių stulpelis"},
    {1447, "Kortelės plotis"},
    // The 11/23 card's layout taken from a fillable S-21 form.
    {1460, "Maketas iš S-21 PDF formos..."},
    {1461, "S-21 PDF forma"},
    {1462, "PDF failai (*.pdf);;Visi failai (*)"},
    {1463, "Maketo iš „%1“ paimti nepavyko:"},
    {1468, "formoje nėra lauko „%1“."},
    {1469, "formos laukas „%1“ yra toliau nei 9.99 colio nuo lapo kampo."},
    {1470, "formos laukas „%1“ (valandų suma) nėra po valandų stulpeliu."},
    {1471, "Maketas nepakeistas."},
    // Detailed-layout notes of the 11/23 card, whose positions count from the paper's edges.
    {1472, "X matmenys - coliai nuo kairiojo lapo krašto\nY matmenys - coliai nuo viršutinio "
           "lapo krašto"},
    {1473, "(coliai nuo lapo viršaus)"},
    {1474, "Matmenys nurodomi coliais nuo kairiojo lapo krašto."},
    {1475, "Metai, studijos, valandos: X - lauko vidurys."},
    // Why a fillable form was refused, for the fill and for the layout taken from it: the
    // reasons, the first line of the fill's message, each field fault and each limit.
    {1480, "failo nepavyko perskaityti."},
    {1481, "tai ne PDF failas."},
    {1482, "PDF failas sugadintas: %1"},
    {1483, "PDF failas apsaugotas: jis atidaromas tik su slaptažodžiu."},
    {1484, "PDF failas sugadintas: laukas „%1“ yra pats sau protėvis."},
    {1485, "forma viršija ribą: %1."},
    {1486, "formoje nėra nė vieno puslapio: tai ne S-21 11/23 forma."},
    {1487, "nerastas šriftas su visomis rašomų tekstų raidėmis; bandyti failai: %1"},
    {1488, "S-21 PDF formos „%1“ užpildyti nepavyko:"},
    {1490, "formoje nėra lauko „%1“: tai ne S-21 11/23 forma."},
    {1491, "formos laukas „%1“ ne toks, koks yra S-21 11/23 formoje (teksto laukas arba "
           "žymimasis langelis su savo pažymėto vaizdu)."},
    {1492, "formos laukas „%1“ nėra jokiame puslapyje: tai ne S-21 11/23 forma."},
    {1493, "formos lauko „%1“ stačiakampis netinkamas (ne skaičius arba už lapo ribų)."},
    {1495, "failas didesnis nei %1 MB"},
    {1496, "laukų medis gilesnis nei %1 lygių"},
    {1497, "daugiau nei %1 laukų"},
    {1498, "daugiau nei %1 anotacijų (laukų valdiklių) viename puslapyje"},
    {1499, "daugiau nei %1 puslapių"},
};

constexpr bool sortedById() {
    for (std::size_t i = 1; i < std::size(TEXTS); ++i) {
        if (TEXTS[i - 1].id >= TEXTS[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(sortedById(), "the text table must stay sorted by id");

// Layout defaults, one column per card version 0-4 (id = base + 20 * version + row).
// Version 2 is the 11/23 card: the branch's A4 form, from the paper's top-left corner
// (layoutFromFormFields of that form's field rectangles, centred where it centres).
constexpr int HEADER_ROWS = 15;
constexpr int TABLE_ROWS = 12;

using VersionRow = std::array<std::string_view, LAYOUT_VERSION_ROOM>;

// 500-514: x of the header items, in inches from the left margin (version 2: the paper's edge).
constexpr std::array<VersionRow, HEADER_ROWS> HEADER_X = {{
    {"0.60", "0.60", "0.74", "0.30", "0.30"}, // name
    {"0.30", "0.30", "0.00", "0.55", "0.60"}, // home address
    {"0.50", "0.30", "0.00", "0.55", "0.62"}, // home telephone
    {"2.50", "2.40", "0.00", "1.65", "2.55"}, // mobile telephone
    {"4.25", "4.25", "1.27", "3.75", "4.30"}, // date of birth
    {"0.50", "0.60", "1.50", "0.80", "0.80"}, // date immersed
    {"3.00", "3.00", "5.37", "3.60", "3.40"}, // anointed / other sheep
    {"3.90", "3.60", "0.27", "4.35", "3.96"}, // elder
    {"3.90", "3.60", "3.04", "4.35", "3.96"}, // regular pioneer
    {"4.55", "4.25", "1.15", "4.85", "4.40"}, // ministerial servant
    {"5.20", "5.29", "5.37", "5.29", "5.25"}, // male
    {"5.20", "5.29", "6.78", "5.29", "5.25"}, // female
    {"", "", "0.83", "", ""},                 // service year (version 2: its middle)
    {"", "", "6.78", "", ""},                 // anointed, where it has a box of its own
    {"", "", "4.71", "", ""},                 // special pioneer
}};

// 600-614: y of the header items, in inches from the top margin.
constexpr std::array<VersionRow, HEADER_ROWS> HEADER_Y = {{
    {"0.22", "0.22", "0.92", "0.22", "0.22"},
    {"0.38", "0.38", "0.00", "0.38", "0.38"},
    {"0.57", "0.57", "0.00", "0.57", "0.57"},
    {"0.57", "0.57", "0.00", "0.57", "0.57"},
    {"0.57", "0.57", "1.15", "0.57", "0.57"},
    {"0.81", "0.81", "1.37", "0.81", "0.81"},
    {"0.81", "0.81", "1.39", "0.81", "0.81"},
    {"0.75", "0.75", "1.61", "0.75", "0.75"},
    {"0.86", "0.86", "1.61", "0.86", "0.86"},
    {"0.75", "0.75", "1.61", "0.75", "0.75"},
    {"0.00", "0.00", "1.16", "0.00", "0.00"},
    {"0.10", "0.10", "1.16", "0.10", "0.10"},
    {"", "", "2.47", "", ""},
    {"", "", "1.39", "", ""},
    {"", "", "1.61", "", ""},
}};

// 700-711: table top, table height, the seven column positions, three spares. On the 11/23
// card columns 4 and 5 are the month column's right edge and the card's width, and the
// centred columns 1 (Bible studies) and 3 (hours) hold their fields' middles.
constexpr std::array<VersionRow, TABLE_ROWS> TABLE = {{
    {"1.32", "1.32", "2.84", "1.32", "1.32"}, // table top
    {"1.99", "1.99", "3.31", "1.99", "1.99"}, // table height
    {"1.00", "0.62", "1.86", "0.62", "0.62"}, // column 0
    {"1.60", "1.19", "2.88", "1.17", "1.17"},
    {"2.30", "1.90", "3.82", "1.75", "1.75"},
    {"2.90", "2.45", "4.84", "2.25", "2.25"},
    {"3.40", "3.00", "1.39", "2.75", "2.75"},
    {"3.40", "3.60", "8.02", "3.25", "3.25"},
    {"3.60", "3.78", "5.38", "3.38", "3.38"}, // column 6, remarks
    {" ", " ", " ", " ", " "},
    {" ", " ", " ", " ", " "},
    {" ", " ", " ", " ", " "},
}};

template <std::size_t ROWS>
std::string_view defaultIn(const std::array<VersionRow, ROWS>& block, int offset) {
    const int version = offset / LAYOUT_VERSION_STRIDE;
    const int row = offset % LAYOUT_VERSION_STRIDE;
    if (version >= LAYOUT_VERSION_ROOM || row >= static_cast<int>(ROWS)) {
        return {};
    }
    return block[static_cast<std::size_t>(row)][static_cast<std::size_t>(version)];
}

std::string_view layoutDefault(int id) {
    if (id >= 500 && id < 600) {
        return defaultIn(HEADER_X, id - 500);
    }
    if (id >= 600 && id < 700) {
        return defaultIn(HEADER_Y, id - 600);
    }
    if (id >= 700 && id < 800) {
        return defaultIn(TABLE, id - 700);
    }
    return {};
}

std::string_view findText(int id) {
    const auto* end = std::end(TEXTS);
    const auto* it = std::lower_bound(std::begin(TEXTS), end, id,
                                      [](const Entry& e, int wanted) { return e.id < wanted; });
    if (it != end && it->id == id) {
        return it->text;
    }
    return layoutDefault(id);
}

} // namespace

std::string insertText(std::string_view text, std::string_view insert) {
    constexpr std::string_view MARKER = "%1";
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = text.find(MARKER); at != std::string_view::npos;
         at = text.find(MARKER, from)) {
        result.append(text.substr(from, at - from));
        result.append(insert);
        from = at + MARKER.size();
    }
    result.append(text.substr(from));
    return result;
}

std::string loadText(int id, int insertId) {
    if (insertId == 0) {
        return std::string(findText(id));
    }
    return insertText(findText(id), findText(insertId));
}

} // namespace pelkorl
