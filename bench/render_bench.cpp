// Rendering cards: one card and a full congregation of 309, to the recording surface and
// through QPrinter into PDF files; the three totals records of a full publisher file.
#include "card/cardstate.h"
#include "card/formatting.h"
#include "card/totals.h"
#include "recordingcanvas.h"
#include "records/publisherdata.h"
#include "render/cardrender.h"
#include "samplecongregation.h"

#include "printing/printjob.h"

#include <QString>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

using namespace pelkorl;

namespace {

constexpr int CONGREGATION_CARDS = 309; // a full publisher file: 310 records, header included

// The sample congregation with every month and the total of card version 0 ticked.
struct Sample : SampleCongregation {
    Sample() : SampleCongregation("pelkorl-bench-") {
        setLayoutDefaults(state.layout, 0);
        state.columnSet = columnSetOf(0);
        state.monthChecked.fill(true);
        state.totalChecked = true;
    }
    // The i-th card of a congregation, cycling through the sample's publishers.
    void select(int i) {
        const int j = record(i);
        state.selectedRecord = j;
        state.displayName = formatName(data.store, j, false);
        state.mobileText = data.store.currentRecords[static_cast<std::size_t>(j)].mobilePhone();
    }
    QString pdf() const { return QString::fromStdString((folder / "card.pdf").string()); }
};

Sample& sampleData() {
    static Sample s;
    return s;
}

void cardsToRecording(benchmark::State& bench, int cards) {
    Sample& s = sampleData();
    RecordingCanvas canvas(600, 600);
    for (auto _ : bench) {
        for (int i = 0; i < cards; ++i) {
            s.select(i);
            canvas.clear();
            drawCard(canvas, s.state);
            benchmark::DoNotOptimize(canvas.calls().size());
        }
    }
    bench.SetItemsProcessed(bench.iterations() * cards);
}

void cardsToPdf(benchmark::State& bench, int cards) {
    Sample& s = sampleData();
    const QString file = s.pdf();
    for (auto _ : bench) {
        for (int i = 0; i < cards; ++i) {
            s.select(i);
            if (renderCardToPdf(file, s.state, 600) != PrintResult::Printed)
                bench.SkipWithError("the PDF could not be written");
        }
    }
    bench.SetItemsProcessed(bench.iterations() * cards);
}

// Every figure of a totals record adds up the whole file: the three records with every month
// and the total row, over 309 publishers (the sample's, repeated).
void BM_TotalsOfAFullFileToRecording(benchmark::State& bench) {
    Sample& s = sampleData();
    RecordStore& store = s.data.store;
    const int sampleCount = store.currentCount;
    for (int j = sampleCount; j <= CONGREGATION_CARDS; ++j)
        store.currentRecords[static_cast<std::size_t>(j)] =
            store.currentRecords[static_cast<std::size_t>(1 + (j - 1) % (sampleCount - 1))];
    store.currentCount = CONGREGATION_CARDS + 1;
    RecordingCanvas canvas(600, 600);
    for (auto _ : bench) {
        for (const TotalsRecord totals : TOTALS_RECORDS) {
            CardState state = totalsStateFor(s.state, totals);
            canvas.clear();
            drawCard(canvas, state);
            benchmark::DoNotOptimize(canvas.calls().size());
        }
    }
    store.currentCount = sampleCount;
    bench.SetItemsProcessed(bench.iterations() * 3);
}

void BM_OneCardToRecording(benchmark::State& bench) {
    cardsToRecording(bench, 1);
}
void BM_CongregationToRecording(benchmark::State& bench) {
    cardsToRecording(bench, CONGREGATION_CARDS);
}
void BM_OneCardToPdf(benchmark::State& bench) {
    cardsToPdf(bench, 1);
}
void BM_CongregationToPdf(benchmark::State& bench) {
    cardsToPdf(bench, CONGREGATION_CARDS);
}

BENCHMARK(BM_OneCardToRecording)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CongregationToRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneCardToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CongregationToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TotalsOfAFullFileToRecording)->Unit(benchmark::kMillisecond);

} // namespace
