// "Go" on the sample world: from the overview to a village at level 6 and
// back to a capital at level 0, twelve steps each rebuilt, drawn and painted
// through the message pump, against a memcpy of the 37.6 MB master in the
// same run.
#include "WindowBench.h"

#include "AnsiText.h"
#include "SortedComboBox.h"

#include <QToolButton>

#include <string>

namespace {

int EntryOfType(const TMainForm& form, std::int32_t type)
{
    for (const TLocation& location : form.LocList)
        if (location.Type == type)
            return form.CBLoc->findText(AnsiToQString(location.Name));
    return -1;
}

void BM_GoToLevel6AndBack(benchmark::State& state)
{
    TMainForm& form = *BenchForm;
    const int village = EntryOfType(form, 4);
    const int capital = EntryOfType(form, 0);
    if (village < 0 || capital < 0) {
        state.SkipWithError("the sample world lacks a village or a capital");
        return;
    }
    for (auto _ : state) {
        form.CBLoc->setCurrentIndex(village);
        form.ToolButtonGo->click();
        form.CBLoc->setCurrentIndex(capital);
        form.ToolButtonGo->click();
    }
    if (form.ZoomLevel != 0)
        state.SkipWithError("the trip did not end at the overview");
}

} // namespace

BENCHMARK(BM_MemcpyMaster)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_GoToLevel6AndBack)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}
