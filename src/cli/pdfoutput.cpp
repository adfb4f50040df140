// The cards into a PDF file.
#include "cli/printtool.h"
#include "printing/batchprint.h"
#include "settings/atomicfile.h"
#include "toolkit/qtstrings.h"

#ifndef _WIN32
#include <cerrno>
#include <cstdlib>
#include <unistd.h>
#endif

#include <iostream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace pelkorl {

namespace {

std::string lowerFirst(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

// Why the output could not be written: what stands in its place, or what the system says to
// a small file made and written beside it; empty when neither tells.
std::string writeProblem(const fs::path& output) {
    std::error_code error;
    const fs::path file = fs::absolute(output, error);
    switch (writeRefusal(file)) {
    case WriteResult::NotRegular:
        return ": it is not a regular file";
    case WriteResult::OutsideFolder:
        return ": it is a link to a file outside its folder";
    case WriteResult::ReadOnly:
        return ": it is read-only";
    default:
        break;
    }
#ifndef _WIN32
    std::string probe = (replacementTarget(file).parent_path() / ".pelkorl-print-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    int reason = fd < 0 ? errno : 0;
    if (fd >= 0) {
        const std::string block(64 * 1024, '\0');
        errno = 0;
        if (::write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size()) ||
            ::fsync(fd) != 0)
            reason = errno != 0 ? errno : ENOSPC;
        ::close(fd);
        ::unlink(probe.c_str());
    }
    if (reason != 0)
        return ": " + lowerFirst(std::generic_category().message(reason));
#endif
    return {};
}

} // namespace

int writePdfFile(const PrintToolOptions& options, const ToolData& tool,
                 const std::vector<int>& records) {
    std::error_code error;
    const QString output = textFromPath(fs::absolute(options.output, error));
    const BatchOutcome outcome = renderCardsToPdf(output, tool.state, records, options.resolution);
    if (outcome.result != PrintResult::Printed)
        return fail(EXIT_FAILED, "the file " + shown(options.output) + " could not be written" +
                                     writeProblem(options.output));
    std::cout << outcome.pages << (outcome.pages == 1 ? " card" : " cards") << " written to "
              << shown(options.output) << "\n";
    return EXIT_PRINTED;
}

} // namespace pelkorl
