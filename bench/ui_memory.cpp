// Peak resident size of the viewer on the sample world, against the same
// program with an empty window that loads no data, measured in the same run.
//
// Each measure is a whole process, this program run in a mode of its own,
// which prints its peak resident size (VmHWM) as its last act:
//   --viewer-trip DIR   starts the window in a copy of the sample world as
//                       the program does, waits for the first painted frame,
//                       goes with "Go" from level 0 to a village at level 6
//                       and back to a capital at level 0, every step painted,
//                       then closes the window and quits;
//   --empty-window DIR  starts the program's window in an empty folder: it
//                       finds no map, loads nothing and closes itself.
// viewer_MB and empty_MB are the two peaks, above_MB their difference and
// above_per_master that difference in units of the 37.6 MB master. The
// ManyPlaces line makes the same trip on the sample map with 100,000 places.
#include "ProcessBench.h"

#include "AnsiText.h"
#include "SortedComboBox.h"

#include <QCoreApplication>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char ViewerTrip[] = "--viewer-trip";
const char EmptyWindow[] = "--empty-window";

TSampleWorldFolders* Folders = nullptr;

int EntryOfType(const TMainForm& form, std::int32_t type)
{
    for (const TLocation& location : form.LocList)
        if (location.Type == type)
            return form.CBLoc->findText(AnsiToQString(location.Name));
    return -1;
}

bool GoTo(TMainForm& form, int entry, int level)
{
    form.CBLoc->setCurrentIndex(entry);
    form.ToolButtonGo->click();
    return form.ZoomLevel == level;
}

int RunViewerTrip(const char* dir, char* program)
{
    if (!EnterChildFolder(dir))
        return 1;
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    TFirstPaintApplication application(qtArgc, qtArgv);
    TMainForm form;
    application.Watch(form);
    form.show();
    application.exec();
    if (!application.Painted()) {
        std::fprintf(stderr, "the window closed before it painted the map\n");
        return 1;
    }
    const int village = EntryOfType(form, 4);
    const int capital = EntryOfType(form, 0);
    if (village < 0 || capital < 0 || !GoTo(form, village, MaxZoomLevel) || !GoTo(form, capital, 0)) {
        std::fprintf(stderr, "the trip to level 6 and back did not come off\n");
        return 1;
    }
    form.close();
    QCoreApplication::processEvents();
    std::printf("%.0f\n", PeakResidentBytes());
    return 0;
}

int RunEmptyWindow(const char* dir, char* program)
{
    if (!EnterChildFolder(dir))
        return 1;
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    TApplication application(qtArgc, qtArgv);
    TMainForm form;
    form.show();
    application.exec();
    std::printf("%.0f\n", PeakResidentBytes());
    return 0;
}

void PeakResidentSize(benchmark::State& state, TRunWorld world)
{
    const double masterBytes = static_cast<double>(TBitmap::StrideFor(SampleWidth)) * SampleHeight;
    double viewer = 0;
    double empty = 0;
    for (auto _ : state) {
        const TChildResult emptyRun =
            RunChild({SelfPath(), EmptyWindow, Folders->FreshRun(TRunWorld::None).string()});
        const TChildResult viewerRun =
            RunChild({SelfPath(), ViewerTrip, Folders->FreshRun(world).string()});
        const double emptyPeak = std::strtod(emptyRun.Output.c_str(), nullptr);
        const double viewerPeak = std::strtod(viewerRun.Output.c_str(), nullptr);
        if (!emptyRun.Ok || !viewerRun.Ok || emptyPeak <= 0 || viewerPeak <= 0) {
            state.SkipWithError("a viewer process failed");
            break;
        }
        empty += emptyPeak;
        viewer += viewerPeak;
    }
    const auto perRun = benchmark::Counter::kAvgIterations;
    state.counters["viewer_MB"] = benchmark::Counter(viewer / 1e6, perRun);
    state.counters["empty_MB"] = benchmark::Counter(empty / 1e6, perRun);
    state.counters["above_MB"] = benchmark::Counter((viewer - empty) / 1e6, perRun);
    state.counters["above_per_master"] = benchmark::Counter((viewer - empty) / masterBytes, perRun);
}

void BM_PeakResidentSize(benchmark::State& state)
{
    PeakResidentSize(state, TRunWorld::Sample);
}

// The same trip on the sample map with 100,000 places.
void BM_PeakResidentSizeManyPlaces(benchmark::State& state)
{
    PeakResidentSize(state, TRunWorld::ManyPlaces);
}

} // namespace

BENCHMARK(BM_PeakResidentSize)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PeakResidentSizeManyPlaces)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], ViewerTrip) == 0)
        return RunViewerTrip(argv[2], argv[0]);
    if (argc == 3 && std::strcmp(argv[1], EmptyWindow) == 0)
        return RunEmptyWindow(argv[2], argv[0]);

    return RunSampleWorldBenchmarks("memory", Folders, argc, argv);
}
