// pelkorl-standin-form FILE.pdf [--hours-x X]: writes the stand-in fillable S-21 11/23 form,
// its hours fields starting at X points (326.14 as in the Polish edition).
#include "standinform.h"

#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    pelkorl::test::StandInOptions options;
    if (argc == 4 && std::string(argv[2]) == "--hours-x") {
        options.hoursX = std::atof(argv[3]);
    } else if (argc != 2) {
        std::cerr << "usage: pelkorl-standin-form FILE.pdf [--hours-x X]\n";
        return 2;
    }
    return pelkorl::test::writeStandInForm(argv[1], options) ? 0 : 1;
}
