#include "SampleWorld.h"

#include "DataFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

void WriteText(const std::filesystem::path& fileName, const std::string& text)
{
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot create " + fileName.string() + ": " + std::strerror(errno));
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        throw std::runtime_error("cannot write " + fileName.string() + ": " + std::strerror(written ? errno : writeError));
}

// Puts a completed file in place; a failure removes the temporary file.
void Publish(const std::filesystem::path& from, const std::filesystem::path& to)
{
    std::error_code error;
    std::filesystem::rename(from, to, error);
    if (error) {
        const std::string reason = error.message();
        std::filesystem::remove(from, error);
        throw std::runtime_error("cannot write " + to.string() + ": " + reason);
    }
}

template <typename TWrite>
void WriteVia(const std::filesystem::path& fileName, TWrite write)
{
    std::filesystem::path part = fileName;
    part += ".part";
    try {
        write(part);
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        throw;
    }
    Publish(part, fileName);
}

} // namespace

void WriteSampleWorld(const std::filesystem::path& dir, int placeCount)
{
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error || !std::filesystem::is_directory(dir))
        throw std::runtime_error("cannot create folder " + dir.string() + ": " +
                                 (error ? error.message() : std::string("a file of that name exists")));

    if (placeCount < 1 || placeCount > MaxPlaceCount)
        throw std::out_of_range("the number of places must be 1 to " + std::to_string(MaxPlaceCount));
    TSampleWorld world = GenerateTerrain();
    GeneratePlaces(world, placeCount);
    const std::string database = PlaceDatabaseText(world.Places);

    WriteVia(dir / MapFileName, [&](const std::filesystem::path& part) {
        WriteJpeg(part, world.Rgb, SampleWidth, SampleHeight, SampleJpegQuality);
    });
    WriteVia(dir / LocationsFileName, [&](const std::filesystem::path& part) { WriteText(part, database); });
}
