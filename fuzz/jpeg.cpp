// The JPEG decoder on arbitrary bytes: the header is parsed and the image
// decoded, or it is refused with EJPEG. A decode gives a bitmap of the size
// the header stated; a refused decode leaves the bitmap it was given as it
// was. Images above MaxFuzzPixels are only parsed: their decode is bounded by
// the decoder's limits but would take too long for each input of a fuzz run.
#include "Errors.h"
#include "JpegImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::uint64_t MaxFuzzPixels = std::uint64_t{1} << 22;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TJPEGImage image;
    try {
        image.LoadFromMemory(data, size);
    } catch (const EJPEG&) {
        Check(image.Empty());
        return 0;
    }
    Check(!image.Empty() && image.Width() > 0 && image.Height() > 0);
    if (static_cast<std::uint64_t>(image.Width()) * static_cast<std::uint64_t>(image.Height()) > MaxFuzzPixels)
        return 0;

    TBitmap bitmap(1, 1);
    bitmap.ScanLine(0)[0] = 0x5A;
    try {
        image.DecodeInto(bitmap);
    } catch (const EJPEG&) {
        Check(bitmap.Width() == 1 && bitmap.Height() == 1 && bitmap.ScanLine(0)[0] == 0x5A);
        return 0;
    }
    Check(bitmap.Width() == image.Width() && bitmap.Height() == image.Height());
    return 0;
}
