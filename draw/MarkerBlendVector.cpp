// The marker blend sixteen pixels at a time (MarkerBlendKernels.h). Their
// coverage is spread over the 48 bytes of their blue, green and red, which are
// worked on in 16-bit lanes, where each sum of two products of bytes fits.
// The compiler's vector types keep this portable; each loop is built twice,
// for the baseline processor and for 256-bit vectors, from one body that is
// always inlined.
#include "MarkerBlendKernels.h"

#include "MarkerBlend.h"

#include <array>
#include <cstring>

#define BLEND_INLINE [[gnu::always_inline]] inline

namespace {

constexpr std::size_t BlendPixels = 16;
static_assert(BlendPadding >= BlendPixels);

using TByteLanes = std::uint8_t __attribute__((vector_size(BlendPixels)));
using TWordLanes = std::uint16_t __attribute__((vector_size(2 * BlendPixels)));

// The marker colour over the 48 bytes of sixteen pixels, blue, green, red.
constexpr std::array<std::uint8_t, 3 * BlendPixels> ColourRun = [] {
    std::array<std::uint8_t, 3 * BlendPixels> run{};
    for (std::size_t i = 0; i < run.size(); ++i)
        run[i] = i % 3 == 0 ? MarkerBlue : i % 3 == 1 ? MarkerGreen : MarkerRed;
    return run;
}();

BLEND_INLINE TByteLanes LoadLanes(const std::uint8_t* bytes)
{
    TByteLanes lanes;
    std::memcpy(&lanes, bytes, sizeof lanes);
    return lanes;
}

// Sixteen bytes at coverage a each: colour * a + byte * (255 - a), over 255.
BLEND_INLINE void BlendLanes(std::uint8_t* bytes, TByteLanes coverage, const std::uint8_t* colours)
{
    const TWordLanes colour = __builtin_convertvector(LoadLanes(colours), TWordLanes);
    const TWordLanes a = __builtin_convertvector(coverage, TWordLanes);
    const TWordLanes byte = __builtin_convertvector(LoadLanes(bytes), TWordLanes);
    const TWordLanes sum = colour * a + byte * (255 - a);
    const TByteLanes result = __builtin_convertvector((sum + (sum >> 8) + 0x80) >> 8, TByteLanes);
    std::memcpy(bytes, &result, sizeof result);
}

// Sixteen pixels, 48 bytes, from one coverage byte each. Pixels without
// coverage, which would stay as they are, are passed over without touching
// the picture.
BLEND_INLINE void BlendSixteen(std::uint8_t* bytes, TByteLanes a)
{
    std::uint64_t halves[2];
    std::memcpy(halves, &a, sizeof halves);
    if ((halves[0] | halves[1]) == 0)
        return;
    BlendLanes(bytes, __builtin_shufflevector(a, a, 0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5), ColourRun.data());
    BlendLanes(bytes + 16, __builtin_shufflevector(a, a, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10),
               ColourRun.data() + 16);
    BlendLanes(bytes + 32, __builtin_shufflevector(a, a, 10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15),
               ColourRun.data() + 32);
}

BLEND_INLINE void TransmitSixteen(std::uint8_t* transmission, const std::uint8_t* coverage)
{
    const TWordLanes t = __builtin_convertvector(LoadLanes(transmission), TWordLanes);
    const TWordLanes a = __builtin_convertvector(LoadLanes(coverage), TWordLanes);
    const TWordLanes product = t * (255 - a);
    const TByteLanes result = __builtin_convertvector((product + (product >> 8) + 0x80) >> 8, TByteLanes);
    std::memcpy(transmission, &result, sizeof result);
}

// In whole runs of sixteen: past a row's end lie the padding bytes.
BLEND_INLINE void TransmitRowsBody(std::uint8_t* transmission, std::size_t transmissionStride,
                                   const std::uint8_t* coverage, std::size_t coverageStride, std::size_t rows,
                                   std::size_t pixels)
{
    for (std::size_t y = 0; y < rows; ++y, transmission += transmissionStride, coverage += coverageStride)
        for (std::size_t done = 0; done < pixels; done += BlendPixels)
            TransmitSixteen(transmission + done, coverage + done);
}

// The last pixels of a row, fewer than sixteen, go through a copy: past them
// lie pixels of the picture that are not to be written.
BLEND_INLINE void BlendRowsBody(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
                                std::size_t transmissionStride, std::size_t rows, std::size_t pixels)
{
    for (std::size_t y = 0; y < rows; ++y, bytes += byteStride, transmission += transmissionStride)
        for (std::size_t done = 0; done < pixels; done += BlendPixels) {
            const TByteLanes coverage = 255 - LoadLanes(transmission + done);
            if (done + BlendPixels <= pixels) {
                BlendSixteen(bytes + 3 * done, coverage);
                continue;
            }
            const std::size_t rest = pixels - done;
            std::uint8_t tail[3 * BlendPixels] = {};
            std::memcpy(tail, bytes + 3 * done, 3 * rest);
            BlendSixteen(tail, coverage);
            std::memcpy(bytes + 3 * done, tail, 3 * rest);
        }
}

} // namespace

void VectorTransmitRows(std::uint8_t* transmission, std::size_t transmissionStride, const std::uint8_t* coverage,
                        std::size_t coverageStride, std::size_t rows, std::size_t pixels)
{
    TransmitRowsBody(transmission, transmissionStride, coverage, coverageStride, rows, pixels);
}

void VectorBlendRows(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
                     std::size_t transmissionStride, std::size_t rows, std::size_t pixels)
{
    BlendRowsBody(bytes, byteStride, transmission, transmissionStride, rows, pixels);
}

#ifdef KELDERWYN_AVX2_BLEND

__attribute__((target("avx2"))) void Avx2TransmitRows(std::uint8_t* transmission, std::size_t transmissionStride,
                                                       const std::uint8_t* coverage, std::size_t coverageStride,
                                                       std::size_t rows, std::size_t pixels)
{
    TransmitRowsBody(transmission, transmissionStride, coverage, coverageStride, rows, pixels);
}

__attribute__((target("avx2"))) void Avx2BlendRows(std::uint8_t* bytes, std::size_t byteStride,
                                                    const std::uint8_t* transmission, std::size_t transmissionStride,
                                                    std::size_t rows, std::size_t pixels)
{
    BlendRowsBody(bytes, byteStride, transmission, transmissionStride, rows, pixels);
}

#endif
