#pragma once
// A stand-in for the branch's fillable S-21 11/23 form: an A4 page with the form's field
// names and rectangles, its boxes outlined, written with qpdf. The program never ships the
// branch's own file; the tests and the README picture fill this one.
#include <cstddef>
#include <filesystem>
#include <string>

namespace pelkorl::test {

struct StandInOptions {
    std::string leaveOut;         // a field the form lacks
    std::string onState = "/Yes"; // the check boxes' "on" appearance
    bool encrypt = false;         // protected with an owner password
    std::string userPassword;     // when not empty: it opens only with this password
    double hoursX = 297.76;       // the hours fields' left edge (the Spanish edition: 314.8)
    // The shape of most editions: /Fields empty, each field one dictionary with its widget
    // only in the page's /Annots, /NeedAppearances true, every widget with its own /DR (a
    // font not embedded) and a /DA of size 0, the hours with format, keystroke and calculate
    // JavaScript listed in /CO, the boxes with /MK /CA (4).
    bool widgetsOnly = false;
    // Each field a dictionary of its own with its widget as its one kid.
    bool separateWidgets = false;
    // A font of this many bytes embedded unfiltered in the page's resources, as a form that
    // carries its own large face may (not drawn with).
    std::size_t fontBytes = 0;
};

// The form as PDF bytes.
std::string standInForm(const StandInOptions& options = {});

bool writeStandInForm(const std::filesystem::path& file, const StandInOptions& options = {});

} // namespace pelkorl::test
