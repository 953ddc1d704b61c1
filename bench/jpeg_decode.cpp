// Decode of the sample world's map (3300 x 3800, quality 90, 4:2:0) by TJPEGImage,
// against libjpeg's own djpeg program on the same file in the same run, and
// against a plain memcpy of the decoded size as the floor of any decode.
// With other work on the machine the CPU times (ours in the CPU column,
// djpeg's in djpeg_cpu_ms) compare more steadily than the wall times.
#include "Bitmap.h"
#include "JpegImage.h"
#include "SampleWorld.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string MapFile;

void TJPEGImageDecode(benchmark::State& state)
{
    for (auto _ : state) {
        TJPEGImage image;
        image.LoadFromFile(MapFile);
        TBitmap bitmap;
        image.DecodeInto(bitmap);
        benchmark::DoNotOptimize(bitmap.Bits());
    }
}

void DjpegProcess(benchmark::State& state)
{
    std::string program = "djpeg", dct = "-dct", dctInt = "int", outfile = "-outfile", devNull = "/dev/null";
    char* argv[] = {program.data(), dct.data(), dctInt.data(), outfile.data(), devNull.data(), MapFile.data(), nullptr};
    double childSeconds = 0;
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        rusage usage{};
        if (posix_spawnp(&child, "djpeg", nullptr, nullptr, argv, environ) != 0 || wait4(child, &status, 0, &usage) < 0 ||
            !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("djpeg failed");
            break;
        }
        childSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    // The CPU column counts this process only; the child's own time is here.
    state.counters["djpeg_cpu_ms"] = benchmark::Counter(childSeconds * 1000, benchmark::Counter::kAvgIterations);
}

void MemcpyDecodedSize(benchmark::State& state)
{
    const std::size_t bytes = std::size_t{SampleWidth} * SampleHeight * 3;
    std::vector<unsigned char> source(bytes, 1);
    std::vector<unsigned char> target(bytes, 2);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}

// What the decode pays and djpeg does not: a fresh map-sized bitmap whose
// pages the system supplies on first write.
void FreshBitmapFirstWrite(benchmark::State& state)
{
    for (auto _ : state) {
        TBitmap bitmap(SampleWidth, SampleHeight);
        std::memset(bitmap.Bits(), 0, bitmap.ByteSize());
        benchmark::DoNotOptimize(bitmap.Bits());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(TJPEGImageDecode)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(DjpegProcess)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(FreshBitmapFirstWrite)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(MemcpyDecodedSize)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    MapFile = (std::filesystem::temp_directory_path() / ("kelderwyn-bench-" + std::to_string(::getpid()) + ".jpg")).string();
    try {
        WriteJpeg(MapFile, GenerateTerrain().Rgb, SampleWidth, SampleHeight, SampleJpegQuality);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        std::filesystem::remove(MapFile);
        return 1;
    }
    std::fprintf(stderr, "map JPEG: %s, %ju bytes\n", MapFile.c_str(), std::filesystem::file_size(MapFile));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(MapFile);
    return 0;
}
