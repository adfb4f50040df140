// pelkorl-fuzz-seeds FOLDER: writes a small starting corpus for every fuzz target into
// FOLDER/<target>/, built from the sample congregation so that the fuzzers start from
// files shaped like real ones.
#include "card/cardlayout.h"
#include "fuzzsupport.h"
#include "records/records.h"
#include "sampledata.h"
#include "standinform.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::sample;
namespace fs = std::filesystem;

namespace {

constexpr int YEAR = SAMPLE_YEAR_DEFAULT;
constexpr std::size_t SMALL = 8;

template <class Bytes> std::string asString(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string publisherFile(const std::vector<PublisherSpec>& people, std::string_view password,
                          bool shifted, const YearStamps& stamps) {
    std::string file = asString(encodeHeader(password, shifted, stamps));
    for (const PublisherSpec& p : people)
        file += asString(encodePublisher(p, shifted));
    return file;
}

std::vector<PublisherSpec> previousOf(const SampleCongregation& c,
                                      const std::vector<PublisherSpec>& current) {
    std::set<std::uint16_t> ids;
    for (const PublisherSpec& p : current)
        ids.insert(p.publisherId);
    std::vector<PublisherSpec> previous;
    for (const PublisherSpec& p : c.previous)
        if (ids.count(p.publisherId))
            previous.push_back(p);
    return previous;
}

class SeedWriter {
public:
    explicit SeedWriter(fs::path folder) : folder(std::move(folder)) {}

    void add(const std::string& target, const std::string& name, const std::string& bytes) {
        fuzz::writeFile(folder / target / name, bytes);
        ++count;
    }
    int written() const { return count; }

private:
    fs::path folder;
    int count = 0;
};

void publisherSeeds(SeedWriter& out, const SampleCongregation& c) {
    const std::vector<PublisherSpec> few(c.current.begin(),
                                         c.current.begin() + std::min(SMALL, c.current.size()));
    const std::vector<PublisherSpec> fewBefore = previousOf(c, few);
    struct Case {
        const char* name;
        const std::vector<PublisherSpec>* current;
        const std::vector<PublisherSpec>* previous;
        const char* password;
        bool shifted;
        std::uint8_t lastMonth;
        std::uint8_t view;
        std::uint8_t control;
    };
    const Case cases[] = {
        {"small-shifted", &few, &fewBefore, " ", true, 7, 0, 0},
        {"small-plain", &few, &fewBefore, " ", false, 2, 3, 1},
        {"small-password", &few, &fewBefore, "Slaptas", true, 11, 1, 1 | (5 << 2)},
        {"small-refused", &few, &fewBefore, "Slaptas", false, 0, 2, 0},
        {"full-shifted", &c.current, &c.previous, " ", true, 9, 3, 40 << 2},
        {"full-plain", &c.current, &c.previous, " ", false, 4, 1, 0},
    };
    for (const Case& k : cases) {
        std::string input;
        input.push_back(static_cast<char>(k.lastMonth));
        input.push_back(static_cast<char>(YEAR - 1990));
        input.push_back(static_cast<char>(k.view));
        input.push_back(static_cast<char>(k.control));
        fuzz::appendPart(input,
                         publisherFile(*k.current, k.password, k.shifted, c.currentYearStamps));
        input += publisherFile(*k.previous, k.password, k.shifted, c.previousYearStamps);
        out.add("publisher", k.name, input);
    }
    std::string headerOnly;
    headerOnly.append({7, YEAR - 1990, 1, 0});
    fuzz::appendPart(headerOnly, asString(encodeHeader(" ", true, c.currentYearStamps)));
    out.add("publisher", "header-only", headerOnly);
}

void extensionSeeds(SeedWriter& out, const SampleCongregation& c) {
    for (std::size_t count : {std::size_t(3), c.current.size()}) {
        std::string table;
        for (std::size_t i = 0; i < count && i < c.current.size(); ++i) {
            const PublisherSpec& p = c.current[i];
            for (std::uint16_t v : {p.publisherId, p.extensionIndex}) {
                table.push_back(static_cast<char>(v & 0xFF));
                table.push_back(static_cast<char>(v >> 8));
            }
        }
        std::string input;
        fuzz::appendPart(input, table);
        input += std::string(EXTENSION_RECORD_SIZE, '\0');
        for (const ExtensionSpec& e : c.extensions)
            input += asString(encodeExtension(e.publisherId, e.longName, e.text2, e.text3));
        out.add("extension", "sample-" + std::to_string(count), input);
    }
}

void remarkSeeds(SeedWriter& out, const SampleCongregation& c) {
    auto remarks = [](const std::vector<RemarkSpec>& list) {
        std::string file;
        for (const RemarkSpec& r : list)
            file += asString(encodeRemark(r));
        return file;
    };
    for (std::uint8_t lastMonth : {7, 2}) {
        std::string ids;
        for (const PublisherSpec& p : c.current) {
            ids.push_back(static_cast<char>(p.publisherId & 0xFF));
            ids.push_back(static_cast<char>(p.publisherId >> 8));
        }
        std::string input(1, static_cast<char>(lastMonth));
        fuzz::appendPart(input, ids);
        fuzz::appendPart(input, remarks(c.currentRemarks));
        input += remarks(c.previousRemarks);
        out.add("remarks", "sample-" + std::to_string(lastMonth), input);
    }
}

void layoutSeeds(SeedWriter& out) {
    for (int version : {0, 1}) {
        CardLayout layout;
        setLayoutDefaults(layout, version);
        const auto bytes = layout.bytes();
        const std::string file(bytes.begin(), bytes.end());
        out.add("layout", "defaults-" + std::to_string(version),
                std::string(1, static_cast<char>(version)) + file);
        // A shorter text written over a longer one leaves its tail behind the terminator.
        layout.values[0].setText("12.3456");
        layout.setHeaderX(0, "1.5");
        const auto edited = layout.bytes();
        out.add("layout", "edited-" + std::to_string(version),
                std::string(1, static_cast<char>(version)) +
                    std::string(edited.begin(), edited.end()));
        out.add("layout", "short-" + std::to_string(version),
                std::string(1, static_cast<char>(version)) + file.substr(0, 123));
    }
}

void settingsSeeds(SeedWriter& out) {
    struct Case {
        const char* name;
        std::uint8_t control;
        const char* file;
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"windows", 64 << 1,
         "[Format]\r\nAlt Date Format=1\r\nLast Name First=1\r\nCard Version=1\r\n"
         "[Margins]\r\nTop=0.10\r\nLeft=0.25\r\n[Data Location]\r\nDrive=1\r\n"
         "Folder=/media/usb\r\n",
         "Margins", "Top", "0.50"},
        {"unix", 0,
         "\xEF\xBB\xBF; written by hand\n[format]\n  card version = 0x1 \nalt date format=-3\n"
         "[Margins]\nLeft = \"0.30\"\nTop\n[Margins]\nTop=9.99\n",
         "Format", "Card Version", "1"},
        {"missing", 1, "", "Data Location", "Folder", "/mnt/a b"},
        {"new-section", 8 << 1, "[Other]\nx=y", "Margins", "Left", " 0.20 "},
    };
    for (const Case& k : cases) {
        std::string input(1, static_cast<char>(k.control));
        fuzz::appendPart(input, k.file);
        fuzz::appendPart(input, k.section);
        fuzz::appendPart(input, k.key);
        input += k.value;
        out.add("settings", k.name, input);
    }
}

void inchSeeds(SeedWriter& out) {
    const char* entries[] = {"1.25", ".5", "125", " 5.2 ", "12", "0.888",
                             "1234", "5.", "",    "1..2",  "x1"};
    int n = 0;
    for (const char* entry : entries)
        out.add("inchentry", "entry-" + std::to_string(n++), entry);
}

void dateSeeds(SeedWriter& out, const SampleCongregation& c) {
    std::set<std::string> dates;
    for (const PublisherSpec& p : c.current) {
        dates.insert(p.baptismDate);
        dates.insert(p.birthDate);
    }
    int n = 0;
    std::string previous = "01152003";
    for (const std::string& date : dates) {
        if (n == 16)
            break;
        std::string input = date;
        input.resize(field::BAPTISM_DATE_SIZE, '\0');
        input += previous;
        input.resize(2 * field::BAPTISM_DATE_SIZE, '\0');
        input += " \t Jonas  Petrauskas \r\n";
        out.add("dates", "sample-" + std::to_string(n++), input);
        previous = date;
    }
}

void formSeeds(SeedWriter& out) {
    using test::StandInOptions;
    const std::pair<const char*, void (*)(StandInOptions&)> shapes[] = {
        {"stand-in",
         [](StandInOptions&) {
         }},
        {"spanish",
         [](StandInOptions& o) {
             o.hoursX = 314.8;
         }},
        {"owner-password",
         [](StandInOptions& o) {
             o.encrypt = true;
         }},
        {"dotted",
         [](StandInOptions& o) {
             o.namePrefix = "S21";
         }},
        {"deep",
         [](StandInOptions& o) {
             o.parentDepth = 31;
         }},
        {"loop",
         [](StandInOptions& o) {
             o.parentLoop = true;
         }},
        {"shared",
         [](StandInOptions& o) {
             o.sharedWidgets = 20;
         }},
        {"odd-numbers",
         [](StandInOptions& o) {
             o.textDa = "/Helv nan Tf 0.5 2 0 rg";
             o.badRect = "900_2_Text_SanSerif";
             o.numberAp = true;
         }},
    };
    for (const auto& [name, shape] : shapes) {
        StandInOptions options;
        shape(options);
        out.add("form", name, test::standInForm(options));
    }
}

// The form's usual font, where it is installed.
void fontSeeds(SeedWriter& out) {
    for (const char* file : {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                             "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"}) {
        Bytes bytes;
        if (readWholeFile(file, 1 << 20, bytes) == ReadError::None) {
            out.add("truetype", "liberation-sans", asString(bytes));
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelkorl-fuzz-seeds FOLDER\n");
        return 2;
    }
    const SampleCongregation c = buildSampleCongregation(YEAR);
    SeedWriter out(argv[1]);
    publisherSeeds(out, c);
    extensionSeeds(out, c);
    remarkSeeds(out, c);
    layoutSeeds(out);
    settingsSeeds(out);
    inchSeeds(out);
    dateSeeds(out, c);
    formSeeds(out);
    fontSeeds(out);
    std::printf("%d seeds in %s\n", out.written(), argv[1]);
    return 0;
}
