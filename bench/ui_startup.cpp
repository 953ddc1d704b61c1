// Start-up of the viewer to its first painted frame on the sample world,
// against two baselines measured in the same run: the whole djpeg process that
// decodes the same map into "~temp.bmp", and the bare decode of the map into
// memory by TJPEGImage.
//
// An application object can be made only once per process, so every start-up
// is a process of its own: this program runs itself with --startup-once DIR,
// which changes to DIR, reads the clock, creates the program's application
// object and TMainForm, shows the window and runs the message loop until the
// first paint of the window that holds the map ends (the outermost event whose
// handling painted ImageMap with the map and the level-0 markers). It prints
// the nanoseconds between those two points. The clock thus covers everything
// from before the application object is created to the end of that paint;
// what comes before main (exec, loading Qt and the other shared libraries)
// is not in it. The iteration time is that clock; process_ms is the whole
// process from spawn to the printed time, which is what the djpeg line
// measures too. process_cpu_ms is the CPU time of a whole child process, and
// the CPU column of the bare decode its own CPU time: with other work on the
// machine these compare more steadily than wall times. Each start-up and each
// djpeg run works in a fresh copy of the sample world. Every repetition is a
// single run, so the median is the median start-up: an occasional start that
// stalls for a few hundred milliseconds on a busy machine counts once, where
// in a mean of several runs it would move the whole repetition.
#include "ProcessBench.h"

#include "JpegImage.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

const char StartupOnce[] = "--startup-once";

TSampleWorldFolders* Folders = nullptr;

int RunStartupOnce(const char* dir, char* program)
{
    if (!EnterChildFolder(dir))
        return 1;

    const TBenchClock::time_point start = TBenchClock::now();
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    TFirstPaintApplication application(qtArgc, qtArgv);
    TMainForm form;
    application.Watch(form);
    form.show();
    application.exec();
    const TBenchClock::time_point end = TBenchClock::now();

    if (!application.Painted()) {
        std::fprintf(stderr, "the window closed before it painted the map\n");
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count()));
    std::fflush(stdout);
    return 0;
}

void StartupToFirstPaint(benchmark::State& state, TRunWorld world)
{
    double processSeconds = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        const std::filesystem::path dir = Folders->FreshRun(world);
        const TChildResult child = RunChild({SelfPath(), StartupOnce, dir.string()});
        if (!child.Ok || child.Output.empty()) {
            state.SkipWithError("the start-up process failed");
            break;
        }
        state.SetIterationTime(std::strtod(child.Output.c_str(), nullptr) / 1e9);
        processSeconds += child.OutputSeconds;
        cpuSeconds += child.CpuSeconds;
        if (std::filesystem::exists(dir / TempFileName))
            state.SkipWithError("~temp.bmp was left behind");
    }
    state.counters["process_ms"] = benchmark::Counter(processSeconds * 1000, benchmark::Counter::kAvgIterations);
    state.counters["process_cpu_ms"] = benchmark::Counter(cpuSeconds * 1000, benchmark::Counter::kAvgIterations);
}

void BM_StartupToFirstPaint(benchmark::State& state)
{
    StartupToFirstPaint(state, TRunWorld::Sample);
}

// The same on the sample map with 100,000 places, against the line above.
void BM_StartupToFirstPaintManyPlaces(benchmark::State& state)
{
    StartupToFirstPaint(state, TRunWorld::ManyPlaces);
}

// djpeg decodes the map and writes "~temp.bmp" into a folder without one.
void BM_DjpegToTempBmp(benchmark::State& state)
{
    double cpuSeconds = 0;
    for (auto _ : state) {
        const std::filesystem::path dir = Folders->FreshRun(TRunWorld::Sample);
        const TChildResult child = RunChild({"djpeg", "-dct", "int", "-bmp", "-outfile", (dir / TempFileName).string(),
                                             (dir / MapFileName).string()});
        if (!child.Ok) {
            state.SkipWithError("djpeg failed");
            break;
        }
        state.SetIterationTime(child.WallSeconds);
        cpuSeconds += child.CpuSeconds;
    }
    state.counters["process_cpu_ms"] = benchmark::Counter(cpuSeconds * 1000, benchmark::Counter::kAvgIterations);
}

void BM_BareDecode(benchmark::State& state)
{
    const std::string map = (Folders->World() / MapFileName).string();
    for (auto _ : state) {
        const TBenchClock::time_point start = TBenchClock::now();
        TJPEGImage image;
        image.LoadFromFile(map);
        TBitmap bitmap;
        image.DecodeInto(bitmap);
        benchmark::DoNotOptimize(std::as_const(bitmap).Bits());
        state.SetIterationTime(std::chrono::duration<double>(TBenchClock::now() - start).count());
    }
}

} // namespace

BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartupToFirstPaintManyPlaces)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly(true);
BENCHMARK(BM_DjpegToTempBmp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly(true);
BENCHMARK(BM_BareDecode)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], StartupOnce) == 0)
        return RunStartupOnce(argv[2], argv[0]);

    return RunSampleWorldBenchmarks("startup", Folders, argc, argv);
}
