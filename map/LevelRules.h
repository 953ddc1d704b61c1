// The two rules that tie a location's type (its importance class, 0 the most
// important) to the zoom levels: which levels draw its marker, and which level
// "Go" takes it to. For every type from 0 to 4 the Go level draws it; a type of
// 5 or more is drawn nowhere and still taken to level 6.
#pragma once

#include <cstdint>

// Whether `level` draws the markers of locations of `type` (0 the most important):
// level 0 type 0; levels 1-2 type <= 1; 3-4 type <= 2; 5 type <= 3; 6 type <= 4.
bool LevelShowsType(int level, std::int32_t type);

// The level "Go" zooms to for a location of `type`: 0 -> 0, 1 -> 2, 2 -> 4,
// 3 -> 5, every other value (4 and above, and negative ones) -> 6.
int GoTargetLevel(std::int32_t type);
