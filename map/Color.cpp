#include "Color.h"

#include "TwoHalves.h"
#include "ZoomGeometry.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define KELDERWYN_SSSE3 1
#include <immintrin.h>
#endif

// Every row routine below writes 3 * w bytes of one destination row. The
// vector kernels produce a prefix of the row in whole blocks (they report how
// many destination pixels they wrote): the AVX2 kernel first, where the
// processor has it, then the SSSE3 kernel from there, and the plain loops
// finish the row. On a processor without SSSE3 the plain loops do the whole
// row.

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

#ifdef KELDERWYN_SSSE3

bool HasSsse3()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

bool HasAvx2()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}

// Each step stores 16 bytes of which it means 9; the next step or the plain
// loop overwrites the rest, so a kernel stops while 16 bytes still fit in the row.
constexpr std::size_t StoreBytes = 16;

// Floor of the per-byte mean of two: pavgb rounds up, so take back the odd bit.
__attribute__((target("ssse3"))) inline __m128i FloorAverage(__m128i p, __m128i q)
{
    return _mm_sub_epi8(_mm_avg_epu8(p, q), _mm_and_si128(_mm_xor_si128(p, q), _mm_set1_epi8(1)));
}

// Level 4: the sums of four of two blocks, as words, from a 16-byte window of
// each row. The shuffle lines up the bytes of horizontally neighbouring
// pixels (c and c+3) and maddubs adds each such pair into a word; words 6 and
// 7 are empty.
__attribute__((target("ssse3"))) inline __m128i QuarterSums(const TByte* a, const TByte* b)
{
    const __m128i pairs = _mm_setr_epi8(0, 3, 1, 4, 2, 5, 6, 9, 7, 10, 8, 11, -1, -1, -1, -1);
    const __m128i ones = _mm_set1_epi8(1);
    const __m128i top = _mm_maddubs_epi16(_mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)), pairs), ones);
    const __m128i bottom =
        _mm_maddubs_epi16(_mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b)), pairs), ones);
    return _mm_srli_epi16(_mm_add_epi16(top, bottom), 2);
}

// Level 4, four destination pixels per step: two windows 12 bytes apart make
// one pack, and the last shuffle drops their empty words.
__attribute__((target("ssse3"))) std::size_t AverageHalfSsse3(const TByte* a, const TByte* b, TByte* d,
                                                               std::size_t w)
{
    const __m128i keep = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, -1, -1, -1, -1);
    std::size_t x = 0;
    // The second window reads 28 bytes from the step's first block, the store
    // writes 16.
    for (; x + 6 <= w; x += 4, a += 24, b += 24, d += 12) {
        const __m128i means = _mm_packus_epi16(QuarterSums(a, b), QuarterSums(a + 12, b + 12));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_shuffle_epi8(means, keep));
    }
    return x;
}

// Two 16-byte windows, the second `apart` bytes after the first, as the low
// and the high lane.
__attribute__((target("avx2"))) inline __m256i LoadWindows(const TByte* p, std::size_t apart)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + apart)), 1);
}

// Stores the first 9 or 12 bytes of each lane one after the other; the two
// stores write 16 bytes each.
__attribute__((target("avx2"))) inline void StoreLanes(TByte* d, std::size_t apart, __m256i lanes)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(lanes));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + apart), _mm256_extracti128_si256(lanes, 1));
}

// Level 4 with AVX2, eight destination pixels per step: each 128-bit lane
// does what one step above does, the high lane 24 bytes further on.
__attribute__((target("avx2"))) inline __m256i QuarterSums2(const TByte* a, const TByte* b)
{
    const __m256i pairs = _mm256_setr_epi8(0, 3, 1, 4, 2, 5, 6, 9, 7, 10, 8, 11, -1, -1, -1, -1, 0, 3, 1, 4, 2, 5, 6,
                                           9, 7, 10, 8, 11, -1, -1, -1, -1);
    const __m256i ones = _mm256_set1_epi8(1);
    const __m256i top = _mm256_maddubs_epi16(_mm256_shuffle_epi8(LoadWindows(a, 24), pairs), ones);
    const __m256i bottom = _mm256_maddubs_epi16(_mm256_shuffle_epi8(LoadWindows(b, 24), pairs), ones);
    return _mm256_srli_epi16(_mm256_add_epi16(top, bottom), 2);
}

