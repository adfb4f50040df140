#pragma once
// The field rectangles of the branch's fillable S-21 11/23 form (A4, PDF points from the
// page's bottom-left corner), for tests that stand in for the user's own copy of it: the
// English edition, and the other editions as the moves of its columns and rows.
#include "card/formfieldrect.h"

#include <string>
#include <vector>

namespace pelkorl::test {

inline constexpr double A4_HEIGHT_POINTS = 841.89;
// The /Q of the fields the form centres: the service year, Bible studies and hours.
inline constexpr int CENTRED = 1;
// The month rows' mean distance, for captions drawn beside them.
inline constexpr double S21_ROW_STEP = 19.8175;

// Where an edition differs from the English one.
struct S21Edition {
    double sharedX = 130.26;   // the "shared in the ministry" boxes' left edge
    double hoursX = 314.79;    // the hours fields' (and their total's) left edge
    double hoursWidth = 67.62; // and their width
    double rowsDown = 0;       // the month rows and the total row, this much lower
    double nameX = 51.48;      // the name field's left edge
};

inline const S21Edition S21_ENGLISH{};
inline const S21Edition S21_SPANISH{130.26, 314.79, 95.9};
inline const S21Edition S21_POLISH{135.93, 326.14};
inline const S21Edition S21_JAPANESE{120.30, 304.83};
inline const S21Edition S21_CZECH{130.26, 314.79, 67.62, 11.95};

// Every field the form has, as named in every language edition.
inline std::vector<FormFieldRect> s21FormFields(const S21Edition& e = S21_ENGLISH) {
    const double h = A4_HEIGHT_POINTS;
    std::vector<FormFieldRect> f = {
        {"900_1_Text_SanSerif", e.nameX, 762.22, 578.29 - e.nameX, 15.64, h},
        {"900_2_Text_SanSerif", 89.33, 745.79, 281.13, 15.64, h},
        {"900_5_Text_SanSerif", 106.26, 729.96, 264.20, 15.53, h},
        {"900_13_Text_C_SanSerif", 19.32, 650.29, 81.06, 17.03, h, CENTRED},
    };
    const struct {
        int n;
        double x, y;
    } boxes[] = {{3, 384.10, 746.69},  {4, 485.58, 746.69},  {6, 384.10, 730.36},
                 {7, 485.58, 730.36},  {8, 16.83, 714.22},   {9, 80.36, 714.22},
                 {10, 216.00, 714.22}, {11, 336.20, 714.22}, {12, 454.70, 714.22}};
    for (const auto& b : boxes)
        f.push_back({"900_" + std::to_string(b.n) + "_CheckBox", b.x, b.y, 10.36, 10.36, h});
    // September (20) to August (31): the text fields' and the boxes' lower edges.
    const double texts[] = {623.50, 603.68, 583.77, 563.95, 544.13, 524.32,
                            504.40, 484.58, 464.76, 444.95, 425.03, 405.21};
    const double marks[] = {625.59, 605.88, 586.06, 566.34, 546.52, 526.71,
                            506.69, 486.97, 467.15, 447.34, 427.52, 407.60};
    for (int r = 0; r < 12; ++r) {
        const std::string n = std::to_string(20 + r);
        const double y = texts[r] - e.rowsDown;
        const double high = r == 1 || r == 5 || r == 9 ? 16.93 : 17.03;
        const double box = marks[r] - e.rowsDown;
        f.push_back({"901_" + n + "_CheckBox", e.sharedX, box, 12.74, 12.75, h});
        f.push_back({"902_" + n + "_Text_C_SanSerif", 173.48, y, 67.61, high, h, CENTRED});
        f.push_back({"903_" + n + "_CheckBox", 271.37, box, 12.85, 12.75, h});
        f.push_back({"904_" + n + "_S21_Value", e.hoursX, y, e.hoursWidth, high, h, CENTRED});
        f.push_back({"905_" + n + "_Text_SanSerif", 385.10, y, 190.60, high, h});
    }
    f.push_back(
        {"904_32_S21_Value", e.hoursX, 385.10 - e.rowsDown, e.hoursWidth, 17.02, h, CENTRED});
    f.push_back({"905_32_Text_SanSerif", 385.10, 385.10 - e.rowsDown, 190.60, 17.02, h});
    return f;
}

// The English edition with its hours fields moved to `hoursX`, ending where they end there.
inline std::vector<FormFieldRect> s21FormFields(double hoursX) {
    S21Edition moved;
    moved.hoursWidth = moved.hoursX + moved.hoursWidth - hoursX;
    moved.hoursX = hoursX;
    return s21FormFields(moved);
}

} // namespace pelkorl::test
