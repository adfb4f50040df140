// pelkorl-sample: writes the fictitious sample congregation into a folder.
#include "sampledata.h"
#include "text/commandline.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
using namespace pelkorl::sample;

namespace {

constexpr int EXIT_USAGE = 2;

void printUsage(std::ostream& out) {
    out << "Usage: pelkorl-sample FOLDER [--plain] [--password TEXT] [--year N] [--force]\n"
           "\n"
           "Writes a fictitious congregation in the record-keeping program's files:\n"
           "  FOLDER/tdat7.bin, FOLDER/xten7.dat, FOLDER/remark7.dat,\n"
           "  FOLDER/Roll/Rv7_8/tdat7.bin, FOLDER/Roll/Rv7_8/remark7.dat\n"
           "\n"
           "  --plain          store the texts plain (plain-text mark \"A\") instead of shifted\n"
           "  --password TEXT  protect the data with TEXT (1-20 characters: ASCII and\n"
           "                   Lithuanian letters)\n"
           "  --year N         the service year ends in August of N ("
        << SAMPLE_YEAR_MIN << "-" << SAMPLE_YEAR_MAX << ", default " << SAMPLE_YEAR_DEFAULT
        << ")\n"
           "  --force          overwrite files that were not written by this tool\n"
           "  --help           show this text\n";
}

int usageError(const std::string& message) {
    std::cerr << "pelkorl-sample: " << message << "\n"
              << "Try 'pelkorl-sample --help'.\n";
    return EXIT_USAGE;
}

// Real data must not be replaced by the sample by accident: only files this tool wrote
// (marked publisher files) are overwritten without --force.
bool holdsForeignFiles(const fs::path& folder) {
    std::error_code ec;
    bool any = false;
    for (std::string_view name : SAMPLE_FILES) {
        any = any || fs::exists(folder / name, ec);
    }
    if (!any) {
        return false;
    }
    bool marked = false;
    for (const char* name : {"tdat7.bin", "Roll/Rv7_8/tdat7.bin"}) {
        const fs::path file = folder / name;
        if (fs::exists(file, ec)) {
            if (!holdsSampleMark(file)) {
                return true;
            }
            marked = true;
        }
    }
    return !marked;
}

} // namespace

int main(int argc, char** argv) {
    std::string folder;
    SampleOptions options;
    int year = SAMPLE_YEAR_DEFAULT;
    bool force = false;
    bool passwordGiven = false;

    const std::vector<std::string> args = pelkorl::commandLineArguments(argc, argv);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            printUsage(std::cout);
            return 0;
        }
        if (arg == "--plain") {
            options.plainText = true;
        } else if (arg == "--force") {
            force = true;
        } else if (arg == "--password" || arg == "--year") {
            if (i + 1 >= args.size()) {
                return usageError(std::string(arg) + " needs a value");
            }
            const std::string_view value = args[++i];
            if (arg == "--year") {
                const char* end = value.data() + value.size();
                auto [ptr, ec] = std::from_chars(value.data(), end, year);
                if (ec != std::errc() || ptr != end || year < SAMPLE_YEAR_MIN ||
                    year > SAMPLE_YEAR_MAX) {
                    return usageError(
                        "--year wants a year from " + std::to_string(SAMPLE_YEAR_MIN) + " to " +
                        std::to_string(SAMPLE_YEAR_MAX) + ", not '" + std::string(value) + "'");
                }
            } else {
                bool complete = true;
                options.password = toCp1257(value, &complete);
                passwordGiven = true;
                if (!complete) {
                    return usageError("the password may hold only ASCII and Lithuanian letters");
                }
                for (char c : options.password) {
                    if (static_cast<unsigned char>(c) < 0x20) {
                        return usageError("the password may not hold control characters");
                    }
                }
            }
        } else if (!arg.empty() && arg.front() == '-') {
            return usageError("unknown option '" + std::string(arg) + "'");
        } else if (folder.empty()) {
            folder = std::string(arg);
            if (folder.empty()) {
                return usageError("the folder name is empty");
            }
        } else {
            return usageError("more than one folder given ('" + folder + "', '" + std::string(arg) +
                              "')");
        }
    }
    if (folder.empty()) {
        return usageError("no folder given");
    }
    if (passwordGiven) {
        if (options.password.empty() || options.password.size() > 20) {
            return usageError("the password must be 1 to 20 characters long");
        }
        if (options.password.front() == ' ' || options.password.back() == ' ') {
            return usageError("the password may not begin or end with a blank (a blank "
                              "password leaves the data unprotected)");
        }
        if (!options.plainText && !shiftSurvivesReader(options.password, 21)) {
            return usageError("this password does not survive the shifted storage; choose "
                              "another one or add --plain");
        }
    }

    const fs::path folderPath = pelkorl::pathFromUtf8(folder);
    if (!force && holdsForeignFiles(folderPath)) {
        std::cerr << "pelkorl-sample: " << folder
                  << " already holds data files not written by this tool; use --force to "
                     "overwrite them\n";
        return 1;
    }
    if (!writeSampleCongregation(folderPath, year, options)) {
        std::cerr << "pelkorl-sample: could not write the sample congregation into " << folder
                  << "\n";
        return 1;
    }
    const SampleCongregation c = buildSampleCongregation(year);
    std::cout << "Wrote " << c.current.size() << " publishers of the service year " << year - 1
              << "/" << year << " (and " << c.previous.size() << " of " << year - 2 << "/"
              << year - 1 << ") into " << folder << "\n";
    return 0;
}
