// Set-up shared by the benchmarks that measure whole viewer processes
// (bench/ui_startup.cpp, bench/ui_memory.cpp). An application object can be
// made only once per process, so such a benchmark runs itself as a child in a
// mode of its own, in a fresh copy of the sample world (or of the same map
// with ManyPlaces places), and reads back what the child prints, its times
// and its peak resident size.
#pragma once

#include "Application.h"
#include "MapImage.h"
#include "Mainunit.h"
#include "ManyPlaces.h"
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
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using TBenchClock = std::chrono::steady_clock;

// The program's application object, which ends its message loop once the
// outermost event whose handling painted ImageMap with the map and the
// markers has been handled: the end of the window's first painted frame.
class TFirstPaintApplication : public TApplication {
public:
    using TApplication::TApplication;

    void Watch(TMainForm& form)
    {
        FForm = &form;
        form.ImageMap->installEventFilter(this);
    }
    bool Painted() const { return FDone; }

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

// The child's side: the working folder and the offscreen platform, set
// before anything is timed. False (with a message) when the folder is missing.
inline bool EnterChildFolder(const char* dir)
{
    if (::chdir(dir) != 0) {
        std::perror(dir);
        return false;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return true;
}

// The peak resident size of the calling process so far, from the system's
// own account (VmHWM), or 0 when it cannot be read. The peak that wait4
// reports for a child is no use here: the child spawned by posix_spawn
// starts in the parent's memory, whose peak it inherits.
inline double PeakResidentBytes()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    double bytes = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            bytes = std::strtod(line + 6, nullptr) * 1024; // the line reads "VmHWM: <n> kB"
    std::fclose(status);
    return bytes;
}

struct TChildResult {
    bool Ok = false;
    std::string Output;
    double WallSeconds = 0; // from spawn to exit
    double OutputSeconds = 0; // from spawn to the end of its output
    double CpuSeconds = 0; // user and system time of the whole process
};

// Runs args[0] (looked up in PATH) with args, its output read through a pipe.
inline TChildResult RunChild(std::vector<std::string> args)
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

    const TBenchClock::time_point start = TBenchClock::now();
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
    result.OutputSeconds = std::chrono::duration<double>(TBenchClock::now() - start).count();
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) < 0)
        return result;
    result.WallSeconds = std::chrono::duration<double>(TBenchClock::now() - start).count();
    result.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

// What a working folder holds: nothing, the sample world, or the sample map
// with ManyPlaces places.
enum class TRunWorld { None, Sample, ManyPlaces };

// The benchmark's own path, the two worlds written once into a temporary
// folder, and a working folder that each run gets afresh.
class TSampleWorldFolders {
public:
    explicit TSampleWorldFolders(const std::string& name)
        : FBase(std::filesystem::temp_directory_path() / ("kelderwyn-bench-" + name + "-" + std::to_string(::getpid())))
    {
    }
    ~TSampleWorldFolders() { std::filesystem::remove_all(FBase); }
    TSampleWorldFolders(const TSampleWorldFolders&) = delete;
    TSampleWorldFolders& operator=(const TSampleWorldFolders&) = delete;

    // False (with a message) when the sample world cannot be written.
    bool Create()
    {
        try {
            WriteSampleWorld(World());
            WriteSampleWorld(FBase / "many", ManyPlaces());
        } catch (const std::exception& error) {
            std::fprintf(stderr, "sample world: %s\n", error.what());
            return false;
        }
        return true;
    }

    static std::string SelfPath() { return std::filesystem::canonical("/proc/self/exe").string(); }
    std::filesystem::path World() const { return FBase / "world"; }

    // A working folder holding a copy of the world given, or nothing.
    std::filesystem::path FreshRun(TRunWorld world) const
    {
        const std::filesystem::path run = FBase / "run";
        std::filesystem::remove_all(run);
        std::filesystem::create_directory(run);
        if (world != TRunWorld::None)
            for (const char* name : {MapFileName, LocationsFileName})
                std::filesystem::copy_file((world == TRunWorld::Sample ? World() : FBase / "many") / name, run / name);
        return run;
    }

private:
    std::filesystem::path FBase;
};

// The parent's main: writes the sample world into folders named name, points
// folders at them while the benchmarks run, and runs them.
inline int RunSampleWorldBenchmarks(const std::string& name, TSampleWorldFolders*& folders, int argc, char** argv)
{
    TSampleWorldFolders world(name);
    if (!world.Create())
        return 1;
    folders = &world;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    folders = nullptr;
    return 0;
}
