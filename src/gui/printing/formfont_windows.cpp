// The fill's font on Windows: the face the cards print with, Arial from the system's fonts
// or else the Liberation Sans shipped with the program (toolkit/appfonts.h).
#include "printing/fillform.h"
#include "toolkit/appfonts.h"

#include <system_error>

namespace pelkorl {

namespace fs = std::filesystem;

fs::path formFontFile() {
    static const fs::path found = [] {
        for (const fs::path& file :
             {systemArialFile(), shippedFontFolder() / SHIPPED_REGULAR_FONT}) {
            std::error_code error;
            if (!file.empty() && fs::is_regular_file(file, error))
                return file;
        }
        return fs::path();
    }();
    return found;
}

} // namespace pelkorl
