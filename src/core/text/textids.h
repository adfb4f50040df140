#pragma once
// Every id of the string table the code names, in one place. The texts themselves live in
// strings.cpp; an id here without a text there reads as "".

namespace pelkorl::text {

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

} // namespace pelkorl::text
