// ScaleMap of every level on a 3300 x 3800 master, each with the copy of the
// master that precedes it in ApplyZoomLevel, against a plain memcpy of the
// master's 37.6 MB into a buffer that is already allocated.
#include "Bitmap.h"
#include "Color.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t MasterWidth = 3300;
constexpr std::int32_t MasterHeight = 3800;

const TBitmap& Master()
{
    static const TBitmap master = [] {
        TBitmap bitmap(MasterWidth, MasterHeight);
        std::uint32_t state = 12345;
        for (std::int32_t y = 0; y < MasterHeight; ++y) {
            std::uint8_t* row = bitmap.ScanLine(y);
            for (std::int32_t i = 0; i < MasterWidth * 3; ++i) {
                state = state * 1664525u + 1013904223u;
                row[i] = static_cast<std::uint8_t>(state >> 24);
            }
        }
        return bitmap;
    }();
    return master;
}

void BM_ScaleMap(benchmark::State& state)
{
    const int level = static_cast<int>(state.range(0));
    const TBitmap& master = Master();
    for (auto _ : state) {
        TBitmap view = master;
        ScaleMap(level, master, view);
        if (level == 6)
            view.Detach();
        benchmark::DoNotOptimize(std::as_const(view).Bits());
        benchmark::ClobberMemory();
    }
}

void BM_MemcpyMaster(benchmark::State& state)
{
    const std::size_t bytes = Master().ByteSize();
    std::vector<std::uint8_t> from(Master().Bits(), Master().Bits() + bytes);
    std::vector<std::uint8_t> to(bytes, 1);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_MemcpyMaster)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ScaleMap)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
