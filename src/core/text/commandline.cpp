#include "text/commandline.h"

#include <algorithm>

namespace pelkorl {

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + std::max(argc, 0));
}

} // namespace pelkorl
