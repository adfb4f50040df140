#pragma once
// A stand-in for the branch's fillable S-21 11/23 form: an A4 page with the form's field
// names and rectangles, its boxes outlined, written with qpdf. The program never ships the
// branch's own file; the tests and the README picture fill this one.
#include <filesystem>
#include <string>

namespace pelkorl::test {

struct StandInOptions {
    std::string leaveOut;         // a field the form lacks
    std::string onState = "/Yes"; // the check boxes' "on" appearance
    bool encrypt = false;         // protected with an owner password
    std::string userPassword;     // when not empty: it opens only with this password
    double hoursX = 314.79;       // the hours fields' left edge (the Polish edition: 326.14)
};

// The form as PDF bytes.
std::string standInForm(const StandInOptions& options = {});

bool writeStandInForm(const std::filesystem::path& file, const StandInOptions& options = {});

} // namespace pelkorl::test
