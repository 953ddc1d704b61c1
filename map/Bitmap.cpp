#include "Bitmap.h"

#include "Errors.h"

#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

// Freed pixel blocks of 1 MiB and more are kept for the next bitmap of a
// similar size. A fresh block of 37 MB costs more in page faults than copying
// the whole map into it, and every change of zoom level frees one view and
// builds the next.
class TBlockPool {
public:
    std::shared_ptr<std::uint8_t[]> Acquire(std::size_t bytes)
    {
        if (bytes < MinBytes)
            return std::make_shared_for_overwrite<std::uint8_t[]>(bytes);
        TBlock block = Take(bytes);
        if (!block.Data) {
            const std::size_t capacity = BlockCapacity(bytes);
            block = {NewBlock(capacity), capacity};
        }
        return {block.Data, [capacity = block.Capacity](std::uint8_t* data) { Pool().Release(data, capacity); }};
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

    static constexpr std::size_t MinBytes = std::size_t{1} << 20;
    static constexpr std::size_t HugePageBytes = std::size_t{2} << 20;
    static constexpr std::align_val_t BlockAlignment{HugePageBytes};
    static constexpr std::size_t MaxBlocks = 4;
    static constexpr std::size_t MaxBytes = std::size_t{128} << 20;

    // The smallest kept block that holds `bytes` without wasting more than half of itself.
    TBlock Take(std::size_t bytes)
    {
        const std::lock_guard lock(FLock);
        auto best = FFree.end();
        for (auto it = FFree.begin(); it != FFree.end(); ++it)
            if (it->Capacity >= bytes && it->Capacity / 2 <= bytes &&
                (best == FFree.end() || it->Capacity < best->Capacity))
                best = it;
        if (best == FFree.end())
            return {};
        const TBlock block = *best;
        FFree.erase(best);
        FFreeBytes -= block.Capacity;
        return block;
    }

    // Blocks are whole 2 MiB pages, so that the system can back them with
    // huge pages: one page fault per 2 MiB instead of one per 4 KiB takes most
    // of the cost of fresh memory away.
    static std::size_t BlockCapacity(std::size_t bytes) { return (bytes + HugePageBytes - 1) & ~(HugePageBytes - 1); }

    static std::uint8_t* Allocate(std::size_t capacity)
    {
        void* data = ::operator new(capacity, BlockAlignment, std::nothrow);
#ifdef MADV_HUGEPAGE
        if (data)
            ::madvise(data, capacity, MADV_HUGEPAGE);
#endif
        return static_cast<std::uint8_t*>(data);
    }

    static void Free(std::uint8_t* data) { ::operator delete(data, BlockAlignment); }

    std::uint8_t* NewBlock(std::size_t capacity)
    {
        if (auto* data = Allocate(capacity))
            return data;
        Clear();
        if (auto* data = Allocate(capacity))
            return data;
        throw std::bad_alloc();
    }

    void Release(std::uint8_t* data, std::size_t capacity)
    {
        std::vector<std::uint8_t*> evicted;
        {
            const std::lock_guard lock(FLock);
            if (capacity > MaxBytes) {
                evicted.push_back(data);
            } else {
                FFree.push_back({data, capacity});
                FFreeBytes += capacity;
            }
            while (FFree.size() > MaxBlocks || FFreeBytes > MaxBytes) {
                evicted.push_back(FFree.front().Data);
                FFreeBytes -= FFree.front().Capacity;
                FFree.erase(FFree.begin());
            }
        }
        for (std::uint8_t* block : evicted)
            Free(block);
    }

    void Clear()
    {
        std::vector<TBlock> kept;
        {
            const std::lock_guard lock(FLock);
            kept.swap(FFree);
            FFreeBytes = 0;
        }
        for (const TBlock& block : kept)
            Free(block.Data);
    }

    std::mutex FLock;
    std::vector<TBlock> FFree; // oldest first
    std::size_t FFreeBytes = 0;
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
