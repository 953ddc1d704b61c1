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
