// pelkorl-standin-form FILE.pdf: writes the stand-in fillable S-21 11/23 form.
#include "standinform.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: pelkorl-standin-form FILE.pdf\n";
        return 2;
    }
    return pelkorl::test::writeStandInForm(argv[1]) ? 0 : 1;
}
