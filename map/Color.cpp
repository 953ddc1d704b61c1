#include "Color.h"

#include "ColorKernels.h"
#include "CpuFeatures.h"
#include "FastPaths.h"
#include "TwoHalves.h"
#include "ZoomGeometry.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

using TByte = std::uint8_t;

inline TByte Avg2(unsigned p, unsigned q)
{
    return static_cast<TByte>((p + q) >> 1);
}

inline TByte Avg4(unsigned p, unsigned q, unsigned s, unsigned t)
{
    return static_cast<TByte>((p + q + s + t) >> 2);
}

// The plain rows: each writes the 3 * w bytes of one destination row, byte
// by byte, as the rule of its level reads.

// Levels 0-3: the top-left pixel of every n x n block.
template <int N>
void TakeEveryNthRow(const TByte* s, TByte* d, std::size_t w)
{
    for (std::size_t x = 0; x < w; ++x, s += 3 * N, d += 3)
        std::memcpy(d, s, 3);
}

// Level 4: each byte the floor of the mean of its 2 x 2 block.
void AverageHalfRow(const TByte* a, const TByte* b, TByte* d, std::size_t w)
{
    for (std::size_t x = 0; x < w; ++x, a += 6, b += 6, d += 3)
        for (int c = 0; c < 3; ++c)
            d[c] = Avg4(a[c], a[c + 3], b[c], b[c + 3]);
}

// Level 5, destination rows 3k and 3k+2 from source row 4k or 4k+3: per block
// of four source pixels the first, the mean of the middle two, the last. The
// destination pixels past the last whole block (w - x is 1 or 2) take the
// leading part of the same pattern.
void ThreeQuarterOuterRow(const TByte* s, TByte* d, std::size_t w)
{
    std::size_t x = 0;
    for (; x + 3 <= w; x += 3, s += 12, d += 9)
        for (int c = 0; c < 3; ++c) {
            d[c] = s[c];
            d[3 + c] = Avg2(s[3 + c], s[6 + c]);
            d[6 + c] = s[9 + c];
        }
    for (std::size_t c = 0; c < 3 * (w - x); ++c)
        d[c] = c < 3 ? s[c] : Avg2(s[c], s[c + 3]);
}

// Level 5, destination row 3k+1 from source rows 4k+1 and 4k+2: the same
// pattern on the vertical means, the centre one sum of four.
void ThreeQuarterMiddleRow(const TByte* a, const TByte* b, TByte* d, std::size_t w)
{
    std::size_t x = 0;
    for (; x + 3 <= w; x += 3, a += 12, b += 12, d += 9)
        for (int c = 0; c < 3; ++c) {
            d[c] = Avg2(a[c], b[c]);
            d[3 + c] = Avg4(a[3 + c], a[6 + c], b[3 + c], b[6 + c]);
            d[6 + c] = Avg2(a[9 + c], b[9 + c]);
        }
    for (std::size_t c = 0; c < 3 * (w - x); ++c)
        d[c] = c < 3 ? Avg2(a[c], b[c]) : Avg4(a[c], a[c + 3], b[c], b[c + 3]);
}

// The fast rows: the vector kernels (ColorKernels.h) write most of a row,
// the widest the processor has first, and the plain row finishes it. Levels
// 0-3 move each pixel but a row's last as four bytes, one load and one store
// instead of three of each; the fourth byte lies inside the row and the next
// pixel overwrites it.
template <int N>
void TakeEveryNthRowFast(const TByte* s, TByte* d, std::size_t w)
{
    if (w == 0)
        return;
    for (std::size_t x = 1; x < w; ++x, s += 3 * N, d += 3)
        std::memcpy(d, s, 4);
    std::memcpy(d, s, 3);
}

void AverageHalfRowFast(const TByte* a, const TByte* b, TByte* d, std::size_t w)
{
    std::size_t x = 0;
#ifdef KELDERWYN_X86_KERNELS
    if (HasAvx2())
        x = AverageHalfAvx2(a, b, d, w);
    if (HasSsse3())
        x += AverageHalfSsse3(a + 6 * x, b + 6 * x, d + 3 * x, w - x);
#endif
    AverageHalfRow(a + 6 * x, b + 6 * x, d + 3 * x, w - x);
}

void ThreeQuarterOuterRowFast(const TByte* s, TByte* d, std::size_t w)
{
    std::size_t x = 0;
#ifdef KELDERWYN_X86_KERNELS
    if (HasAvx2())
        x = ThreeQuarterOuterAvx2(s, d, w);
    if (HasSsse3())
        x += ThreeQuarterOuterSsse3(s + 4 * x, d + 3 * x, w - x);
#endif
    ThreeQuarterOuterRow(s + 4 * x, d + 3 * x, w - x);
}

void ThreeQuarterMiddleRowFast(const TByte* a, const TByte* b, TByte* d, std::size_t w)
{
    std::size_t x = 0;
#ifdef KELDERWYN_X86_KERNELS
    if (HasAvx2())
        x = ThreeQuarterMiddleAvx2(a, b, d, w);
    if (HasSsse3())
        x += ThreeQuarterMiddleSsse3(a + 4 * x, b + 4 * x, d + 3 * x, w - x);
#endif
    ThreeQuarterMiddleRow(a + 4 * x, b + 4 * x, d + 3 * x, w - x);
}

