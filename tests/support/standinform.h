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
    double hoursX = 314.79;       // the hours fields' left edge (the Polish edition: 326.14)
    // Hostile shapes, on the name field 900_1_Text_SanSerif unless said otherwise.
    int parentDepth = 0;     // under this many nameless /Parent fields
    int deepFields = 1;      // how many text fields are, the name field first
    bool parentLoop = false; // its two parents are each other's /Parent
    int sharedWidgets = 0;   // 905_20_Text_SanSerif: a field of this many widgets
    std::string namePrefix;  // every field under a parent of this name ("S21.900_1_...")
    std::string offPage;     // a field listed in the form whose widget is on no page
    std::string badRect;     // a field whose /Rect reaches 1e30
    std::string textDa;      // the text fields' /DA instead of "/Helv 0 Tf 0 g"
    bool numberAp = false;   // the check boxes' /AP is a number
    bool noPage = false;     // the fields without the page
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