__attribute__((target("avx2"))) std::size_t AverageHalfAvx2(const TByte* a, const TByte* b, TByte* d, std::size_t w)
{
    const __m256i keep = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, -1, -1, -1, -1, 0, 1, 2, 3, 4, 5,
                                          8, 9, 10, 11, 12, 13, -1, -1, -1, -1);
    std::size_t x = 0;
    // The last window reads 52 bytes from the step's first block, the second
    // store ends 28 bytes after the step's first destination byte.
    for (; x + 10 <= w; x += 8, a += 48, b += 48, d += 24) {
        const __m256i means =
            _mm256_shuffle_epi8(_mm256_packus_epi16(QuarterSums2(a, b), QuarterSums2(a + 12, b + 12)), keep);
        StoreLanes(d, 12, means);
    }
    return x;
}

// Level 5 outer rows, one 4 x 4 block per step: source bytes 0-2, the mean of
// bytes 3-5 and 6-8, bytes 9-11.
__attribute__((target("ssse3"))) std::size_t ThreeQuarterOuterSsse3(const TByte* s, TByte* d, std::size_t w)
{
    const __m128i ends = _mm_setr_epi8(0, 1, 2, -1, -1, -1, 9, 10, 11, -1, -1, -1, -1, -1, -1, -1);
    const __m128i middle = _mm_setr_epi8(-1, -1, -1, 3, 4, 5, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    std::size_t x = 0;
    for (; 3 * x + StoreBytes <= 3 * w; x += 3, s += 12, d += 9) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3));
        const __m128i out = _mm_or_si128(_mm_shuffle_epi8(p, ends), _mm_shuffle_epi8(FloorAverage(p, q), middle));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), out);
    }
    return x;
}

// Level 5 middle rows: the vertical means of source bytes 0-2 and 9-11, and
// one sum of four over bytes 3-8 of both rows for the centre.
__attribute__((target("ssse3"))) std::size_t ThreeQuarterMiddleSsse3(const TByte* a, const TByte* b, TByte* d,
                                                                      std::size_t w)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i ends = _mm_setr_epi8(0, 1, 2, -1, -1, -1, 9, 10, 11, -1, -1, -1, -1, -1, -1, -1);
    const __m128i middle = _mm_setr_epi8(-1, -1, -1, 3, 4, 5, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    std::size_t x = 0;
    for (; 3 * x + StoreBytes <= 3 * w; x += 3, a += 12, b += 12, d += 9) {
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 3));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 3));
        const __m128i sums = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(a0, zero), _mm_unpacklo_epi8(a1, zero)),
                                           _mm_add_epi16(_mm_unpacklo_epi8(b0, zero), _mm_unpacklo_epi8(b1, zero)));
        const __m128i centre = _mm_packus_epi16(_mm_srli_epi16(sums, 2), zero);
        const __m128i out =
            _mm_or_si128(_mm_shuffle_epi8(FloorAverage(a0, b0), ends), _mm_shuffle_epi8(centre, middle));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), out);
    }
    return x;
}

// Level 5 with AVX2, two 4 x 4 blocks per step, one per lane, as the SSSE3
// kernels below do one.
__attribute__((target("avx2"))) inline __m256i FloorAverage2(__m256i p, __m256i q)
{
    return _mm256_sub_epi8(_mm256_avg_epu8(p, q), _mm256_and_si256(_mm256_xor_si256(p, q), _mm256_set1_epi8(1)));
}

__attribute__((target("avx2"))) inline __m256i ThreeQuarterEnds()
{
    return _mm256_setr_epi8(0, 1, 2, -1, -1, -1, 9, 10, 11, -1, -1, -1, -1, -1, -1, -1, 0, 1, 2, -1, -1, -1, 9, 10,
                            11, -1, -1, -1, -1, -1, -1, -1);
}

