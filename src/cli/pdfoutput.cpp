// The cards and totals records into a PDF file.
#include "cli/printtool.h"
#include "printing/batchprint.h"
#include "toolkit/qtstrings.h"

#include <iostream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace pelkorl {

int writePdfFile(const PrintToolOptions& options, const ToolData& tool,
                 const std::vector<CardPage>& pages) {
    if (const Stop stop = checkNotAnInput(options.output, options, tool))
        return *stop;
    std::error_code error;
    const QString output = textFromPath(fs::absolute(options.output, error));
    const BatchOutcome outcome = renderPagesToPdf(output, tool.state, pages, options.resolution);
    if (outcome.result != PrintResult::Printed)
        return fail(EXIT_FAILED, "the file " + shown(options.output) + " could not be written" +
                                     writeProblem(options.output, outcome.writeError));
    std::cout << pagesText(pages) << " written to " << shown(options.output) << "\n";
    return EXIT_PRINTED;
}

} // namespace pelkorl
