#include "settings/layoutfile.h"

#include "records/fileio.h"

#include <string_view>

namespace pelkorl {

bool loadLayout(CardLayout& layout, int version, const std::filesystem::path& folder) {
    Bytes bytes;
    readFilePart(findIgnoringCase(folder, layoutFileName(version)), 0, CARD_LAYOUT_SIZE, bytes);
    return readLayout(layout, bytes);
}

WriteResult saveLayout(const CardLayout& layout, int version, const std::filesystem::path& folder) {
    const auto bytes = layout.bytes();
    const std::filesystem::path file = findIgnoringCase(folder, layoutFileName(version));
    const std::string_view text(bytes.data(), bytes.size());
    const WriteResult result = writeFileAtomically(file, text);
    // A layout file the user may write in a folder he may not: keeping the changes is worth
    // the small risk of a cut file.
    return result == WriteResult::CannotCreate ? writeFileInPlace(file, text) : result;
}

} // namespace pelkorl
