// TBitmap: the 24-bit picture of the map model.
//
// Pixels are three bytes in the order blue, green, red. Row 0 is the top row.
// Row y (0 <= y < Height()) starts at ScanLine(y); it holds 3 * Width()
// bytes of pixels followed by zero padding up to RowStride(), a multiple of 4,
// so the rows lie top-down exactly as a 24-bit DIB with a negative height.
//
// Width and height are signed 32-bit, 0 x 0 for an empty bitmap. SetSize with
// the size the bitmap already has changes nothing; any other size gives fresh
// storage whose pixel bytes are unspecified (the callers overwrite them all).
//
// Copies share their pixels until one side is written: the non-const
// ScanLine(), Bits() and SetSize() detach first, so a write to one copy never
// shows in another, and copying a 37 MB master costs nothing until then. The
// copy that detaches a bitmap of 4 MiB and more is made by two threads.
//
// Storage of 1 MiB and more is recycled: the largest freed block is kept (one
// only) and handed to the next bitmap that fits in it, which saves the page
// faults of fresh memory on every change of zoom level. Such blocks are whole
// 2 MiB pages and asked to be backed by huge pages, which makes the fresh ones
// cheap as well. The plain twins (FastPaths.h) copy on one thread and give
// every bitmap fresh memory of its own. The kept block makes a zoom to level 6
// 3.4 to 4.5 times as fast, Go 1.6 to 2.4 times and start-up 1.6 times
// (bench/machinery.sh, against KELDERWYN_PLAIN=pool).
//
// SetSize throws EInvalidGraphic for a negative side or for a size whose bytes
// would exceed MaxBitmapBytes, before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class TBitmap {
public:
    // 2 GiB: far above a 12000 x 12000 map (412 MiB) and still addressable
    // with the signed 32-bit strides of the JPEG and BMP libraries.
    static constexpr std::size_t MaxBitmapBytes = std::size_t{1} << 31;

    TBitmap() = default;
    TBitmap(std::int32_t width, std::int32_t height);

    std::int32_t Width() const { return FWidth; }
    std::int32_t Height() const { return FHeight; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    std::size_t RowStride() const { return FStride; }
    std::size_t ByteSize() const { return FStride * static_cast<std::size_t>(FHeight); }

    void SetSize(std::int32_t width, std::int32_t height);

    std::uint8_t* ScanLine(std::int32_t y);
    const std::uint8_t* ScanLine(std::int32_t y) const { return FPixels.get() + FStride * static_cast<std::size_t>(y); }
    std::uint8_t* Bits();
    const std::uint8_t* Bits() const { return FPixels.get(); }

    // Gives this bitmap storage of its own; a no-op when it has it already.
    void Detach();
    bool SharesPixelsWith(const TBitmap& other) const { return FPixels && FPixels == other.FPixels; }

    // Same size and the same pixel bytes (padding is not compared).
    friend bool operator==(const TBitmap& a, const TBitmap& b);

    // Bytes per row for a width, or 0 when the width is negative.
    static std::size_t StrideFor(std::int32_t width);
    // Whether a bitmap of that size can be held: both sides >= 0 and at most MaxBitmapBytes.
    static bool SizeFits(std::int32_t width, std::int32_t height);

private:
    void Allocate(std::int32_t width, std::int32_t height);

    std::shared_ptr<std::uint8_t[]> FPixels;
    std::int32_t FWidth = 0;
    std::int32_t FHeight = 0;
    std::size_t FStride = 0;
};
