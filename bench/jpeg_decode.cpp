// Decode of the sample world's map (3300 x 3800, quality 90, 4:2:0) by TJPEGImage,
// against libjpeg's own djpeg program on the same file in the same run, and
// against a plain memcpy of the decoded size as the floor of any decode.
// With other work on the machine the CPU times (ours in the CPU column,
// djpeg's in djpeg_cpu_ms) compare more steadily than the wall times.
//
// Hostile files next to the map, each decoded (or refused) by a child process
// of its own that reports its time and its peak resident size (peak_MB):
// a flat 8192 x 8192 progressive file of cjpeg's scans with the last one
// repeated to 490 scans; a flat 18918 x 18918 one with luminance sampled
// 4 x 4, every scan of one component, repeated likewise; a four-component
// progressive file of a few kilobytes declaring 16380 x 16380 pixels; a
// baseline one declaring 18900 x 18900; and the worst the limits let through,
// a flat progressive file of 8 x 3300 x 3800 pixels sampled 4:4:4 whose last
// scan is repeated until its work is just within the budget.
#include "Bitmap.h"
#include "ChildProcess.h"
#include "DataFiles.h"
#include "Errors.h"
#include "JpegImage.h"
#include "SampleWorld.h"
#include "TestJpeg.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const char DecodeChild[] = "--decode";

std::filesystem::path Folder;
std::string MapFile;

struct THostileFile {
    const char* Name;
    std::vector<std::uint8_t> (*Build)();
};

std::vector<std::uint8_t> RepeatedTo490Scans(const TJpegFrame& frame, const std::vector<TJpegScan>& scans)
{
    return WithLastScanRepeated(FlatTestJpeg(frame, scans), 490 - static_cast<int>(scans.size()));
}

std::vector<std::uint8_t> Declaring(std::vector<std::uint8_t> jpeg, unsigned side)
{
    SetTestJpegFrameSize(jpeg, side, side);
    return jpeg;
}

std::vector<std::uint8_t> FillingTheWorkBudget()
{
    const TJpegFrame frame = TestJpegFrame(10000, 10032, {{1, 1}, {1, 1}, {1, 1}}, true);
    std::vector<TJpegScan> scans = SimpleProgression(3);
    std::uint64_t work = 0;
    for (const TJpegScan& scan : scans)
        work += ScanWork(frame, scan);
    // Each repeat adds its scan's work and a little data.
    const std::uint64_t repeat = ScanWork(frame, scans.back()) + DataWork(frame, 1000);
    const std::uint64_t data = DataWork(frame, FlatTestJpeg(frame, scans).size());
    return WithLastScanRepeated(FlatTestJpeg(frame, scans),
                                static_cast<int>((TJPEGImage::MaxDecodeWork - work - data) / repeat));
}

const THostileFile HostileFiles[] = {
    {"progressive_8192_490_scans",
     [] { return RepeatedTo490Scans(TestJpegFrame(8192, 8192, {{2, 2}, {1, 1}, {1, 1}}, true), SimpleProgression(3)); }},
    {"one_component_scans_18918_490_scans",
     [] {
         return RepeatedTo490Scans(TestJpegFrame(18918, 18918, {{4, 4}, {1, 1}, {1, 1}}, true),
                                   SplitScans(SimpleProgression(3)));
     }},
    {"cmyk_progressive_declaring_16380",
     [] {
         return Declaring(
             EncodeTestJpeg(SmoothTestPicture(48, 48), {.Colour = TTestJpegColour::AdobeCmyk, .Progressive = true}),
             16380);
     }},
    {"baseline_declaring_18900", [] { return Declaring(EncodeTestJpeg(SmoothTestPicture(16, 16)), 18900); }},
    {"progressive_10000x10032_filling_the_work_budget", FillingTheWorkBudget},
};

std::string HostilePath(const THostileFile& file)
{
    return (Folder / (std::string(file.Name) + ".jpg")).string();
}

// The child's side: decodes the file and prints its peak resident size and
// the message of a refusal.
int RunDecodeChild(const char* fileName)
{
    std::string outcome = "decoded";
    try {
        TJPEGImage image;
        image.LoadFromFile(fileName);
        TBitmap bitmap;
        image.DecodeInto(bitmap);
    } catch (const EMapError& error) {
        outcome = error.what();
    }
    std::printf("%.0f %s\n", PeakResidentBytes(), outcome.c_str());
    return 0;
}

void DecodeInChild(benchmark::State& state, const std::string& fileName)
{
    double peak = 0;
    for (auto _ : state) {
        const TChildResult child = RunChild({SelfPath(), DecodeChild, fileName});
        char outcome[256] = {};
        if (!child.Ok || std::sscanf(child.Output.c_str(), "%lf %255[^\n]", &peak, outcome) != 2) {
            state.SkipWithError("decode child failed");
            break;
        }
        state.SetIterationTime(child.WallSeconds);
        state.SetLabel(outcome);
    }
    state.counters["peak_MB"] = peak / 1e6;
}

void MapDecodeProcess(benchmark::State& state)
{
    DecodeInChild(state, MapFile);
}

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
    double childSeconds = 0;
    for (auto _ : state) {
        const TChildResult child = RunChild({"djpeg", "-dct", "int", "-outfile", "/dev/null", MapFile});
        if (!child.Ok) {
            state.SkipWithError("djpeg failed");
            break;
        }
        childSeconds += child.CpuSeconds;
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
BENCHMARK(MapDecodeProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], DecodeChild) == 0)
        return RunDecodeChild(argv[2]);
    Folder = std::filesystem::temp_directory_path() / ("kelderwyn-bench-jpeg-" + std::to_string(::getpid()));
    MapFile = (Folder / MapFileName).string();
    try {
        std::filesystem::create_directories(Folder);
        WriteJpeg(MapFile, GenerateTerrain().Rgb, SampleWidth, SampleHeight, SampleJpegQuality);
        for (const THostileFile& file : HostileFiles) {
            WriteTestFile(HostilePath(file), file.Build());
            std::fprintf(stderr, "%s: %ju bytes\n", file.Name, std::filesystem::file_size(HostilePath(file)));
            benchmark::RegisterBenchmark((std::string("HostileFileProcess/") + file.Name).c_str(),
                                         [path = HostilePath(file)](benchmark::State& state) { DecodeInChild(state, path); })
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(1);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        std::filesystem::remove_all(Folder);
        return 1;
    }
    std::fprintf(stderr, "map JPEG: %s, %ju bytes\n", MapFile.c_str(), std::filesystem::file_size(MapFile));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Folder);
    return 0;
}
