// Set-up shared by the benchmarks that measure whole viewer processes
// (bench/ui_startup.cpp, bench/ui_memory.cpp). An application object can be
// made only once per process, so such a benchmark runs itself as a child in a
// mode of its own, in a fresh copy of the sample world (or of the same map
// with ManyPlaces places), and reads back what the child prints, its times
// and its peak resident size.
#pragma once

#include "Application.h"
#include "ChildProcess.h"
#include "MapImage.h"
#include "Mainunit.h"
#include "ManyPlaces.h"
#include "SampleWorld.h"

#include <QEvent>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

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
        if (FForm && watched == FForm->ImageMap && event->type() == QEvent::Paint && !FForm->MasterBitmap.Empty() &&
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

// What a working folder holds: nothing, the sample world, or the sample map
// with ManyPlaces places.
enum class TRunWorld { None, Sample, ManyPlaces };

// The two worlds written once into a temporary folder, and a working folder
// that each run gets afresh.
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
