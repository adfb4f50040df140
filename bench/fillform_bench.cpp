// Filling the fillable S-21 11/23 form for a full congregation of 309: one file per
// publisher, and all of them in one file of 309 pages. The form is the tests' stand-in in one
// of its shapes (the benchmark's argument, formShape below), one of them as hostile as the reader
// still accepts, so the fill's time is seen to stay near the real form's.
#include "card/cardbatch.h"
#include "card/cardfilename.h"
#include "card/cardstate.h"
#include "card/formvalues.h"
#include "records/publisherdata.h"
#include "samplecongregation.h"
#include "standinform.h"
#include "text/codepage.h"

#include "printing/fillform.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <iterator>
#include <random>

using namespace pelkorl;

namespace {

constexpr int CONGREGATION_CARDS = 309;

// 0: its fields listed; 1: widgets only, as most editions; 2: that with a large font of its
// own stored unfiltered; 3: nine fields each under 31 parents, another with widgets up to the
// page's limit.
test::StandInOptions formShape(int shape) {
    test::StandInOptions o;
    o.widgetsOnly = shape == 1 || shape == 2;
    o.fontBytes = shape == 2 ? 2 * 1024 * 1024 : 0;
    if (shape == 3) {
        o.parentDepth = int(FORM_MAX_DEPTH) - 1;
        o.deepFields = 9;
        o.sharedWidgets = int(FORM_MAX_WIDGETS) - FORM_FIELD_COUNT + 1;
    }
    return o;
}
constexpr int FORM_COUNT = 4;

struct Sample : SampleCongregation {
    FormFiller fillers[FORM_COUNT];

    Sample() : SampleCongregation("pelkorl-fill-bench-") {
        for (int i = 0; i < FORM_COUNT; ++i) {
            const auto form = folder / ("S-21-" + std::to_string(i) + ".pdf");
            if (!test::writeStandInForm(form, formShape(i)) || !fillers[i].open(form).ok())
                std::abort();
        }
        std::filesystem::create_directories(folder / "out");
    }
};

Sample& sampleData() {
    static Sample s;
    return s;
}

void BM_FillFilePerPublisher(benchmark::State& bench) {
    Sample& s = sampleData();
    const FormFiller& filler = s.fillers[bench.range(0)];
    for (auto _ : bench) {
        CardFileNames names;
        for (int i = 0; i < CONGREGATION_CARDS; ++i) {
            const CardState card = cardStateFor(s.state, s.record(i));
            const std::string name =
                names.next(cp1257ToUtf8(card.displayName), formYears(s.state, false));
            const auto pages = formPages(s.state, CardPage{s.record(i)}, false);
            if (!filler.write(pages, false, s.folder / "out" / std::filesystem::u8path(name)).ok())
                bench.SkipWithError("a form could not be written");
        }
    }
    bench.SetItemsProcessed(bench.iterations() * CONGREGATION_CARDS);
}

void BM_FillOneFileOfAllPages(benchmark::State& bench) {
    Sample& s = sampleData();
    const FormFiller& filler = s.fillers[bench.range(0)];
    for (auto _ : bench) {
        std::vector<std::vector<FormValue>> pages;
        for (int i = 0; i < CONGREGATION_CARDS; ++i)
            pages.push_back(formPages(s.state, CardPage{s.record(i)}, false).front());
        if (!filler.write(pages, false, s.folder / "all.pdf").ok())
            bench.SkipWithError("the form could not be written");
    }
    bench.SetItemsProcessed(bench.iterations() * CONGREGATION_CARDS);
}

BENCHMARK(BM_FillFilePerPublisher)
    ->ArgName("form")
    ->DenseRange(0, FORM_COUNT - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_FillOneFileOfAllPages)
    ->ArgName("form")
    ->DenseRange(0, FORM_COUNT - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
