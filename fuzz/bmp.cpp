// DecodeBmp on arbitrary bytes: it either refuses them with EInvalidGraphic
// or gives a bitmap whose pixels are the file's rows, with zero padding.
#include "BmpFile.h"
#include "Errors.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

std::uint32_t Get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TBitmap bitmap;
    try {
        bitmap = DecodeBmp(data, size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    // Accepted: the headers were there, and every row lies inside the data.
    Check(size >= 26);
    const std::uint32_t offset = Get32(data + 10);
    const auto height = static_cast<std::int32_t>(Get32(data + 22));
    const std::size_t stride = bitmap.RowStride();
    const std::size_t used = static_cast<std::size_t>(bitmap.Width()) * 3;
    if (bitmap.Empty())
        return 0;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y) {
        const std::int32_t fileRow = height < 0 ? y : bitmap.Height() - 1 - y;
        const std::size_t at = offset + stride * static_cast<std::size_t>(fileRow);
        Check(at + stride <= size);
        const std::uint8_t* row = std::as_const(bitmap).ScanLine(y);
        Check(std::memcmp(row, data + at, used) == 0);
        for (std::size_t i = used; i < stride; ++i)
            Check(row[i] == 0);
    }
    return 0;
}
