#pragma once
// The field rectangles of the branch's fillable S-21 11/23 form (A4, PDF points from the
// page's bottom-left corner), for tests that stand in for the user's own copy of it.
#include "card/formfieldrect.h"

#include <vector>

namespace pelkorl::test {

inline constexpr double A4_HEIGHT_POINTS = 841.89;
inline constexpr double S21_ROW_STEP = 19.8175;

// Every field the form has, as named in every language edition; the hours fields (and
// their total) start at `hoursX`, 297.76 in the edition given here, 314.8 in the Spanish
// one.
inline std::vector<FormFieldRect> s21FormFields(double hoursX = 297.76) {
    const double h = A4_HEIGHT_POINTS;
    const double hoursWidth = 297.76 + 87.44 - hoursX; // they end where they end in the others
    std::vector<FormFieldRect> f = {
        {"900_1_Text_SanSerif", 51.98, 762.22, 526.31, 15.64, h},
        {"900_2_Text_SanSerif", 95.80, 745.49, 274.66, 15.64, h},
        {"900_5_Text_SanSerif", 76.28, 729.96, 294.17, 15.64, h},
        {"900_13_Text_C_SanSerif", 19.32, 650.29, 63.73, 17.03, h},
    };
    const struct {
        int n;
        double x, y;
    } boxes[] = {{3, 384.10, 746.69},  {4, 485.58, 746.69},  {6, 384.10, 730.36},
                 {7, 485.58, 730.36},  {8, 16.83, 714.22},   {9, 84.65, 714.22},
                 {10, 218.79, 714.22}, {11, 336.20, 714.22}, {12, 444.75, 714.22}};
    for (const auto& b : boxes)
        f.push_back({"900_" + std::to_string(b.n) + "_CheckBox", b.x, b.y, 10.36, 10.36, h});
    for (int r = 0; r < 12; ++r) {
        const std::string n = std::to_string(20 + r);
        const double down = S21_ROW_STEP * r;
        f.push_back({"901_" + n + "_CheckBox", 113.23, 625.59 - down, 12.75, 12.75, h});
        f.push_back({"902_" + n + "_Text_C_SanSerif", 156.45, 623.50 - down, 67.62, 17.03, h});
        f.push_back({"903_" + n + "_CheckBox", 254.44, 625.59 - down, 12.75, 12.75, h});
        f.push_back({"904_" + n + "_S21_Value", hoursX, 623.50 - down, hoursWidth, 17.03, h});
        f.push_back({"905_" + n + "_Text_SanSerif", 387.88, 623.50 - down, 187.82, 17.03, h});
    }
    f.push_back({"904_32_S21_Value", hoursX, 385.10, hoursWidth, 17.03, h});
    return f;
}

} // namespace pelkorl::test
