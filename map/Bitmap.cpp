#include "Bitmap.h"

#include "Errors.h"

#include <cstring>
#include <string>

TBitmap::TBitmap(std::int32_t width, std::int32_t height)
{
    SetSize(width, height);
}

std::size_t TBitmap::StrideFor(std::int32_t width)
{
    if (width < 0)
        return 0;
    return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

bool TBitmap::SizeFits(std::int32_t width, std::int32_t height)
{
    if (width < 0 || height < 0)
        return false;
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(StrideFor(width), static_cast<std::size_t>(height), &bytes))
        return false;
    return bytes <= MaxBitmapBytes;
}

void TBitmap::SetSize(std::int32_t width, std::int32_t height)
{
    if (width == FWidth && height == FHeight)
        return;
    if (!SizeFits(width, height))
        throw EInvalidGraphic("Bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                              " is out of range");
    Allocate(width, height);
}

void TBitmap::Allocate(std::int32_t width, std::int32_t height)
{
    const std::size_t stride = StrideFor(width);
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    std::shared_ptr<std::uint8_t[]> pixels;
    if (bytes > 0) {
        pixels = std::make_shared_for_overwrite<std::uint8_t[]>(bytes);
        const std::size_t used = static_cast<std::size_t>(width) * 3;
        if (stride > used)
            for (std::int32_t y = 0; y < height; ++y)
                std::memset(pixels.get() + stride * static_cast<std::size_t>(y) + used, 0, stride - used);
    }
    FPixels = std::move(pixels);
    FWidth = width;
    FHeight = height;
    FStride = stride;
}

void TBitmap::Detach()
{
    if (!FPixels || FPixels.use_count() == 1)
        return;
    auto own = std::make_shared_for_overwrite<std::uint8_t[]>(ByteSize());
    std::memcpy(own.get(), FPixels.get(), ByteSize());
    FPixels = std::move(own);
}

std::uint8_t* TBitmap::ScanLine(std::int32_t y)
{
    Detach();
    return FPixels.get() + FStride * static_cast<std::size_t>(y);
}

std::uint8_t* TBitmap::Bits()
{
    Detach();
    return FPixels.get();
}

bool operator==(const TBitmap& a, const TBitmap& b)
{
    if (a.FWidth != b.FWidth || a.FHeight != b.FHeight)
        return false;
    if (a.FPixels == b.FPixels)
        return true;
    const std::size_t used = static_cast<std::size_t>(a.FWidth) * 3;
    for (std::int32_t y = 0; y < a.FHeight; ++y)
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), used) != 0)
            return false;
    return true;
}
