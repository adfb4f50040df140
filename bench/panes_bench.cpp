// One paint of both preview panes for a publisher with a remark in every month, over a
// remarks file of 6,000 records: the table pane reads the remarks file again for every row
// that has a remark, so this is mostly twelve reads of that file.
#include "card/cardstate.h"
#include "recordingcanvas.h"
#include "records/publisherdata.h"
#include "render/headerpreview.h"
#include "render/tablepreview.h"
#include "sampledata.h"

#include "toolkit/qtcanvas.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

using namespace pelkorl;

namespace {

constexpr int PUBLISHERS = 300;
constexpr int REMARKS = 6000;
constexpr std::uint16_t FIRST_ID = 11;
constexpr Rect HEADER_PANE{0, 0, 550, 78};
constexpr Rect TABLE_PANE{0, 0, 525, 199};

struct Congregation {
    std::filesystem::path folder;
    PublisherData data;
    CardState state;

    Congregation() {
        std::random_device seed;
        folder = std::filesystem::temp_directory_path() /
                 ("pelkorl-panes-bench-" + std::to_string(std::mt19937_64(seed())()));
        std::filesystem::create_directories(folder);
        std::vector<sample::RecordBytes> records;
        for (int i = 0; i < PUBLISHERS; ++i) {
            sample::PublisherSpec p;
            p.firstName = "Vardas" + std::to_string(i);
            p.lastName = "Pavard\xEB" + std::to_string(i);
            p.address = "Laisv\xEBs al. " + std::to_string(i) + ", Kaunas";
            p.mobilePhone = "+370 600 " + std::to_string(10000 + i);
            p.baptismDate = "06201990";
            p.birthDate = "03151970";
            p.publisherId = static_cast<std::uint16_t>(FIRST_ID + i);
            p.male = true;
            for (int m = 0; m < 12; ++m) {
                auto& month = p.months[static_cast<std::size_t>(m)];
                month.placementEncoding = true;
                month.placements = static_cast<std::uint16_t>(10 + m);
                month.hours = static_cast<std::uint16_t>(30 + m);
                month.returnVisits = 5;
                month.bibleStudies = 2;
                month.quarterHours = static_cast<std::uint8_t>(m % 4);
            }
            records.push_back(sample::encodePublisher(p, true));
        }
        // The benchmarked publisher's remarks come first in every month; the rest of the
        // file is other publishers' remarks spread over the year.
        std::vector<sample::RemarkSpec> remarks;
        for (int m = 1; m <= 12; ++m)
            remarks.push_back({"Pastaba " + std::to_string(m) + " - ilgas komentaras apie m\xEBnes",
                               static_cast<std::uint8_t>(m), FIRST_ID});
        for (int i = static_cast<int>(remarks.size()); i < REMARKS; ++i)
            remarks.push_back({"Kita pastaba " + std::to_string(i),
                               static_cast<std::uint8_t>(1 + i % 12),
                               static_cast<std::uint16_t>(FIRST_ID + 1 + i % (PUBLISHERS - 1))});
        if (!sample::writePublisherFile(folder / "tdat7.bin", sample::encodeHeader(" ", true),
                                        records) ||
            !sample::writeRemarksFile(folder / "remark7.dat", remarks) ||
            !allocateRecordStore(data.store, nullptr))
            std::abort();
        DataLocation location;
        location.currentFolder = folder;
        location.removableFolder = folder / "removable";
        StartState aborted = StartState::Running;
        loadPublisherData(data, location, aborted, [](const std::string&) { return true; });
        state.data = &data;
        state.selectedRecord = 1;
        state.lastMonth = 7; // all twelve rows carry figures and remarks
        state.currentYear = 2027;
        state.columnSet = ColumnSet::Placements;
        state.monthChecked.fill(true);
        state.totalChecked = true;
    }
    ~Congregation() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
};

Congregation& congregation() {
    static Congregation c;
    return c;
}

void BM_BothPanesToImage(benchmark::State& bench) {
    Congregation& c = congregation();
    QImage header(HEADER_PANE.width(), HEADER_PANE.height(), QImage::Format_RGB32);
    QImage table(TABLE_PANE.width(), TABLE_PANE.height(), QImage::Format_RGB32);
    HeaderPaneEffects effects;
    for (auto _ : bench) {
        {
            QPainter painter(&header);
            QtCanvas canvas(painter);
            paintHeaderPreview(canvas, HEADER_PANE, c.state, effects);
        }
        {
            QPainter painter(&table);
            QtCanvas canvas(painter);
            drawTablePreview(canvas, TABLE_PANE, c.state);
        }
        benchmark::DoNotOptimize(table.constBits());
    }
    if (c.state.displayName.empty())
        bench.SkipWithError("no publisher was painted");
}

void BM_BothPanesToRecording(benchmark::State& bench) {
    Congregation& c = congregation();
    RecordingCanvas canvas(96, 96);
    HeaderPaneEffects effects;
    std::size_t remarks = 0;
    for (auto _ : bench) {
        canvas.clear();
        paintHeaderPreview(canvas, HEADER_PANE, c.state, effects);
        drawTablePreview(canvas, TABLE_PANE, c.state);
        remarks = 0;
        for (const TextCall& t : canvas.texts())
            remarks += t.clip ? 1 : 0;
        benchmark::DoNotOptimize(canvas.calls().size());
    }
    if (remarks != 12)
        bench.SkipWithError("not every month showed its remark");
}

BENCHMARK(BM_BothPanesToImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BothPanesToRecording)->Unit(benchmark::kMicrosecond);

} // namespace
