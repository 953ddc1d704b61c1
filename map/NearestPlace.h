// The place nearest a point of the displayed map, so that the window can say
// where the view is.
//
// NearestPlace looks only at the locations that `level` draws (LevelShowsType)
// and returns the index in `list` of the one whose map point (WorldToMap at
// `level` for a displayed map `displayedHeight` pixels high) lies nearest to
// `point`, by straight-line distance in map pixels. Of several equally near,
// the earliest in the list wins. Squared distances are compared exactly, for
// every pair of 32-bit points. Returns std::nullopt when the level draws none
// of the locations (a level outside 0..6 draws none); throws nothing else.
#pragma once

#include "Locations.h"
#include "ZoomGeometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>

std::optional<std::size_t> NearestPlace(const TLocList& list, int level, std::int32_t displayedHeight,
                                        TMapPoint point);
