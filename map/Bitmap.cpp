#include "Bitmap.h"

#include "Errors.h"
#include "FastPaths.h"
#include "HugePages.h"
#include "TwoHalves.h"

#include <cstring>
#include <mutex>
#include <string>
#include <utility>

namespace {

// A detaching copy of 4 MiB and more is made by two threads.
constexpr std::size_t TwoThreadCopyBytes = std::size_t{4} << 20;

// One freed pixel block of 1 MiB and more is kept for the next bitmap that
// fits in it. A fresh block of 37 MB costs more in page faults than copying
// the whole map into it, and every change of zoom level frees one view and
// builds the next; a view never needs more than the master's size, so the
// one block that served the largest view serves every later one. Keeping
// only one bounds what the pool holds to the size of one view.
class TBlockPool {
public:
    std::shared_ptr<std::uint8_t[]> Acquire(std::size_t bytes)
    {
        if (bytes < MinBytes || !UseFastPath(TFastPath::Pool))
            return std::make_shared_for_overwrite<std::uint8_t[]>(bytes);
        TBlock block = Take(bytes);
        if (!block.Data) {
            const std::size_t capacity = BlockCapacity(bytes);
            block = {NewBlock(capacity), capacity};
        }
        return {block.Data, [capacity = block.Capacity](std::uint8_t* data) { Pool().Release({data, capacity}); }};
    }

    // Never destroyed, so bitmaps that outlive static destruction still find it.
    static TBlockPool& Pool()
    {
        static TBlockPool* pool = new TBlockPool;
        return *pool;
    }

private:
    struct TBlock {
        std::uint8_t* Data = nullptr;
        std::size_t Capacity = 0;
    };

    static constexpr std::size_t MinBytes = HugePageMinBytes;

    // Blocks are whole huge pages: one page fault per 2 MiB instead of one
    // per 4 KiB takes most of the cost of fresh memory away.
    static std::size_t BlockCapacity(std::size_t bytes) { return HugePageCapacity(bytes); }
    static std::uint8_t* NewBlock(std::size_t capacity) { return static_cast<std::uint8_t*>(NewHugePages(capacity)); }

    static void Free(const TBlock& block)
    {
        if (block.Data)
            DeleteHugePages(block.Data);
    }

    // The kept block when it holds `bytes`. One too small is freed: the fresh
    // block that replaces it will be kept instead.
    TBlock Take(std::size_t bytes)
    {
        TBlock block;
        {
            const std::lock_guard lock(FLock);
            std::swap(block, FKept);
        }
        if (block.Capacity >= bytes)
            return block;
        Free(block);
        return {};
    }

    // Keeps the larger of the released and the kept block.
    void Release(TBlock block)
    {
        {
            const std::lock_guard lock(FLock);
            if (block.Capacity > FKept.Capacity)
                std::swap(block, FKept);
        }
        Free(block);
    }

    std::mutex FLock;
    TBlock FKept;
};

} // namespace

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
        pixels = TBlockPool::Pool().Acquire(bytes);
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
    auto own = TBlockPool::Pool().Acquire(ByteSize());
    std::uint8_t* to = own.get();
    const std::uint8_t* from = FPixels.get();
    InTwoHalves(ByteSize(), ByteSize() >= TwoThreadCopyBytes,
                [to, from](std::size_t first, std::size_t last) { std::memcpy(to + first, from + first, last - first); });
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
