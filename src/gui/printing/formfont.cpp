// The fill's font on Linux and other systems with fontconfig: the face the cards print with.
#include "printing/fillform.h"

#ifdef PELKORL_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include <string>
#include <system_error>

namespace pelkorl {

namespace fs = std::filesystem;

fs::path formFontFile() {
    static const fs::path found = [] {
#ifdef PELKORL_FONTCONFIG
        // The face the cards print with (Arial, or what stands for it), with Lithuanian.
        if (FcInit()) {
            FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Arial:lang=lt"));
            FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            FcPattern* match = FcFontMatch(nullptr, pattern, &result);
            FcChar8* file = nullptr;
            fs::path path;
            if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
                path = reinterpret_cast<const char*>(file);
                const std::string ext = path.extension().string();
                if (ext != ".ttf" && ext != ".TTF")
                    path.clear();
            }
            if (match)
                FcPatternDestroy(match);
            FcPatternDestroy(pattern);
            if (!path.empty() && fs::is_regular_file(path))
                return path;
        }
#endif
        for (const char* known : {
                 "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                 "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
                 "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                 "/Library/Fonts/Arial.ttf",
                 "/System/Library/Fonts/Supplemental/Arial.ttf",
             }) {
            std::error_code error;
            if (fs::is_regular_file(known, error))
                return fs::path(known);
        }
        return fs::path();
    }();
    return found;
}

} // namespace pelkorl
