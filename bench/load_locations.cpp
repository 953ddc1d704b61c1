// Loading a location database of 1,000,000 records, against the floor of
// reading the same file line by line with std::getline and doing nothing else.
#include "Locations.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int RecordCount = 1000000;

class TDatabaseFile {
public:
    TDatabaseFile()
        : FPath(std::filesystem::temp_directory_path() / ("kelderwyn-bench-" + std::to_string(::getpid()) + ".gdb"))
    {
        std::ofstream out(FPath, std::ios::binary);
        std::string chunk;
        for (std::int64_t i = 0; i < RecordCount; ++i) {
            chunk += "[loc " + std::to_string(i) + "]\r\n";
            chunk += "name: Place " + std::to_string(i * 7919 % 1000003) + "\r\n";
            chunk += "area: region " + std::to_string(i % 97) + "\r\n";
            chunk += "size: 3\r\n";
            chunk += "type: " + std::to_string(i % 6) + "\r\n";
            chunk += "icon: 0\r\n";
            chunk += "note: generated\r\n";
            chunk += "pos:  " + std::to_string(i * 37 % 200000 - 100000) + "," + std::to_string(-(i * 53 % 150000)) +
                     "\r\n";
            if (i % 10 == 0)
                chunk += "; a comment between records\r\n";
            if (chunk.size() > (1 << 20)) {
                out << chunk;
                chunk.clear();
            }
        }
        out << chunk;
    }
    ~TDatabaseFile() { std::filesystem::remove(FPath); }

    std::string Path() const { return FPath.string(); }

private:
    std::filesystem::path FPath;
};

const TDatabaseFile& Database()
{
    static const TDatabaseFile file;
    return file;
}

void GetlineBaseline(benchmark::State& state)
{
    const std::string path = Database().Path();
    for (auto _ : state) {
        std::ifstream in(path);
        std::string line;
        std::size_t lines = 0;
        while (std::getline(in, line))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void LoadLocationsWhole(benchmark::State& state)
{
    const std::string path = Database().Path();
    for (auto _ : state) {
        TLocList list;
        std::size_t names = 0;
        const TLocationWindow window{[&names](const std::string&) { ++names; }, [] {}};
        LoadLocations(path, list, window);
        if (list.size() != RecordCount || names != RecordCount)
            state.SkipWithError("the generated database did not load whole");
        benchmark::DoNotOptimize(list.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

} // namespace

BENCHMARK(GetlineBaseline)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);
BENCHMARK(LoadLocationsWhole)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

BENCHMARK_MAIN();
