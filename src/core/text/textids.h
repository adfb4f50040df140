#pragma once
// Every id of the string table the code names, in one place. The texts themselves live in
// strings.cpp; an id without a text there reads as "".

namespace pelkorl {

inline constexpr int ABOUT_COMMAND_TEXT = 101; // "&Apie PELKORL..."
inline constexpr int PASSWORD_PROMPT_TEXT = 102;
inline constexpr int WRONG_PASSWORD_TEXT = 103;
inline constexpr int NAME_CAPTION = 104;
inline constexpr int ADDRESS_CAPTION = 105;
inline constexpr int PHONE_CAPTION = 106;
inline constexpr int BIRTH_CAPTION = 107;
inline constexpr int BAPTISM_CAPTION = 108;
inline constexpr int HOPE_CAPTION = 109;
inline constexpr int ELDER_CAPTION = 110;
inline constexpr int PIONEER_CAPTION = 111;
inline constexpr int SERVANT_CAPTION = 112;
inline constexpr int ANOINTED_TEXT = 113;        // "P"
inline constexpr int OTHER_SHEEP_TEXT = 114;     // "K.A."
inline constexpr int INCH_ENTRY_MESSAGE = 116;   // a refused inch entry
inline constexpr int DATE_MONTH_NAME_BASE = 116; // + month 1-12, in the long dates
inline constexpr int REPLACE_DATA_QUESTION = 131;
inline constexpr int FILTER_NAME_BASE = 137;  // + list filter 0-3
inline constexpr int QUARTER_TEXT_BASE = 140; // + 1-3: ",25" ",5" ",75"
inline constexpr int LEADING_ZERO_TEXT = 144;
inline constexpr int MOBILE_CAPTION = 145;
inline constexpr int VERSION_COUNT_TEXT = 146; // how many card versions there are
inline constexpr int PROGRAM_NAME_TEXT = 147;
inline constexpr int DETAILED_LAYOUT_TITLE_TEXT = 148;
inline constexpr int RESTORE_DEFAULTS_TEXT = 149;
inline constexpr int MALE_TEXT = 150;
inline constexpr int FEMALE_TEXT = 151;
inline constexpr int REMOVABLE_FOLDER_BUTTON_TEXT = 160; // "Aplankas..."
inline constexpr int FILE_EXISTS_QUESTION = 161;         // "%1" is the file
inline constexpr int PRINT_ALL_TEXT = 170;               // "Spausdinti &visus"
inline constexpr int PREVIEW_TEXT = 171;                 // "&Peržiūra"
inline constexpr int EXPORT_PDF_TEXT = 172;              // "&Eksportuoti PDF..."
inline constexpr int EXPORT_ALL_PDF_TEXT = 173;          // "Eksportuoti visus P&DF..."
inline constexpr int PRINTING_PROGRESS_TEXT = 174;
inline constexpr int EXPORTING_PROGRESS_TEXT = 175;
inline constexpr int CANCEL_TEXT = 176;
inline constexpr int PDF_FILTER_TEXT = 177;
inline constexpr int WRITE_FAILED_TEXT = 178; // "%1" is the file
inline constexpr int SAVE_PDF_TITLE_TEXT = 179;
inline constexpr int ALL_CARDS_FILE_TEXT = 180; // name offered for the file of every card
inline constexpr int PRINTER_GONE_TEXT = 181;   // "%1" is the printer
inline constexpr int JOB_REFUSED_TEXT = 182;    // "%1" is the printer
// The settings or layout files a close could not write (%1: their names, one a line).
inline constexpr int FILES_NOT_WRITTEN = 183;
// Caption of the folder picker at a start without data: which folder holds them.
inline constexpr int DATA_FOLDER_QUESTION = 184;
// The data location dialog: the folder it looked for (%1), or that none is chosen.
inline constexpr int LOOKED_IN_FOLDER = 185;
inline constexpr int NO_FOLDER_CHOSEN = 186;
// A data folder given on the command line that is not a folder (%1: its name).
inline constexpr int NOT_A_DATA_FOLDER = 187;
// A file given on the command line where the data folder belongs (%1: its name).
inline constexpr int FILE_NOT_A_DATA_FOLDER = 188;
// The print system cannot be reached at all, or took no answer within its time limit.
inline constexpr int PRINT_SYSTEM_UNREACHABLE = 200;
inline constexpr int PRINT_SYSTEM_SILENT = 201;
// The congregation's totals records: their names, a month's remark (%1: the number of
// reports), the main dialog's button that prints all three.
inline constexpr int TOTALS_PUBLISHERS_TEXT = 210;
inline constexpr int TOTALS_AUXILIARY_PIONEERS_TEXT = 211;
inline constexpr int TOTALS_REGULAR_PIONEERS_TEXT = 212;
inline constexpr int REPORTS_REMARK_TEXT = 213;
inline constexpr int TOTALS_BUTTON_TEXT = 214; // "&Bendruomenės suvestinė"
// The preview's choice of what it shows: caption, and the entry of all three records.
inline constexpr int PREVIEW_SHOWS_TEXT = 215;
inline constexpr int ALL_TOTALS_TEXT = 216;
// "Pildyti S-21 PDF formą...": filling the branch's fillable S-21 11/23 form.
inline constexpr int FILL_FORM_TEXT = 230;
inline constexpr int FILL_FORM_OPEN_TITLE = 231;     // picking the form file
inline constexpr int FILL_FORM_WHICH_QUESTION = 232; // the selected card or every listed one
inline constexpr int FILL_FORM_SELECTED_BUTTON = 233;
inline constexpr int FILL_FORM_ALL_BUTTON = 234;
inline constexpr int FILL_FORM_PROGRESS_TEXT = 235;
inline constexpr int FILL_FORM_FOLDER_TITLE = 236;
// Files of the names the filled forms take are in the folder already; "%1" is how many.
inline constexpr int FILL_FORM_REPLACE_QUESTION = 244;
// An output that is a file the program reads: "%1" the output, "%2" that file.
inline constexpr int OUTPUT_IS_INPUT_TEXT = 260;
// Why a file could not be written, after WRITE_FAILED_TEXT: what the system said.
inline constexpr int NO_SPACE_TEXT = 261;
inline constexpr int NAME_TOO_LONG_TEXT = 262;
inline constexpr int PERMISSION_DENIED_TEXT = 263;
inline constexpr int READ_ONLY_FILE_SYSTEM_TEXT = 264;
inline constexpr int CARD_VERSION_CAPTION_BASE = 400; // + card version
inline constexpr int CARD_VERSION_CAPTION_ROOM = 100; // ids 400-499 name the card versions
// The layout defaults of card version v: HEADER_X_DEFAULTS + LAYOUT_VERSION_STRIDE * v and
// on; the table holds them for versions 0 to LAYOUT_VERSION_ROOM - 1.
inline constexpr int LAYOUT_VERSION_STRIDE = 20;
inline constexpr int LAYOUT_VERSION_ROOM = 5;
inline constexpr int HEADER_X_DEFAULTS = 500; // + LAYOUT_VERSION_STRIDE * version + header item
inline constexpr int HEADER_Y_DEFAULTS = 600;
// + LAYOUT_VERSION_STRIDE * version: the table's top, height and columns.
inline constexpr int TABLE_DEFAULTS = 700;
inline constexpr int LITERATURE_CAPTION_BASE = 1012;
inline constexpr int REMARKS_CAPTION = 1019;
inline constexpr int AUXILIARY_PIONEER_TEXT = 1026;
inline constexpr int TOTAL_CAPTION = 1068;
inline constexpr int TABLE_MONTH_NAME_BASE = 1203; // + calendar month, 0 = January
inline constexpr int COLUMN_SET_DEFAULTS = 1215;   // + card version
inline constexpr int PLACEMENTS_CAPTION_BASE = 1415;
inline constexpr int PLACEMENTS_TEXT = 1420;
inline constexpr int VIDEO_SHOWINGS_TEXT = 1421;
// The main dialog's box that adds the printed form to every card.
inline constexpr int PRINT_FORM_BOX = 189;

// Captions of the printed form's header.
inline constexpr int FORM_TITLE = 190;
inline constexpr int FORM_SERVICE_YEAR = 191;
inline constexpr int FORM_OTHER_SHEEP = 192;
inline constexpr int FORM_ANOINTED = 193;
inline constexpr int FORM_ELDER = 194;
inline constexpr int FORM_SERVANT = 195;
inline constexpr int FORM_REGULAR_PIONEER = 196;
inline constexpr int FORM_SPECIAL_PIONEER = 197;
inline constexpr int FORM_FIELD_MISSIONARY = 198;

// Column captions of the ministry column set (the 11/23 card), by figure kind 0-3: short
// ones for the table preview, full ones (lines split by '\n') for the printed form.
inline constexpr int MINISTRY_PREVIEW_CAPTION = 1430;
inline constexpr int MINISTRY_FORM_CAPTION = 1434;

// Detailed-layout labels of the 11/23 card: header rows 1, 2, 3 and 6, then the column rows
// that change (0, 2, 4, 5).
inline constexpr int LABEL_SERVICE_YEAR = 1440;
inline constexpr int LABEL_ANOINTED = 1441;
inline constexpr int LABEL_SPECIAL_PIONEER = 1442;
inline constexpr int LABEL_OTHER_SHEEP = 1443;
inline constexpr int LABEL_SHARED_IN_MINISTRY = 1444;
inline constexpr int LABEL_AUXILIARY_PIONEER = 1445;
inline constexpr int LABEL_MONTH_COLUMN = 1446;
inline constexpr int LABEL_CARD_WIDTH = 1447;

// The 11/23 card's layout from a fillable form: the detailed layout's button, its file
// dialog's title and filter, then the message: its first line (%1 the file), the reason (a
// FormProblem's text, or one per FormLayoutError from MissingField on, %1 the field), and
// its last line.
inline constexpr int FORM_LAYOUT_BUTTON = 1460;
inline constexpr int FORM_LAYOUT_FILE_TITLE = 1461;
inline constexpr int FORM_LAYOUT_FILE_FILTER = 1462;
inline constexpr int FORM_LAYOUT_FAILED = 1463;
inline constexpr int FORM_LAYOUT_REASON_BASE = 1468;
inline constexpr int FORM_LAYOUT_UNCHANGED = 1471;
// The detailed layout's notes 1093-1096 on the 11/23 card.
inline constexpr int MINISTRY_LAYOUT_NOTES = 1472;

// Why a fillable form was refused (card/formrefusal.h), for the fill and the layout: %1 the
// qpdf complaint, the field, the limit or the fonts tried; the fill message's first line
// (%1 the file); one text per FieldFault and per FormLimit (%1 the field or the limit).
inline constexpr int FORM_REFUSAL_UNREADABLE = 1480;
inline constexpr int FORM_REFUSAL_NOT_PDF = 1481;
inline constexpr int FORM_REFUSAL_DAMAGED = 1482;
inline constexpr int FORM_REFUSAL_PROTECTED = 1483;
inline constexpr int FORM_REFUSAL_FIELD_LOOP = 1484;
inline constexpr int FORM_REFUSAL_PAST_LIMIT = 1485;
inline constexpr int FORM_REFUSAL_NO_PAGE = 1486;
inline constexpr int FORM_REFUSAL_NO_FONT = 1487;
inline constexpr int FILL_FORM_FAILED = 1488;
inline constexpr int FORM_FIELD_FAULT_BASE = 1490;
inline constexpr int FORM_LIMIT_TEXT_BASE = 1495;

} // namespace pelkorl
