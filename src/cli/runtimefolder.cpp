#include "cli/runtimefolder.h"

#include <QByteArray>
#include <QDir>

#ifndef _WIN32
#include <cstdlib>
#include <unistd.h>
#endif

#include <filesystem>
#include <system_error>

namespace pelkorl {

RuntimeFolder::RuntimeFolder() {
#ifndef _WIN32
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    std::string pattern = QDir::tempPath().toStdString() + "/pelkorl-print-XXXXXX";
    if (::mkdtemp(pattern.data())) {
        folder_ = pattern;
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder_));
    }
#endif
}

RuntimeFolder::~RuntimeFolder() {
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

} // namespace pelkorl
