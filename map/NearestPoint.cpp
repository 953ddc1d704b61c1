#include "NearestPoint.h"

#include <compare>
#include <cstdint>

namespace {

// A squared distance of two 32-bit points needs 65 bits: each square fits in
// 64, their sum keeps the carry.
struct TSquaredDistance {
    bool Carry = false;
    std::uint64_t Low = 0;
    auto operator<=>(const TSquaredDistance&) const = default;
};

std::uint64_t Square(std::int32_t a, std::int32_t b)
{
    const std::uint64_t difference = a > b ? static_cast<std::uint64_t>(std::int64_t{a} - b)
                                           : static_cast<std::uint64_t>(std::int64_t{b} - a);
    return difference * difference;
}

TSquaredDistance SquaredDistance(TMapPoint a, TMapPoint b)
{
    const std::uint64_t x = Square(a.X, b.X);
    const std::uint64_t sum = x + Square(a.Y, b.Y);
    return {sum < x, sum};
}

} // namespace

std::optional<std::size_t> NearestPoint(std::span<const TMapPoint> points, TMapPoint point)
{
    std::optional<std::size_t> nearest;
    TSquaredDistance nearestDistance;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TSquaredDistance distance = SquaredDistance(points[i], point);
        if (!nearest || distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}
