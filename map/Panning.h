// Panning steps of the wheel, the drag and the keys: pure functions of one axis.
//
// WheelStep and DragStep return the change of the image edge (ImageMap's Left
// or Top); the scroll position moves by the opposite amount, so the image and
// the bar always move by exactly the same distance and the position stays in
// [0, max]. A result of 0 means the axis is left unchanged. KeyPanPosition
// returns the new scroll position itself, in [0, max]. The percentages give a
// bar's position as a person reads it.
#pragma once

#include <cstdint>

// One wheel notice: only the sign of wheelDelta counts. Positive moves the
// view towards the top/left by at most 5 px; zero or negative towards the
// bottom/right by at most 5 px.
std::int32_t WheelStep(std::int32_t position, std::int32_t max, int wheelDelta);

// One drag move of d px on an axis whose bar stands at position of max.
std::int32_t DragStep(std::int32_t position, std::int32_t max, std::int32_t d);

// The panning keys of the map, for one axis: back is towards the top or left.
enum class TPanKey { LineBack, LineForward, PageBack, PageForward, First, Last };

// The scroll position after a panning key on an axis whose viewport is
// `viewport` px long: a line is a tenth of the viewport, a page the viewport
// less a line, so that a strip of the old view stays in sight; First and Last
// go to 0 and max. The result is clamped into [0, max] (0 when max < 0).
std::int32_t KeyPanPosition(std::int32_t position, std::int32_t max, std::int32_t viewport, TPanKey key);

// How far across [0, max] the position stands, in whole percent, rounded
// half up and clamped into 0..100; 0 when max <= 0.
int PercentAcross(std::int32_t position, std::int32_t max);

// The position nearest to `percent` of [0, max], clamped into [0, max]; 0 for
// a percent that is not a number, and when max <= 0.
std::int32_t PositionAtPercent(double percent, std::int32_t max);