// Bytes 0-2 of each lane to bytes 3-5.
__attribute__((target("avx2"))) inline __m256i ThreeQuarterCentre()
{
    return _mm256_setr_epi8(-1, -1, -1, 0, 1, 2, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 1, 2, -1, -1,
                            -1, -1, -1, -1, -1, -1, -1, -1);
}

// Each step reads up to 31 bytes past its first source byte, and its stores
// end 25 bytes after its first destination byte.
__attribute__((target("avx2"))) std::size_t ThreeQuarterOuterAvx2(const TByte* s, TByte* d, std::size_t w)
{
    std::size_t x = 0;
    for (; 3 * x + 9 + StoreBytes <= 3 * w; x += 6, s += 24, d += 18) {
        const __m256i p = LoadWindows(s, 12);
        const __m256i q = LoadWindows(s + 3, 12);
        const __m256i middle = _mm256_setr_epi8(-1, -1, -1, 3, 4, 5, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                                -1, 3, 4, 5, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
        StoreLanes(d, 9,
                   _mm256_or_si256(_mm256_shuffle_epi8(p, ThreeQuarterEnds()),
                                   _mm256_shuffle_epi8(FloorAverage2(p, q), middle)));
    }
    return x;
}

// The centre is the sum of bytes 3-5 and 6-8 of both rows: a shuffle lines
// up each pair of a row and maddubs adds it into a word.
__attribute__((target("avx2"))) std::size_t ThreeQuarterMiddleAvx2(const TByte* a, const TByte* b, TByte* d,
                                                                    std::size_t w)
{
    const __m256i pairs = _mm256_setr_epi8(3, 6, 4, 7, 5, 8, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 3, 6, 4, 7, 5, 8,
                                           -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i ones = _mm256_set1_epi8(1);
    std::size_t x = 0;
    for (; 3 * x + 9 + StoreBytes <= 3 * w; x += 6, a += 24, b += 24, d += 18) {
        const __m256i top = LoadWindows(a, 12);
        const __m256i bottom = LoadWindows(b, 12);
        const __m256i sums = _mm256_add_epi16(_mm256_maddubs_epi16(_mm256_shuffle_epi8(top, pairs), ones),
                                              _mm256_maddubs_epi16(_mm256_shuffle_epi8(bottom, pairs), ones));
        const __m256i centre = _mm256_packus_epi16(_mm256_srli_epi16(sums, 2), _mm256_setzero_si256());
        StoreLanes(d, 9,
                   _mm256_or_si256(_mm256_shuffle_epi8(FloorAverage2(top, bottom), ThreeQuarterEnds()),
                                   _mm256_shuffle_epi8(centre, ThreeQuarterCentre())));
    }
    return x;
}

#endif

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

// Levels 0-3: the top-left pixel of every n x n block. Each pixel but a row's
// last goes as four bytes, one load and one store instead of three of each;
// the fourth byte lies inside the row and the next pixel overwrites it.
template <int N>
void TakeEveryNth(const TBitmap& master, TBitmap& view, TRows rows)
{
    const std::int32_t w = view.Width();
    if (w == 0)
        return;
    for (std::int32_t y = rows.First; y < rows.Last; ++y) {
        const TByte* s = master.ScanLine(N * y);
        TByte* d = view.ScanLine(y);
        for (std::int32_t x = 1; x < w; ++x, s += 3 * N, d += 3)
            std::memcpy(d, s, 4);
        std::memcpy(d, s, 3);
    }
}

// Level 4: each byte the floor of the mean of its 2 x 2 block.
void AverageHalfRow(const TByte* a, const TByte* b, TByte* d, std::size_t w)
{
    std::size_t x = 0;
#ifdef KELDERWYN_SSSE3
    if (HasAvx2())
        x = AverageHalfAvx2(a, b, d, w);
    if (HasSsse3())
        x += AverageHalfSsse3(a + 6 * x, b + 6 * x, d + 3 * x, w - x);
#endif
    for (a += 6 * x, b += 6 * x, d += 3 * x; x < w; ++x, a += 6, b += 6, d += 3)
        for (int c = 0; c < 3; ++c)
            d[c] = Avg4(a[c], a[c + 3], b[c], b[c + 3]);
}

void AverageHalf(const TBitmap& master, TBitmap& view, TRows rows)
{
    for (std::int32_t y = rows.First; y < rows.Last; ++y)
        AverageHalfRow(master.ScanLine(2 * y), master.ScanLine(2 * y + 1), view.ScanLine(y),
                       static_cast<std::size_t>(view.Width()));
}

// Level 5, destination rows 3k and 3k+2 from source row 4k or 4k+3: per block
// of four source pixels the first, the mean of the middle two, the last. The
// destination pixels past the last whole block (w - x is 1 or 2) take the
// leading part of the same pattern.
void ThreeQuarterOuterRow(const TByte* s, TByte* d, std::size_t w)
{
    std::size_t x = 0;
#ifdef KELDERWYN_SSSE3
    if (HasAvx2())
        x = ThreeQuarterOuterAvx2(s, d, w);
    if (HasSsse3())
        x += ThreeQuarterOuterSsse3(s + 4 * x, d + 3 * x, w - x);
#endif
    for (s += 4 * x, d += 3 * x; x + 3 <= w; x += 3, s += 12, d += 9)
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
#ifdef KELDERWYN_SSSE3
    if (HasAvx2())
        x = ThreeQuarterMiddleAvx2(a, b, d, w);
    if (HasSsse3())
        x += ThreeQuarterMiddleSsse3(a + 4 * x, b + 4 * x, d + 3 * x, w - x);
#endif
    for (a += 4 * x, b += 4 * x, d += 3 * x; x + 3 <= w; x += 3, a += 12, b += 12, d += 9)
        for (int c = 0; c < 3; ++c) {
            d[c] = Avg2(a[c], b[c]);
            d[3 + c] = Avg4(a[3 + c], a[6 + c], b[3 + c], b[6 + c]);
            d[6 + c] = Avg2(a[9 + c], b[9 + c]);
        }
    for (std::size_t c = 0; c < 3 * (w - x); ++c)
        d[c] = c < 3 ? Avg2(a[c], b[c]) : Avg4(a[c], a[c + 3], b[c], b[c + 3]);
}

// Level 5: every 4 x 4 block of the master becomes a 3 x 3 block. Where the
// master's width (height) leaves 2 or 3 when divided by 4, the last partial
// block keeps the leading one or two columns (rows) of the same pattern: the
// plain copy of source column 4g, then the mean of columns 4g+1 and 4g+2. Only
// the dropped third column (row) would need source column (row) 4g+3, which
// does not exist, so every read stays inside the master and every write inside
// the view, and no extra rule is needed.
void ThreeQuarters(const TBitmap& master, TBitmap& view, TRows blocks)
{
    const std::size_t w = static_cast<std::size_t>(view.Width());
    const std::int32_t h = view.Height();
    for (std::int32_t k = blocks.First; k < blocks.Last; ++k) {
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
        FillRows(view, h, [&](TRows rows) { TakeEveryNth<10>(source, view, rows); });
        break;
    case 1:
        FillRows(view, h, [&](TRows rows) { TakeEveryNth<5>(source, view, rows); });
        break;
    case 2:
        FillRows(view, h, [&](TRows rows) { TakeEveryNth<4>(source, view, rows); });
        break;
    case 3:
        FillRows(view, h, [&](TRows rows) { TakeEveryNth<3>(source, view, rows); });
        break;
    case 4:
        FillRows(view, h, [&](TRows rows) { AverageHalf(source, view, rows); });
        break;
    case 5:
        FillRows(view, (h + 2) / 3, [&](TRows blocks) { ThreeQuarters(source, view, blocks); });
        break;
    default:
        break;
    }
}
