#pragma once
// The program's icon (resource 128), compiled into the executable.
#include <QIcon>

namespace pelkorl {

// The icon at every size it was drawn at (16, 32, 48, 256 pixels).
QIcon appIcon();

} // namespace pelkorl