// The row routines of one call of ScaleMap, chosen in this one place.
struct TRowRoutines {
    void (*Every[4])(const TByte*, TByte*, std::size_t);
    void (*AverageHalf)(const TByte*, const TByte*, TByte*, std::size_t);
    void (*ThreeQuarterOuter)(const TByte*, TByte*, std::size_t);
    void (*ThreeQuarterMiddle)(const TByte*, const TByte*, TByte*, std::size_t);
};

constexpr TRowRoutines PlainRows{{TakeEveryNthRow<10>, TakeEveryNthRow<5>, TakeEveryNthRow<4>, TakeEveryNthRow<3>},
                                 AverageHalfRow,
                                 ThreeQuarterOuterRow,
                                 ThreeQuarterMiddleRow};
constexpr TRowRoutines FastRows{{TakeEveryNthRowFast<10>, TakeEveryNthRowFast<5>, TakeEveryNthRowFast<4>,
                                 TakeEveryNthRowFast<3>},
                                AverageHalfRowFast,
                                ThreeQuarterOuterRowFast,
                                ThreeQuarterMiddleRowFast};

// Destination rows, or at level 5 blocks of three rows, from First to Last.
struct TRows {
    std::int32_t First;
    std::int32_t Last;
};

// A view of a million pixels and more is filled by two threads, half its
// rows each (TwoHalves.h); they only read the master.
constexpr std::int64_t TwoThreadPixels = std::int64_t{1} << 20;

template <typename TFill>
void FillRows(TBitmap& view, std::int32_t count, TFill fill)
{
    const bool split = static_cast<std::int64_t>(view.Width()) * view.Height() >= TwoThreadPixels;
    // Unshared before the threads start, so that neither copies the pixels.
    static_cast<void>(view.Bits());
    InTwoHalves(static_cast<std::size_t>(count), split, [&fill](std::size_t first, std::size_t last) {
        fill(TRows{static_cast<std::int32_t>(first), static_cast<std::int32_t>(last)});
    });
}

// Levels 0-3: destination row y from source row n * y.
void TakeEveryNth(const TRowRoutines& routines, int level, const TBitmap& master, TBitmap& view, TRows rows)
{
    static constexpr std::int32_t Step[4] = {10, 5, 4, 3};
    const auto w = static_cast<std::size_t>(view.Width());
    for (std::int32_t y = rows.First; y < rows.Last; ++y)
        routines.Every[level](master.ScanLine(Step[level] * y), view.ScanLine(y), w);
}

// Level 4: destination row y from source rows 2y and 2y+1.
void AverageHalf(const TRowRoutines& routines, const TBitmap& master, TBitmap& view, TRows rows)
{
    const auto w = static_cast<std::size_t>(view.Width());
    for (std::int32_t y = rows.First; y < rows.Last; ++y)
        routines.AverageHalf(master.ScanLine(2 * y), master.ScanLine(2 * y + 1), view.ScanLine(y), w);
}

// Level 5: every 4 x 4 block of the master becomes a 3 x 3 block. Where the
// master's width (height) leaves 2 or 3 when divided by 4, the last partial
// block keeps the leading one or two columns (rows) of the same pattern: the
// plain copy of source column 4g, then the mean of columns 4g+1 and 4g+2. Only
// the dropped third column (row) would need source column (row) 4g+3, which
// does not exist, so every read stays inside the master and every write inside
// the view, and no extra rule is needed.
void ThreeQuarters(const TRowRoutines& routines, const TBitmap& master, TBitmap& view, TRows blocks)
{
    const auto w = static_cast<std::size_t>(view.Width());
    const std::int32_t h = view.Height();
    for (std::int32_t k = blocks.First; k < blocks.Last; ++k) {
        const std::int32_t top = 3 * k;
        const std::int32_t source = 4 * k;
        routines.ThreeQuarterOuter(master.ScanLine(source), view.ScanLine(top), w);
        if (top + 1 < h)
            routines.ThreeQuarterMiddle(master.ScanLine(source + 1), master.ScanLine(source + 2),
                                        view.ScanLine(top + 1), w);
        if (top + 2 < h)
            routines.ThreeQuarterOuter(master.ScanLine(source + 3), view.ScanLine(top + 2), w);
    }
}

} // namespace

void ScaleMap(int level, const TBitmap& master, TBitmap& view)
{
    // A second handle on the master's pixels: resizing `view` cannot release
    // them even when the caller passes the same bitmap twice.
    const TBitmap source = master;
    const std::int32_t w = ScaledSide(source.Width(), level);
    const std::int32_t h = ScaledSide(source.Height(), level);
    view.SetSize(w, h);
    const TRowRoutines& routines = UseFastPath(TFastPath::Kernels) ? FastRows : PlainRows;
    if (level >= 0 && level <= 3)
        FillRows(view, h, [&](TRows rows) { TakeEveryNth(routines, level, source, view, rows); });
    else if (level == 4)
        FillRows(view, h, [&](TRows rows) { AverageHalf(routines, source, view, rows); });
    else if (level == 5)
        FillRows(view, (h + 2) / 3, [&](TRows blocks) { ThreeQuarters(routines, source, view, blocks); });
}
