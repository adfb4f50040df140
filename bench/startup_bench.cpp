// Start-up to the filled list on a full data set: 309 publishers in both years, 600
// extension records, a remark for every publisher in every month of both years. Measured:
// the main dialog built from its template and its whole start-up sequence (settings, data
// location, record store, both publisher files with matching, extension count, remarks,
// list, layout), offscreen.
#include "records/publisherdata.h"
#include "sampledata.h"

#include "main/maindialog.h"
#include "main/publisherlistbox.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

using namespace pelkorl;

namespace {

constexpr int PUBLISHERS = 309; // a full publisher file: 310 records, header included
constexpr int EXTENSIONS = 600; // a full extension file: 601 records, record 0 included
constexpr std::uint16_t FIRST_ID = 11;
const QDate START_DATE(2027, 4, 12);

sample::PublisherSpec publisher(int i, int year) {
    sample::PublisherSpec p;
    p.firstName = "Vardas" + std::to_string(i);
    p.lastName = "Pavard\xEB" + std::to_string(i);
    p.address = "Laisv\xEBs al. " + std::to_string(i) + ", Kaunas";
    p.homePhone = "8 37 " + std::to_string(200000 + i);
    p.mobilePhone = "+370 600 " + std::to_string(10000 + i);
    p.baptismDate = "0620" + std::to_string(1980 + i % 40);
    p.birthDate = "0315" + std::to_string(1940 + i % 60);
    p.publisherId = static_cast<std::uint16_t>(FIRST_ID + i);
    p.extensionIndex = static_cast<std::uint16_t>(1 + i);
    p.male = i % 2 == 0;
    p.female = !p.male;
    for (int m = 0; m < 12; ++m) {
        auto& month = p.months[static_cast<std::size_t>(m)];
        month.status = static_cast<std::uint8_t>(i % 7 == 0 ? sample::REGULAR_PIONEER : 0);
        month.placementEncoding = m < 8;
        month.placements = static_cast<std::uint16_t>((i + m + year) % 40);
        month.books = static_cast<std::uint16_t>(m);
        month.magazines = static_cast<std::uint16_t>(i % 30);
        month.hours = static_cast<std::uint16_t>(10 + (i * m) % 60);
        month.returnVisits = static_cast<std::uint16_t>(i % 12);
        month.bibleStudies = static_cast<std::uint16_t>(i % 4);
        month.quarterHours = static_cast<std::uint8_t>((i + m) % 4);
    }
    return p;
}

std::vector<sample::RemarkSpec> remarks(const char* what) {
    std::vector<sample::RemarkSpec> all;
    for (std::uint8_t month = 1; month <= 12; ++month)
        for (int i = 0; i < PUBLISHERS; ++i)
            all.push_back(
                {std::string(what) + " " + std::to_string(i) + "/" + std::to_string(month), month,
                 static_cast<std::uint16_t>(FIRST_ID + i)});
    return all;
}

// The data folder, written once for every run of the benchmark.
struct FullDataSet {
    std::filesystem::path folder;
    std::filesystem::path settings;
    bool ok = false;

    FullDataSet() {
        std::random_device seed;
        folder = std::filesystem::temp_directory_path() /
                 ("pelkorl-startup-bench-" + std::to_string(std::mt19937_64(seed())()));
        settings = folder / "pelkorl.INI";
        const std::filesystem::path previous = folder / "Roll" / "Rv7_8";
        std::filesystem::create_directories(previous);

        sample::YearStamps currentStamps{}, previousStamps{};
        for (int m = 0; m < 12; ++m) {
            currentStamps[static_cast<std::size_t>(m)] = sample::yearStamp(m < 8 ? 2027 : 2026);
            previousStamps[static_cast<std::size_t>(m)] = sample::yearStamp(m < 8 ? 2026 : 2025);
        }
        std::vector<sample::RecordBytes> current, last;
        for (int i = 0; i < PUBLISHERS; ++i) {
            current.push_back(sample::encodePublisher(publisher(i, 2027), true));
            last.push_back(sample::encodePublisher(publisher(i, 2026), true));
        }
        std::vector<sample::ExtensionBytes> extensions;
        for (int i = 0; i < EXTENSIONS; ++i)
            extensions.push_back(sample::encodeExtension(
                static_cast<std::uint16_t>(FIRST_ID + i),
                "Vardas" + std::to_string(i) + " Antrasis Pavard\xEB" + std::to_string(i)));
        ok = sample::writePublisherFile(folder / "tdat7.bin",
                                        sample::encodeHeader(" ", true, currentStamps), current) &&
             sample::writePublisherFile(previous / "tdat7.bin",
                                        sample::encodeHeader(" ", true, previousStamps), last) &&
             sample::writeExtensionFile(folder / "xten7.dat", extensions) &&
             sample::writeRemarksFile(folder / "remark7.dat", remarks("Dabar")) &&
             sample::writeRemarksFile(previous / "remark7.dat", remarks("Pernai"));
    }
    ~FullDataSet() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
};

FullDataSet& dataSet() {
    static FullDataSet set;
    return set;
}

void BM_StartupToFilledList(benchmark::State& bench) {
    FullDataSet& set = dataSet();
    if (!set.ok) {
        bench.SkipWithError("the data set could not be written");
        return;
    }
    for (auto _ : bench) {
        auto dialog = std::make_unique<MainDialog>(SettingsLocation{set.settings, set.settings},
                                                   set.folder, START_DATE);
        dialog->initialise();
        if (dialog->publisherList()->count() != PUBLISHERS) {
            bench.SkipWithError("the list is not full");
            break;
        }
        bench.PauseTiming();
        dialog.reset(); // never closed: no layout file is written between runs
        bench.ResumeTiming();
    }
    bench.SetItemsProcessed(bench.iterations() * PUBLISHERS);
}

// The data part alone: record store, both publisher files, matching, extensions, remarks.
void BM_LoadFullDataSet(benchmark::State& bench) {
    FullDataSet& set = dataSet();
    PublisherData data;
    if (!set.ok || !allocateRecordStore(data.store, nullptr)) {
        bench.SkipWithError("the data set could not be written");
        return;
    }
    DataLocation location;
    location.currentFolder = set.folder;
    location.removableFolder = set.folder / "removable";
    data.currentFolder = set.folder;
    for (auto _ : bench) {
        StartState aborted = StartState::Running;
        loadPublisherData(data, location, aborted, [](const std::string&) { return true; });
        benchmark::DoNotOptimize(data.store.currentCount);
    }
    if (data.store.currentCount != PUBLISHERS + 1)
        bench.SkipWithError("not every publisher was read");
}

BENCHMARK(BM_StartupToFilledList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFullDataSet)->Unit(benchmark::kMillisecond);

} // namespace
