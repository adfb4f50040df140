// The cards into a PDF file.
#include "cli/printtool.h"
#include "printing/batchprint.h"
#include "toolkit/qtstrings.h"

#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace pelkorl {

int writePdfFile(const PrintToolOptions& options, const ToolData& tool,
                 const std::vector<int>& records) {
    std::error_code error;
    const QString output = textFromPath(fs::absolute(options.output, error));
    const BatchOutcome outcome = renderCardsToPdf(output, tool.state, records, options.resolution);
    if (outcome.result != PrintResult::Printed)
        return fail(EXIT_FAILED, "the file " + shown(options.output) + " could not be written");
    std::cout << outcome.pages << (outcome.pages == 1 ? " card" : " cards") << " written to "
              << shown(options.output) << "\n";
    return EXIT_PRINTED;
}

} // namespace pelkorl
