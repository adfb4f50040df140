#include "toolkit/appicon.h"

namespace pelkorl {

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 256}) {
        icon.addFile(QStringLiteral(":/icons/pelkorl-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace pelkorl
