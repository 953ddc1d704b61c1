// The AVX2 kernels of the scaler (ColorKernels.h): two steps of the SSSE3
// kernels at once, one in each 128-bit lane.
#include "ColorKernels.h"

#ifdef KELDERWYN_X86_KERNELS

#include <immintrin.h>

using TByte = std::uint8_t;

namespace {

// Each step stores 16 bytes of which it means 9 or 12; the next step or the
// plain row overwrites the rest.
constexpr std::size_t StoreBytes = 16;

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
// does what one step of the SSSE3 kernel does, the high lane 24 bytes further on.
__attribute__((target("avx2"))) inline __m256i QuarterSums2(const TByte* a, const TByte* b)
{
    const __m256i pairs = _mm256_setr_epi8(0, 3, 1, 4, 2, 5, 6, 9, 7, 10, 8, 11, -1, -1, -1, -1, 0, 3, 1, 4, 2, 5, 6,
                                           9, 7, 10, 8, 11, -1, -1, -1, -1);
    const __m256i ones = _mm256_set1_epi8(1);
    const __m256i top = _mm256_maddubs_epi16(_mm256_shuffle_epi8(LoadWindows(a, 24), pairs), ones);
    const __m256i bottom = _mm256_maddubs_epi16(_mm256_shuffle_epi8(LoadWindows(b, 24), pairs), ones);
    return _mm256_srli_epi16(_mm256_add_epi16(top, bottom), 2);
}

} // namespace

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

namespace {

// Level 5 with AVX2, two 4 x 4 blocks per step, one per lane, as the SSSE3
// kernels do one.
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

} // namespace

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
