#include "Panning.h"

#include <algorithm>
#include <cmath>
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

std::int32_t KeyPanPosition(std::int32_t position, std::int32_t max, std::int32_t viewport, TPanKey key)
{
    const std::int64_t line = std::max<std::int64_t>(viewport / 10, 1);
    const std::int64_t page = std::max<std::int64_t>(viewport - line, 1);
    std::int64_t target = position;
    switch (key) {
    case TPanKey::LineBack: target -= line; break;
    case TPanKey::LineForward: target += line; break;
    case TPanKey::PageBack: target -= page; break;
    case TPanKey::PageForward: target += page; break;
    case TPanKey::First: target = 0; break;
    case TPanKey::Last: target = max; break;
    }
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(target, 0, std::max<std::int64_t>(max, 0)));
}

int PercentAcross(std::int32_t position, std::int32_t max)
{
    if (max <= 0)
        return 0;
    const std::int64_t p = std::clamp<std::int64_t>(position, 0, max);
    return static_cast<int>((200 * p + max) / (2 * std::int64_t{max}));
}

std::int32_t PositionAtPercent(double percent, std::int32_t max)
{
    if (max <= 0 || !(percent > 0))
        return 0;
    if (percent >= 100)
        return max;
    return static_cast<std::int32_t>(std::lround(percent * max / 100));
}
