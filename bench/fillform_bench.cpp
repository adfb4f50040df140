// Filling the fillable S-21 11/23 form for a full congregation of 309: one file per
// publisher, and all of them in one file of 309 pages. The form is the tests' stand-in, and
// the same form made as hostile as the reader still accepts: nine fields each under 31
// parents, another field with widgets up to the page's limit, so the fill's time is seen to
// stay near the real form's.
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
#include <random>

using namespace pelkorl;

namespace {

constexpr int CONGREGATION_CARDS = 309;

struct Sample : SampleCongregation {
    FormFiller filler;
    FormFiller hostile;

    Sample() : SampleCongregation("pelkorl-fill-bench-") {
        test::StandInOptions shape;
        shape.parentDepth = int(FORM_MAX_DEPTH) - 1;
        shape.deepFields = 9;
        shape.sharedWidgets = int(FORM_MAX_WIDGETS) - FORM_FIELD_COUNT + 1;
        if (!test::writeStandInForm(folder / "S-21.pdf") ||
            !filler.open(folder / "S-21.pdf").ok() ||
            !test::writeStandInForm(folder / "hostile.pdf", shape) ||
            !hostile.open(folder / "hostile.pdf").ok())
            std::abort();
        std::filesystem::create_directories(folder / "out");
    }
};

Sample& sampleData() {
    static Sample s;
    return s;
}

void BM_FillFilePerPublisher(benchmark::State& bench) {
    Sample& s = sampleData();
    for (auto _ : bench) {
        CardFileNames names;
        for (int i = 0; i < CONGREGATION_CARDS; ++i) {
            const CardState card = cardStateFor(s.state, s.record(i));
            const std::string name =
                names.next(cp1257ToUtf8(card.displayName), formYears(s.state, false));
            const auto pages = formPages(s.state, CardPage{s.record(i)}, false);
            if (!s.filler.write(pages, false, s.folder / "out" / std::filesystem::u8path(name))
                     .ok())
                bench.SkipWithError("a form could not be written");
        }
    }
    bench.SetItemsProcessed(bench.iterations() * CONGREGATION_CARDS);
}

// Argument 0: the stand-in; 1: its hostile shape.
void BM_FillOneFileOfAllPages(benchmark::State& bench) {
    Sample& s = sampleData();
    const FormFiller& filler = bench.range(0) == 0 ? s.filler : s.hostile;
    for (auto _ : bench) {
        std::vector<std::vector<FormValue>> pages;
        for (int i = 0; i < CONGREGATION_CARDS; ++i)
            pages.push_back(formPages(s.state, CardPage{s.record(i)}, false).front());
        if (!filler.write(pages, false, s.folder / "all.pdf").ok())
            bench.SkipWithError("the form could not be written");
    }
    bench.SetItemsProcessed(bench.iterations() * CONGREGATION_CARDS);
}

BENCHMARK(BM_FillFilePerPublisher)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillOneFileOfAllPages)->Unit(benchmark::kMillisecond)->Iterations(1)->Arg(0)->Arg(1);

} // namespace
