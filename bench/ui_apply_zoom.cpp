// ApplyZoomLevel on the sample world for every level: the copy of the master,
// the rescale, the bars, the markers and a synchronous paint of the viewport,
// against a memcpy of the 37.6 MB master in the same run. The ManyPlaces runs
// do the same on the sample map with 100,000 places.
#include "WindowBench.h"

#include "MapImage.h"
#include "ScrollBar.h"

namespace {

void ApplyZoomLevel(benchmark::State& state, TMainForm& form)
{
    const int level = static_cast<int>(state.range(0));
    const auto middle = [&form] {
        form.ScrollBarH->SetPosition(form.ScrollBarH->Max() / 2);
        form.ScrollBarV->SetPosition(form.ScrollBarV->Max() / 2);
    };
    for (auto _ : state) {
        form.ApplyZoomLevel(level, middle);
        form.ImageMap->repaint();
    }
}

void BM_ApplyZoomLevel(benchmark::State& state)
{
    ApplyZoomLevel(state, *BenchForm);
}

void BM_ApplyZoomLevelManyPlaces(benchmark::State& state)
{
    ApplyZoomLevel(state, *ManyPlacesForm);
}

} // namespace

BENCHMARK(BM_MemcpyMaster)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ApplyZoomLevel)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ApplyZoomLevelManyPlaces)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv);
}
