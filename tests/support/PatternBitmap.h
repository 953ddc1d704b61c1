// A bitmap in which every pixel differs from its neighbours, so that a wrong
// source pixel or a stray write shows.
#pragma once

#include "Bitmap.h"

#include <cstdint>

inline TBitmap PatternBitmap(std::int32_t width, std::int32_t height)
{
    TBitmap bitmap(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (std::int32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(x);
            row[3 * x + 1] = static_cast<std::uint8_t>(y);
            row[3 * x + 2] = static_cast<std::uint8_t>((x >> 8) + 16 * (y >> 8));
        }
    }
    return bitmap;
}
