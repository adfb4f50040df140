#include "settings/layoutfile.h"

#include "records/fileio.h"

#include <string_view>
#include <system_error>

namespace pelkorl {

bool loadLayout(CardLayout& layout, int version, const std::filesystem::path& folder) {
    Bytes bytes;
    readFilePart(findIgnoringCase(folder, layoutFileName(version)), 0, CARD_LAYOUT_SIZE, bytes);
    const bool whole = readLayout(layout, bytes);
    // The file keeps no alignment: its version's holds.
    setDefaultAlignment(layout, version);
    return whole;
}

WriteResult saveLayout(const CardLayout& layout, int version, const std::filesystem::path& folder) {
    const auto bytes = layout.bytes();
    const std::filesystem::path file = findIgnoringCase(folder, layoutFileName(version));
    // A file of another size is not a layout file this program wrote: cutting it to 400
    // bytes would lose the rest.
    std::error_code error;
    const std::filesystem::path named = replacementTarget(file);
    if (std::filesystem::is_regular_file(named, error) &&
        std::filesystem::file_size(named, error) != CARD_LAYOUT_SIZE)
        return WriteResult::NotOurs;
    const std::string_view text(bytes.data(), bytes.size());
    const WriteResult result = writeFileAtomically(file, text);
    // A layout file the user may write in a folder he may not: keeping the changes is worth
    // the small risk of a cut file.
    return result == WriteResult::CannotCreate ? writeFileInPlace(file, text) : result;
}

std::vector<std::filesystem::path> layoutFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (int version = 0; version < cardVersionCount(); ++version)
        files.push_back(findIgnoringCase(folder, layoutFileName(version)));
    return files;
}

} // namespace pelkorl
