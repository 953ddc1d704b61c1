// Places for the marker tests, and a comparison of two pictures within an
// area of them.
#pragma once

#include "Bitmap.h"
#include "Locations.h"

#include <QRect>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

// Places in a few tight clusters, one at the top-left corner, so that labels
// overlap each other and cross tile seams and the image's edges; names of
// random bytes (tabs and control characters among them, but none that would
// end a line or the data of a database file), types -1 to 5.
inline TLocList RandomPlaces(std::mt19937& random, int count)
{
    std::vector<std::pair<std::int32_t, std::int32_t>> centres{{-127000, 222000}};
    for (int i = 0; i < 5; ++i)
        centres.emplace_back(-125000 + static_cast<std::int32_t>(random() % 300000),
                             -130000 + static_cast<std::int32_t>(random() % 350000));
    TLocList places;
    for (int i = 0; i < count; ++i) {
        const auto [x, y] = centres[random() % centres.size()];
        std::string name(random() % 14, ' ');
        for (char& c : name)
            while (c == ' ' || c == '\n' || c == '\r' || c == '\x1A')
                c = static_cast<char>(1 + random() % 255);
        const std::int32_t type = static_cast<std::int32_t>(random() % 7) - 1;
        const std::int32_t dx = static_cast<std::int32_t>(random() % 9000) - 4500;
        const std::int32_t dy = static_cast<std::int32_t>(random() % 9000) - 4500;
        places.push_back({name, type, x + dx, y + dy});
    }
    return places;
}

inline ::testing::AssertionResult SameIn(const TBitmap& picture, const TBitmap& expected, QRect area)
{
    area &= QRect(0, 0, expected.Width(), expected.Height());
    for (int y = area.top(); y <= area.bottom(); ++y)
        if (std::memcmp(picture.ScanLine(y) + 3 * area.left(), expected.ScanLine(y) + 3 * area.left(),
                        3 * static_cast<std::size_t>(area.width())) != 0)
            return ::testing::AssertionFailure() << "row " << y << " differs";
    return ::testing::AssertionSuccess();
}
