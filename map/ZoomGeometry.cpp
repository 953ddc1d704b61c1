#include "ZoomGeometry.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

// The geometry is defined in 80-bit extended arithmetic; a port to a compiler
// whose long double is narrower must supply that precision some other way.
using TExtended = long double;
static_assert(std::numeric_limits<TExtended>::digits == 64, "long double must be the 80-bit extended format");

// World-to-pixel constants, as stored in single precision.
constexpr float WorldOffsetX = 125000.0f;
constexpr float WorldOffsetY = 130000.0f;
constexpr float PixelsPerWorldX = std::bit_cast<float>(std::uint32_t{0x3C343958}); // 0.011
constexpr float PixelsPerWorldY = std::bit_cast<float>(std::uint32_t{0x3C31E228}); // 0.0108571425

std::int32_t TruncateToInt32(TExtended value)
{
    if (value >= TExtended{2147483648.0L})
        return std::numeric_limits<std::int32_t>::max();
    if (value <= TExtended{-2147483649.0L})
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int32_t SaturateToInt32(std::int64_t value)
{
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

void CheckLevel(int level)
{
    if (level < 0 || level > MaxZoomLevel)
        throw std::out_of_range("Zoom level " + std::to_string(level) + " is out of range");
}

TExtended Factor(int level)
{
    CheckLevel(level);
    return ZoomScale[static_cast<std::size_t>(level)];
}

} // namespace

constinit const std::array<float, ZoomLevelCount> ZoomScale = {
    std::bit_cast<float>(std::uint32_t{0x3DCCCCCD}), // 0.1
    std::bit_cast<float>(std::uint32_t{0x3E4CCCCD}), // 0.2
    std::bit_cast<float>(std::uint32_t{0x3E800000}), // 0.25
    std::bit_cast<float>(std::uint32_t{0x3EAAAAAB}), // 1/3, stored just above it
    std::bit_cast<float>(std::uint32_t{0x3F000000}), // 0.5
    std::bit_cast<float>(std::uint32_t{0x3F400000}), // 0.75
    std::bit_cast<float>(std::uint32_t{0x3F800000}), // 1.0
};

// The products are grouped exactly as written, left to right: (a x 0.011) x factor.
// Without -ffast-math the compiler keeps that grouping and the x87 precision.
TMapPoint WorldToMap(std::int32_t worldX, std::int32_t worldY, int level, std::int32_t displayedHeight)
{
    const TExtended factor = Factor(level);
    const TExtended ax = static_cast<TExtended>(worldX) + TExtended{WorldOffsetX};
    const TExtended ay = static_cast<TExtended>(worldY) + TExtended{WorldOffsetY};
    const TExtended px = (ax * TExtended{PixelsPerWorldX}) * factor;
    const TExtended py = static_cast<TExtended>(displayedHeight) - ((ay * TExtended{PixelsPerWorldY}) * factor);
    return {TruncateToInt32(px), TruncateToInt32(py)};
}

TMapPoint RecentreForZoom(std::int32_t oldH, std::int32_t oldV, int oldLevel, int newLevel)
{
    const TExtended from = Factor(oldLevel);
    const TExtended to = Factor(newLevel);
    const TExtended h = ((static_cast<TExtended>(oldH) + ReferenceX) / from) * to - TExtended{ReferenceX};
    const TExtended v = ((static_cast<TExtended>(oldV) + ReferenceY) / from) * to - TExtended{ReferenceY};
    return {TruncateToInt32(h), TruncateToInt32(v)};
}

TMapPoint CenterOn(std::int32_t px, std::int32_t py)
{
    return {SaturateToInt32(std::int64_t{px} - ReferenceX), SaturateToInt32(std::int64_t{py} - ReferenceY)};
}

TScrollRange ScrollRange(std::int32_t imageWidth, std::int32_t imageHeight, int level)
{
    CheckLevel(level);
    if (level == 0)
        return {};
    return {true, SaturateToInt32(std::int64_t{imageWidth} - ViewportWidth),
            SaturateToInt32(std::int64_t{imageHeight} - ViewportHeight)};
}

std::int32_t ScaledSide(std::int32_t side, int level)
{
    return TruncateToInt32(static_cast<TExtended>(side) * Factor(level));
}
