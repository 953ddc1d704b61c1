// "Go" on the sample world: from the overview to a village at level 6 and
// back to a capital at level 0, twelve steps each rebuilt, drawn and painted
// through the message pump, and the six steps of the way up alone, against a
// memcpy of the 37.6 MB master in the same run; the ManyPlaces runs do the
// same on the sample map with 100,000 places.
#include "WindowBench.h"

#include "AnsiText.h"
#include "SortedComboBox.h"

#include <QToolButton>

#include <chrono>
#include <string>

namespace {

int EntryOfType(const TMainForm& form, std::int32_t type)
{
    for (const TLocation& location : form.LocList)
        if (location.Type == type)
            return form.CBLoc->findText(AnsiToQString(location.Name));
    return -1;
}

// One trip per iteration; `up` tells whether only the way up is timed.
void GoTrip(benchmark::State& state, TMainForm& form, bool up)
{
    const int village = EntryOfType(form, 4);
    const int capital = EntryOfType(form, 0);
    if (village < 0 || capital < 0) {
        state.SkipWithError("the sample world lacks a village or a capital");
        return;
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        form.CBLoc->setCurrentIndex(village);
        form.ToolButtonGo->click();
        const auto top = std::chrono::steady_clock::now();
        form.CBLoc->setCurrentIndex(capital);
        form.ToolButtonGo->click();
        const auto end = up ? top : std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    if (form.ZoomLevel != 0)
        state.SkipWithError("the trip did not end at the overview");
}

void BM_GoToLevel6AndBack(benchmark::State& state)
{
    GoTrip(state, *BenchForm, false);
}

void BM_GoToLevel6AndBackManyPlaces(benchmark::State& state)
{
    GoTrip(state, *ManyPlacesForm, false);
}

// The way up alone: from the overview to the village at level 6, six steps
// each painted; the way back to the capital is not timed.
void BM_GoFromLevel0ToLevel6(benchmark::State& state)
{
    GoTrip(state, *BenchForm, true);
}

void BM_GoFromLevel0ToLevel6ManyPlaces(benchmark::State& state)
{
    GoTrip(state, *ManyPlacesForm, true);
}

} // namespace

BENCHMARK(BM_MemcpyMaster)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GoToLevel6AndBack)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GoFromLevel0ToLevel6)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GoToLevel6AndBackManyPlaces)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GoFromLevel0ToLevel6ManyPlaces)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}
