// The places of a published map, as data for other tools and for the page.
//
// places.geojson is a GeoJSON FeatureCollection with one Point feature per
// record of the database, in file order: its coordinates are the world X and
// Y, its properties
//   name        the name as the viewer displays it: the Windows-1252 bytes
//               as Unicode (AnsiText.h), written as UTF-8
//   type        the type (importance class)
//   worldX, worldY
//   mapX, mapY  its pixel at level 6 (WorldToMap)
//   firstLevel  the first level that draws it (LevelShowsType), null for a
//               type that no level draws
//   goLevel     the level Go takes it to (GoTargetLevel)
//
// places.js sets window.KelderwynSite for the page, so that it works from a
// file:// address, where a page may not read a file next to it:
//   title       the page's title
//   factors     the seven zoom factors as stored (ZoomScale)
//   levels      per level: width, height, columns and rows of tiles, and
//               shown, the records whose marker reaches the level's picture,
//               in file order (FindShownMarkers, whose nearest to the view the
//               status line names, as the window's description does)
//   points      per record its pixel at levels 0 to 6: x0, y0, ..., x6, y6
//   places      the FeatureCollection of places.geojson
//
// Texts are JSON strings: quote, backslash, control characters (C0, DEL and
// C1) and the line separators U+2028 and U+2029 escaped as \uXXXX.
#pragma once

#include "Locations.h"
#include "ZoomGeometry.h"

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TSiteLevel {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<std::uint32_t> Shown;
};

using TSiteLevels = std::array<TSiteLevel, ZoomLevelCount>;

std::string JsonString(const QString& text);

std::string PlacesGeoJson(const TLocList& places, const TSiteLevels& levels);

std::string PlacesScript(const QString& title, const TSiteLevels& levels, const TLocList& places,
                         const std::string& geoJson);
