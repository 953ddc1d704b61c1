// The point nearest to another, so that the window can say which place the
// view is near.
//
// NearestPoint returns the index in `points` of the point that lies nearest to
// `point` by straight-line distance in pixels. Of several equally near, the
// earliest wins. Squared distances are compared exactly, for every pair of
// 32-bit points. Returns std::nullopt for no points; throws nothing.
#pragma once

#include "ZoomGeometry.h"

#include <cstddef>
#include <optional>
#include <span>

std::optional<std::size_t> NearestPoint(std::span<const TMapPoint> points, TMapPoint point);
