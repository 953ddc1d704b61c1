// Zoom levels and map geometry: pure arithmetic, no window.
//
// ZoomScale holds the seven factors as the exact single-precision values of
// the zoom table (bits 0x3DCCCCCD ... 0x3F800000). Every product, quotient and
// difference below is formed in 80-bit extended precision (long double with a
// 64-bit significand, checked at compile time) from those single-precision
// constants, and every conversion to an integer truncates towards zero.
//
// Map points and scroll positions are signed 32-bit pixels of the displayed
// image, origin top-left, Y downwards. World points are signed 32-bit, Y upwards.
// Results that would not fit in 32 bits saturate at the int32 limits.
// A zoom level outside 0..6 throws std::out_of_range.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int ZoomLevelCount = 7;
inline constexpr int MaxZoomLevel = ZoomLevelCount - 1;

// The viewport PanelMap and its reference point, 5 px below the viewport centre.
inline constexpr std::int32_t ViewportWidth = 330;
inline constexpr std::int32_t ViewportHeight = 380;
inline constexpr std::int32_t ReferenceX = 165;
inline constexpr std::int32_t ReferenceY = 195;

// The map the world-to-pixel constants fit, at full size (level 6): world X
// -125000 .. 175000 and Y -130000 .. 220000 span it.
inline constexpr std::int32_t WorldMapWidth = 3300;
inline constexpr std::int32_t WorldMapHeight = 3800;

extern const std::array<float, ZoomLevelCount> ZoomScale;

struct TMapPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TMapPoint&, const TMapPoint&) = default;
};

// World point to map point at `level`, measured from the displayed height.
TMapPoint WorldToMap(std::int32_t worldX, std::int32_t worldY, int level, std::int32_t displayedHeight);

// Scroll positions (unclamped) that keep the map point under the reference
// point fixed across a change of level.
TMapPoint RecentreForZoom(std::int32_t oldH, std::int32_t oldV, int oldLevel, int newLevel);

// Scroll positions (unclamped) that put map point (px, py) under the reference point.
TMapPoint CenterOn(std::int32_t px, std::int32_t py);

// Scroll-bar state for a level: disabled at level 0 (maxima then not given),
// otherwise enabled with maxima imageWidth - 330 and imageHeight - 380, which
// may be negative for a small map.
struct TScrollRange {
    bool Enabled = false;
    std::int32_t MaxH = 0;
    std::int32_t MaxV = 0;
};
TScrollRange ScrollRange(std::int32_t imageWidth, std::int32_t imageHeight, int level);

// Displayed length of a master side at a level: truncate(side x ZoomScale[level]).
std::int32_t ScaledSide(std::int32_t side, int level);
