// Decode of a map-sized JPEG (3300 x 3800, quality 90, 4:2:0) by TJPEGImage,
// against libjpeg's own djpeg program on the same file in the same run, and
// against a plain memcpy of the decoded size as the floor of any decode.
// With other work on the machine the CPU times (ours in the CPU column,
// djpeg's in djpeg_cpu_ms) compare more steadily than the wall times.
#include "Bitmap.h"
#include "JpegImage.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <jpeglib.h>

extern char** environ;

namespace {

constexpr int MapWidth = 3300;
constexpr int MapHeight = 3800;

std::string MapFile;

unsigned char Band(double value)
{
    return static_cast<unsigned char>(std::lround(std::fmin(255.0, std::fmax(0.0, value))));
}

// Smooth relief coloured by height: sea, coast, lowland, hills, with thin
// dark lines like rivers and borders. Compresses as a drawn map does.
void MapRow(int y, std::vector<unsigned char>& rgb)
{
    for (int x = 0; x < MapWidth; ++x) {
        const double h = std::sin(x / 310.0) * std::cos(y / 270.0) + 0.5 * std::sin((x + 2 * y) / 97.0) +
                         0.25 * std::cos((3 * x - y) / 41.0) + 0.1 * std::sin((x * y) / 90000.0);
        double r, g, b;
        if (h < -0.3) {
            r = 40 + 30 * h;
            g = 90 + 40 * h;
            b = 190 + 40 * h;
        } else if (h < 0.6) {
            r = 90 + 120 * h;
            g = 150 + 40 * h;
            b = 70 + 30 * h;
        } else {
            r = 150 + 60 * h;
            g = 120 + 50 * h;
            b = 90 + 40 * h;
        }
        if ((x + 3 * y) % 523 < 2 || (5 * x - y + 100000) % 811 < 2)
            r = g = b = 60;
        rgb[3 * static_cast<std::size_t>(x)] = Band(r);
        rgb[3 * static_cast<std::size_t>(x) + 1] = Band(g);
        rgb[3 * static_cast<std::size_t>(x) + 2] = Band(b);
    }
}

std::vector<unsigned char> EncodeMapJpeg()
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = MapWidth;
    info.image_height = MapHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> rgb(static_cast<std::size_t>(MapWidth) * 3);
    while (info.next_scanline < info.image_height) {
        MapRow(static_cast<int>(info.next_scanline), rgb);
        JSAMPROW row = rgb.data();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

bool WriteFile(const std::string& fileName, const std::vector<unsigned char>& bytes)
{
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
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
    const std::size_t bytes = std::size_t{MapWidth} * MapHeight * 3;
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
        TBitmap bitmap(MapWidth, MapHeight);
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
    const std::vector<unsigned char> jpeg = EncodeMapJpeg();
    if (!WriteFile(MapFile, jpeg)) {
        std::fprintf(stderr, "cannot write %s\n", MapFile.c_str());
        std::filesystem::remove(MapFile);
        return 1;
    }
    std::fprintf(stderr, "map JPEG: %s, %zu bytes\n", MapFile.c_str(), jpeg.size());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(MapFile);
    return 0;
}
