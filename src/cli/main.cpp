// pelkorl-print: publisher record cards into a PDF file or onto a printer, from the command
// line. It reads a data folder as the program does at start-up and draws every page with the
// program's own renderers; it asks nothing and writes nothing but its output.
#include "cli/printtool.h"
#include "cli/runtimefolder.h"
#include "text/commandline.h"

#include <QGuiApplication>

#include <iostream>
#include <string>
#include <vector>

using namespace pelkorl;

int main(int argc, char** argv) {
    const ParsedOptions parsed = parsePrintToolOptions(commandLineArguments(argc, argv));
    if (!parsed.ok())
        return fail(EXIT_USAGE, parsed.error);
    const PrintToolOptions& options = parsed.options;
    if (options.help || options.version) {
        std::cout << (options.help ? printToolUsage() : printToolVersion());
        return EXIT_PRINTED;
    }
    std::string queue;
    std::optional<std::string> password;
    if (const Stop stop = checkArguments(options, queue, password))
        return *stop;

    // No window is ever shown: the tool runs where there is no display as well.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const RuntimeFolder runtimeFolder;
    QGuiApplication application(argc, argv);

    ToolData tool;
    std::vector<CardPage> pages;
    if (const Stop stop = loadData(options, password, tool))
        return *stop;
    if (const Stop stop = choosePages(options, tool, pages))
        return *stop;
    if (const Stop stop = chooseCard(options, tool))
        return *stop;

    if (!options.fillForm.empty())
        return writeFilledForms(options, tool, pages);
    return options.printer ? printOnQueue(queue, options, tool, pages)
                           : writePdfFile(options, tool, pages);
}
