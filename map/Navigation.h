// Panning steps of the wheel and the drag: pure functions of one axis.
//
// Both return the change of the image edge (ImageMap's Left or Top); the
// scroll position moves by the opposite amount, so the image and the bar
// always move by exactly the same distance and the position stays in
// [0, max]. A result of 0 means the axis is left unchanged.
#pragma once

#include <cstdint>

// One wheel notice: only the sign of wheelDelta counts. Positive moves the
// view towards the top/left by at most 5 px; zero or negative towards the
// bottom/right by at most 5 px.
std::int32_t WheelStep(std::int32_t position, std::int32_t max, int wheelDelta);

// One drag move of d px on an axis whose bar stands at position of max.
std::int32_t DragStep(std::int32_t position, std::int32_t max, std::int32_t d);

// Whether `level` draws the markers of locations of `type` (0 the most important):
// level 0 type 0; levels 1-2 type <= 1; 3-4 type <= 2; 5 type <= 3; 6 type <= 4.
bool LevelShowsType(int level, std::int32_t type);

// The level "Go" zooms to for a location of `type`: 0 -> 0, 1 -> 2, 2 -> 4,
// 3 -> 5, every other value (4 and above, and negative ones) -> 6.
int GoTargetLevel(std::int32_t type);
