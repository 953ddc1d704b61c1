// Set-up shared by the window benchmarks (bench/ui_*.cpp): the program's own
// application object on the offscreen platform, the sample world written to
// a temporary folder, and the main window started there as the program
// starts it. The baseline they report against is a memcpy of the sample
// world's 37.6 MB master into a buffer that is already allocated.
#pragma once

#include "Application.h"
#include "Mainunit.h"
#include "SampleWorld.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

inline TMainForm* BenchForm = nullptr;

inline void BM_MemcpyMaster(benchmark::State& state)
{
    const TBitmap& master = BenchForm->MasterBitmap;
    const std::size_t bytes = master.ByteSize();
    std::vector<std::uint8_t> from(master.Bits(), master.Bits() + bytes);
    std::vector<std::uint8_t> to(bytes, 1);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

inline int RunWindowBenchmarks(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    TApplication application(qtArgc, argv);
    application.SetErrorBox([](const QString&, const QString& text) {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
    });
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    try {
        WriteSampleWorld(dir.path().toStdString());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sample world: %s\n", error.what());
        return 1;
    }
    QDir::setCurrent(dir.path());
    TMainForm form;
    form.show();
    QCoreApplication::processEvents();
    if (form.MasterBitmap.Width() != SampleWidth || form.LocList.empty()) {
        std::fprintf(stderr, "the window did not start on the sample world\n");
        return 1;
    }
    BenchForm = &form;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    BenchForm = nullptr;
    return 0;
}
