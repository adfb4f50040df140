#include "toolkit/appfonts.h"

namespace pelkorl {

void useShippedFonts() {}

std::filesystem::path shippedFontFolder() {
    return {};
}

std::filesystem::path systemArialFile() {
    return {};
}

} // namespace pelkorl
