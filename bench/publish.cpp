// kelderwyn-publish on the sample world, against a baseline measured in the
// same run: the same seven levels, read, scaled and drawn the same way, each
// written as one whole PNG image by one thread, at the same PNG settings.
// Both start from the map folder and include the decode; BM_Publish writes
// the whole site (tiles, places, page, Leaflet) into a fresh folder, which
// is removed between repetitions outside the clock. Wall time counts: the
// publisher's tiles are encoded on every core. The two run in turns, five
// rounds, so that a change in the machine's other load meets both alike;
// process_cpu_s is the CPU time of all threads of the process.
#include "DataFiles.h"
#include "MapLevels.h"
#include "PngFile.h"
#include "Publish.h"
#include "SampleWorld.h"
#include "TileWriter.h"
#include "ZoomGeometry.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include <time.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

double ProcessCpuSeconds()
{
    timespec time{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

fs::path Base()
{
    static const fs::path base = fs::temp_directory_path() / ("kelderwyn-bench-publish-" + std::to_string(::getpid()));
    return base;
}

void BM_Publish(benchmark::State& state)
{
    TPublishOptions options;
    options.Folder = Base() / "world";
    options.OutDir = Base() / "site";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(options.OutDir);
        state.ResumeTiming();
        const double cpu = ProcessCpuSeconds();
        const TPublishSummary summary = Publish(options);
        state.counters["process_cpu_s"] = ProcessCpuSeconds() - cpu;
        benchmark::DoNotOptimize(summary.Tiles);
    }
}

void BM_PublishBaselineWholePngs(benchmark::State& state)
{
    const fs::path out = Base() / "whole";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(out);
        fs::create_directory(out);
        state.ResumeTiming();
        const double cpu = ProcessCpuSeconds();
        const TMapLevels map((Base() / "world" / MapFileName).string(), (Base() / "world" / LocationsFileName).string(),
                             (out / TempFileName).string());
        for (int level = MaxZoomLevel; level >= 0; --level) {
            const TBitmap picture = map.Draw(level);
            SavePng(QImage(picture.Bits(), picture.Width(), picture.Height(),
                           static_cast<qsizetype>(picture.RowStride()), QImage::Format_BGR888),
                    (out / (std::to_string(level) + ".png")).native());
        }
        state.counters["process_cpu_s"] = ProcessCpuSeconds() - cpu;
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QGuiApplication application(argc, argv);
    try {
        WriteSampleWorld(Base() / "world");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sample world: %s\n", error.what());
        return 1;
    }
    for (int round = 0; round < 5; ++round) {
        benchmark::RegisterBenchmark("BM_Publish", BM_Publish)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
        benchmark::RegisterBenchmark("BM_PublishBaselineWholePngs", BM_PublishBaselineWholePngs)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(Base());
    return 0;
}
