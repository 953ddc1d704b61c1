// The sample world: a generated map picture and place database for trying the
// viewer without the game's own data.
//
// Everything is deterministic: a fixed seed and only our own random generator
// and noise, so the same build writes the same bytes on every run.
//
// The picture is SampleWidth x SampleHeight, the size the world-to-pixel
// constants of the viewer fit. Rgb holds it row by row from the top, three
// bytes per pixel in the order red, green, blue. Ground classifies every pixel
// as drawn: water (sea, lake or river), lowland, hills or mountains.
//
// Places lie on land: the full-size pixel of each place (the viewer's
// WorldToMap at level 6) and the pixels within PlaceLandRadius of it are not
// water.
#pragma once

#include "ZoomGeometry.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

inline constexpr std::int32_t SampleWidth = WorldMapWidth;
inline constexpr std::int32_t SampleHeight = WorldMapHeight;
inline constexpr std::int32_t PlaceLandRadius = 4;
inline constexpr int SampleJpegQuality = 90;

// How many places of each type (0 capitals ... 4 villages) the database holds
// by default.
inline constexpr int PlaceTypeCount = 5;
inline constexpr int PlacesPerType[PlaceTypeCount] = {5, 15, 35, 60, 85};
inline constexpr int DefaultPlaceCount = 200;
inline constexpr int MaxPlaceCount = 1000000;

// How many places of each type a world of `count` places (1 to MaxPlaceCount)
// holds: PlacesPerType scaled to count and rounded down, at least one capital,
// and the villages take the rest. The default count gives PlacesPerType.
std::array<int, PlaceTypeCount> PlacesOfEachType(int count);

struct TSamplePlace {
    std::string Name; // 8-bit text, Windows-1252
    std::int32_t Type = 0;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::string Realm; // the name of the nearest capital
};

enum TGround : std::uint8_t { GroundWater, GroundLowland, GroundHills, GroundMountains };

struct TSampleWorld {
    std::vector<std::uint8_t> Rgb;
    std::vector<TGround> Ground;
    std::vector<TSamplePlace> Places;
};

// Draws the map picture and classifies its ground (Places left empty).
TSampleWorld GenerateTerrain();

// Chooses `count` places (PlacesOfEachType) on the land of world.Ground and
// names them: capitals, cities and towns in the lowlands or hills, hamlets and
// villages anywhere but the mountains. Places of a larger world lie closer
// together. Throws std::out_of_range for a count outside 1 to MaxPlaceCount.
void GeneratePlaces(TSampleWorld& world, int count = DefaultPlaceCount);

// The text of "knmain.gdb" for the places: a header comment, then one record
// of eight LF-terminated lines per place.
std::string PlaceDatabaseText(const std::vector<TSamplePlace>& places);

// Writes a width x height RGB picture to fileName as a baseline JPEG (4:2:0,
// the given quality). Throws std::runtime_error with the library's message
// when it fails, a failed write included.
void WriteJpeg(const std::filesystem::path& fileName, const std::vector<std::uint8_t>& rgb, std::int32_t width,
               std::int32_t height, int quality);

// Generates the world with `placeCount` places and writes dir/"bigmap_hi.jpg"
// and dir/"knmain.gdb", creating dir if needed. Each file is written under a temporary name and
// renamed when complete, so a failure never leaves a truncated file behind.
// Throws std::runtime_error with a message naming the file or folder.
void WriteSampleWorld(const std::filesystem::path& dir, int placeCount = DefaultPlaceCount);
