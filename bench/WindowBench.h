// Set-up shared by the window benchmarks (bench/ui_*.cpp): the program's own
// application object on the offscreen platform, the sample world and the same
// map with ManyPlaces places (SampleWorld.h) written to temporary folders, and
// a main window started in each as the program starts it. The baseline they
// report against is a memcpy of the sample world's 37.6 MB master into a
// buffer that is already allocated.
#pragma once

#include "Application.h"
#include "Mainunit.h"
#include "ManyPlaces.h"
#include "SampleWorld.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

inline TMainForm* BenchForm = nullptr;
inline TMainForm* ManyPlacesForm = nullptr;

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
    application.SetErrorBox([](const QString&, const QString& text, const QString&) {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
    });
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("sample"));
    const QString many = dir.filePath(QStringLiteral("many"));
    try {
        WriteSampleWorld(sample.toStdString());
        WriteSampleWorld(many.toStdString(), ManyPlaces());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "sample world: %s\n", error.what());
        return 1;
    }
    TMainForm form;
    TMainForm manyForm;
    for (auto [window, folder] : {std::pair{&form, sample}, std::pair{&manyForm, many}}) {
        QDir::setCurrent(folder);
        window->show();
        QCoreApplication::processEvents();
        if (window->MasterBitmap.Width() != SampleWidth || window->LocList.empty()) {
            std::fprintf(stderr, "the window did not start on the sample world\n");
            return 1;
        }
    }
    BenchForm = &form;
    ManyPlacesForm = &manyForm;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    BenchForm = nullptr;
    ManyPlacesForm = nullptr;
    return 0;
}
