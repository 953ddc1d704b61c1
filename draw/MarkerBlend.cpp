#include "MarkerBlend.h"

#include "CpuFeatures.h"
#include "FastPaths.h"
#include "MarkerBlendKernels.h"

#include <array>

namespace {

constexpr std::array<unsigned, 3> Colour{MarkerBlue, MarkerGreen, MarkerRed};

constexpr std::uint8_t Div255(unsigned v)
{
    return static_cast<std::uint8_t>((v + (v >> 8) + 0x80) >> 8);
}

} // namespace

void PlainTransmitRows(std::uint8_t* transmission, std::size_t transmissionStride, const std::uint8_t* coverage,
                       std::size_t coverageStride, std::size_t rows, std::size_t pixels)
{
    for (std::size_t y = 0; y < rows; ++y, transmission += transmissionStride, coverage += coverageStride)
        for (std::size_t x = 0; x < pixels; ++x)
            transmission[x] = Div255(transmission[x] * (255u - coverage[x]));
}

void PlainBlendRows(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
                    std::size_t transmissionStride, std::size_t rows, std::size_t pixels)
{
    for (std::size_t y = 0; y < rows; ++y, bytes += byteStride, transmission += transmissionStride)
        for (std::size_t x = 0; x < pixels; ++x) {
            const unsigned a = 255u - transmission[x];
            for (std::size_t c = 0; c < 3; ++c)
                bytes[3 * x + c] = Div255(Colour[c] * a + bytes[3 * x + c] * (255u - a));
        }
}

void TransmitRows(std::uint8_t* transmission, std::size_t transmissionStride, const std::uint8_t* coverage,
                  std::size_t coverageStride, std::size_t rows, std::size_t pixels)
{
    if (!UseFastPath(TFastPath::Blend))
        PlainTransmitRows(transmission, transmissionStride, coverage, coverageStride, rows, pixels);
#ifdef KELDERWYN_AVX2_BLEND
    else if (HasAvx2())
        Avx2TransmitRows(transmission, transmissionStride, coverage, coverageStride, rows, pixels);
#endif
    else
        VectorTransmitRows(transmission, transmissionStride, coverage, coverageStride, rows, pixels);
}

void BlendRows(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
               std::size_t transmissionStride, std::size_t rows, std::size_t pixels)
{
    if (!UseFastPath(TFastPath::Blend))
        PlainBlendRows(bytes, byteStride, transmission, transmissionStride, rows, pixels);
#ifdef KELDERWYN_AVX2_BLEND
    else if (HasAvx2())
        Avx2BlendRows(bytes, byteStride, transmission, transmissionStride, rows, pixels);
#endif
    else
        VectorBlendRows(bytes, byteStride, transmission, transmissionStride, rows, pixels);
}
