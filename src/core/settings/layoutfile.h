#pragma once
// The layout file of a card version ("cplot.dat", "cplot<v>.dat") in the program's folder,
// found whatever its letter case and written back under the name it was found as.
#include "card/cardlayout.h"
#include "settings/atomicfile.h"

#include <filesystem>
#include <vector>

namespace pelkorl {

// Reads the version's layout file from `folder`; the alignments are the version's defaults.
// True only when all 400 bytes were read; otherwise the layout holds zeros and whatever part
// was read, and the caller is expected to fall back to setLayoutDefaults.
bool loadLayout(CardLayout& layout, int version, const std::filesystem::path& folder);

// Writes the 400 bytes as the version's layout file in `folder`, atomically: a failure
// leaves the old file as it was. When the folder takes no temporary file but the file itself
// is writable, the file is written in place. A file there that does not hold exactly 400
// bytes is left as it is (NotOurs), and so are those the atomic writer leaves alone.
WriteResult saveLayout(const CardLayout& layout, int version, const std::filesystem::path& folder);

// Every card version's layout file in `folder`, as found on disk.
std::vector<std::filesystem::path> layoutFiles(const std::filesystem::path& folder);

} // namespace pelkorl
