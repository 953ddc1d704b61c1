#include "Color.h"

#include "ZoomGeometry.h"

#include <cstddef>
#include <cstdint>

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

// Levels 0-3: the top-left pixel of every n x n block.
template <int N>
void TakeEveryNth(const TBitmap& master, TBitmap& view)
{
    const std::int32_t w = view.Width();
    for (std::int32_t y = 0; y < view.Height(); ++y) {
        const TByte* s = master.ScanLine(N * y);
        TByte* d = view.ScanLine(y);
        for (std::int32_t x = 0; x < w; ++x, s += 3 * N, d += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

// Level 4: each byte the floor of the mean of its 2 x 2 block.
void AverageHalf(const TBitmap& master, TBitmap& view)
{
    const std::size_t bytes = static_cast<std::size_t>(view.Width()) * 3;
    for (std::int32_t y = 0; y < view.Height(); ++y) {
        const TByte* a = master.ScanLine(2 * y);
        const TByte* b = master.ScanLine(2 * y + 1);
        TByte* d = view.ScanLine(y);
        for (std::size_t i = 0; i < bytes; i += 3, a += 6, b += 6)
            for (int c = 0; c < 3; ++c)
                d[i + c] = Avg4(a[c], a[c + 3], b[c], b[c + 3]);
    }
}

// Level 5, destination rows 3k and 3k+2 from source row 4k or 4k+3: per block
// of four source pixels the first, the mean of the middle two, the last.
void ThreeQuarterOuterRow(const TByte* s, TByte* d, std::int32_t w)
{
    std::int32_t x = 0;
    for (; x + 3 <= w; x += 3, s += 12, d += 9)
        for (int c = 0; c < 3; ++c) {
            d[c] = s[c];
            d[3 + c] = Avg2(s[3 + c], s[6 + c]);
            d[6 + c] = s[9 + c];
        }
    for (int c = 0; c < 3 * (w - x); ++c)
        d[c] = c < 3 ? s[c] : Avg2(s[c], s[c + 3]);
}

// Level 5, destination row 3k+1 from source rows 4k+1 and 4k+2: the same
// pattern on the vertical means, the centre one sum of four.
void ThreeQuarterMiddleRow(const TByte* a, const TByte* b, TByte* d, std::int32_t w)
{
    std::int32_t x = 0;
    for (; x + 3 <= w; x += 3, a += 12, b += 12, d += 9)
        for (int c = 0; c < 3; ++c) {
            d[c] = Avg2(a[c], b[c]);
            d[3 + c] = Avg4(a[3 + c], a[6 + c], b[3 + c], b[6 + c]);
            d[6 + c] = Avg2(a[9 + c], b[9 + c]);
        }
    for (int c = 0; c < 3 * (w - x); ++c)
        d[c] = c < 3 ? Avg2(a[c], b[c]) : Avg4(a[c], a[c + 3], b[c], b[c + 3]);
}

// Level 5: every 4 x 4 block of the master becomes a 3 x 3 block. Where the
// master's width (height) leaves 2 or 3 when divided by 4, the last partial
// block keeps the leading one or two columns (rows) of the same pattern: the
// plain copy of source column 4g, then the mean of columns 4g+1 and 4g+2. Only
// the dropped third column (row) would need source column (row) 4g+3, which
// does not exist, so every read stays inside the master and every write inside
// the view, and no extra rule is needed.
void ThreeQuarters(const TBitmap& master, TBitmap& view)
{
    const std::int32_t w = view.Width();
    const std::int32_t h = view.Height();
    for (std::int32_t k = 0; 3 * k < h; ++k) {
        const std::int32_t top = 3 * k;
        const std::int32_t source = 4 * k;
        ThreeQuarterOuterRow(master.ScanLine(source), view.ScanLine(top), w);
        if (top + 1 < h)
            ThreeQuarterMiddleRow(master.ScanLine(source + 1), master.ScanLine(source + 2), view.ScanLine(top + 1), w);
        if (top + 2 < h)
            ThreeQuarterOuterRow(master.ScanLine(source + 3), view.ScanLine(top + 2), w);
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
    switch (level) {
    case 0:
        TakeEveryNth<10>(source, view);
        break;
    case 1:
        TakeEveryNth<5>(source, view);
        break;
    case 2:
        TakeEveryNth<4>(source, view);
        break;
    case 3:
        TakeEveryNth<3>(source, view);
        break;
    case 4:
        AverageHalf(source, view);
        break;
    case 5:
        ThreeQuarters(source, view);
        break;
    default:
        break;
    }
}
