#include "Panning.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr std::int64_t WheelPixels = 5;

std::int32_t Saturate(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::int32_t WheelStep(std::int32_t position, std::int32_t max, int wheelDelta)
{
    const std::int64_t p = position;
    const std::int64_t m = max;
    if (wheelDelta > 0)
        return Saturate(std::clamp<std::int64_t>(std::min(WheelPixels, p), 0, WheelPixels));
    const std::int64_t step = p + WheelPixels > m ? m - p : WheelPixels;
    return Saturate(-std::clamp<std::int64_t>(step, 0, WheelPixels));
}

std::int32_t DragStep(std::int32_t position, std::int32_t max, std::int32_t d)
{
    const std::int64_t p = position;
    const std::int64_t m = max;
    std::int64_t step = d;
    if ((p == 0 && step > 0) || (p == m && step < 0))
        return 0;
    if (step > 0 && p - step < 0)
        step = p;
    if (step < 0 && m - p + step < 0)
        step = p - m;
    return Saturate(step);
}
