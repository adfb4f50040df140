#include "settings/layoutfile.h"

#include "records/fileio.h"

#include <string_view>

namespace pelkorl {

bool loadLayout(CardLayout& layout, int version, const std::filesystem::path& folder) {
    Bytes bytes;
    readFilePart(folder / layoutFileName(version), 0, CARD_LAYOUT_SIZE, bytes);
    return readLayout(layout, bytes);
}

WriteResult saveLayout(const CardLayout& layout, int version, const std::filesystem::path& folder) {
    const auto bytes = layout.bytes();
    return writeFileAtomically(folder / layoutFileName(version),
                               std::string_view(bytes.data(), bytes.size()));
}

} // namespace pelkorl
