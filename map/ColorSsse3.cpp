// The SSSE3 kernels of the scaler (ColorKernels.h).
#include "ColorKernels.h"

#ifdef KELDERWYN_X86_KERNELS

#include <immintrin.h>

using TByte = std::uint8_t;

namespace {

// Each step stores 16 bytes of which it means 9; the next step or the plain
// row overwrites the rest, so a kernel stops while 16 bytes still fit in the row.
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

} // namespace

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

#endif
