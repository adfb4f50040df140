// pelkorl-standin-form FILE.pdf [--hours-x X] [--widgets-only]: writes the stand-in fillable
// S-21 11/23 form, its hours fields starting at X points (326.14 as in the Polish edition),
// with --widgets-only in the shape of most editions (no field listed in /Fields).
#include "standinform.h"

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    pelkorl::test::StandInOptions options;
    bool understood = argc >= 2;
    for (int i = 2; understood && i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--hours-x" && i + 1 < argc)
            options.hoursX = std::atof(argv[++i]);
        else if (option == "--widgets-only")
            options.widgetsOnly = true;
        else
            understood = false;
    }
    if (!understood) {
        std::cerr << "usage: pelkorl-standin-form FILE.pdf [--hours-x X] [--widgets-only]\n";
        return 2;
    }
    return pelkorl::test::writeStandInForm(argv[1], options) ? 0 : 1;
}
