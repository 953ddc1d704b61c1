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
// djpeg run works in a fresh copy of the sample world.
#include "Application.h"
#include "JpegImage.h"
#include "MapImage.h"
#include "Mainunit.h"
#include "SampleWorld.h"

#include <QEvent>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

const char StartupOnce[] = "--startup-once";

std::string SelfPath;
fs::path WorldDir;
fs::path RunDir;

// The program's application object, told when the outermost event that
// painted ImageMap has been handled.
class TFirstPaintApplication : public TApplication {
public:
    using TApplication::TApplication;

    void Watch(TMainForm& form)
    {
        FForm = &form;
        form.ImageMap->installEventFilter(this);
    }
    bool Done() const { return FDone; }

    bool notify(QObject* receiver, QEvent* event) override
    {
        ++FDepth;
        const bool result = TApplication::notify(receiver, event);
        if (--FDepth == 0 && FMapPainted && !FDone) {
            FDone = true;
            quit();
        }
        return result;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (FForm && watched == FForm->ImageMap && event->type() == QEvent::Paint && !FForm->ViewBitmap.Empty() &&
            !FForm->LocList.empty())
            FMapPainted = true;
        return TApplication::eventFilter(watched, event);
    }

private:
    TMainForm* FForm = nullptr;
    int FDepth = 0;
    bool FMapPainted = false;
    bool FDone = false;
};

int RunStartupOnce(const char* dir, char* program)
{
    if (::chdir(dir) != 0) {
        std::perror(dir);
        return 1;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    const TClock::time_point start = TClock::now();
    int qtArgc = 1;
    char* qtArgv[] = {program, nullptr};
    TFirstPaintApplication application(qtArgc, qtArgv);
    TMainForm form;
    application.Watch(form);
    form.show();
    application.exec();
    const TClock::time_point end = TClock::now();

    if (!application.Done()) {
        std::fprintf(stderr, "the window closed before it painted the map\n");
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count()));
    std::fflush(stdout);
    return 0;
}

// A fresh working folder holding a copy of the sample world.
fs::path FreshCopy()
{
    fs::remove_all(RunDir);
    fs::create_directory(RunDir);
    for (const char* name : {MapFileName, LocationsFileName})
        fs::copy_file(WorldDir / name, RunDir / name);
    return RunDir;
}

struct TChildResult {
    bool Ok = false;
    std::string Output;
    double WallSeconds = 0; // from spawn to exit
    double OutputSeconds = 0; // from spawn to the end of its output
    double CpuSeconds = 0; // user and system time of the whole process
};

TChildResult RunChild(std::vector<std::string> args)
{
    TChildResult result;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const TClock::time_point start = TClock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return result;
    }
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        result.Output.append(buffer, static_cast<std::size_t>(got));
    result.OutputSeconds = std::chrono::duration<double>(TClock::now() - start).count();
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) < 0)
        return result;
    result.WallSeconds = std::chrono::duration<double>(TClock::now() - start).count();
    result.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

void BM_StartupToFirstPaint(benchmark::State& state)
{
    double processSeconds = 0;
    double cpuSeconds = 0;
    for (auto _ : state) {
        const fs::path dir = FreshCopy();
        const TChildResult child = RunChild({SelfPath, StartupOnce, dir.string()});
        if (!child.Ok || child.Output.empty()) {
            state.SkipWithError("the start-up process failed");
            break;
        }
        state.SetIterationTime(std::strtod(child.Output.c_str(), nullptr) / 1e9);
        processSeconds += child.OutputSeconds;
        cpuSeconds += child.CpuSeconds;
        if (fs::exists(dir / TempFileName))
            state.SkipWithError("~temp.bmp was left behind");
    }
    state.counters["process_ms"] = benchmark::Counter(processSeconds * 1000, benchmark::Counter::kAvgIterations);
    state.counters["process_cpu_ms"] = benchmark::Counter(cpuSeconds * 1000, benchmark::Counter::kAvgIterations);
}

// djpeg decodes the map and writes "~temp.bmp" into a folder without one.
void BM_DjpegToTempBmp(benchmark::State& state)
{
    double cpuSeconds = 0;
    for (auto _ : state) {
        const fs::path dir = FreshCopy();
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
    const std::string map = (WorldDir / MapFileName).string();
    for (auto _ : state) {
        const TClock::time_point start = TClock::now();
        TJPEGImage image;
        image.LoadFromFile(map);
        TBitmap bitmap;
        image.DecodeInto(bitmap);
        benchmark::DoNotOptimize(std::as_const(bitmap).Bits());
        state.SetIterationTime(std::chrono::duration<double>(TClock::now() - start).count());
    }
}

} // namespace

BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DjpegToTempBmp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_BareDecode)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], StartupOnce) == 0)
        return RunStartupOnce(argv[2], argv[0]);

    SelfPath = fs::canonical("/proc/self/exe").string();
    const fs::path base = fs::temp_directory_path() / ("kelderwyn-bench-startup-" + std::to_string(::getpid()));
    WorldDir = base / "world";
    RunDir = base / "run";
    try {
        WriteSampleWorld(WorldDir);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sample world: %s\n", error.what());
        fs::remove_all(base);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(base);
    return 0;
}
