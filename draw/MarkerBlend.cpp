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

namespace {

// The loops of this run, chosen in this one place.
struct TBlendLoops {
    decltype(&PlainTransmitRows) Transmit;
    decltype(&PlainBlendRows) Blend;
};

const TBlendLoops& ChosenLoops()
{
    static constexpr TBlendLoops Plain{PlainTransmitRows, PlainBlendRows};
    static constexpr TBlendLoops Vector{VectorTransmitRows, VectorBlendRows};
#ifdef KELDERWYN_AVX2_BLEND
    static constexpr TBlendLoops Avx2{Avx2TransmitRows, Avx2BlendRows};
    if (UseFastPath(TFastPath::Blend) && HasAvx2())
        return Avx2;
#endif
    return UseFastPath(TFastPath::Blend) ? Vector : Plain;
}

} // namespace

void TransmitRows(std::uint8_t* transmission, std::size_t transmissionStride, const std::uint8_t* coverage,
                  std::size_t coverageStride, std::size_t rows, std::size_t pixels)
{
    ChosenLoops().Transmit(transmission, transmissionStride, coverage, coverageStride, rows, pixels);
}

void BlendRows(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
               std::size_t transmissionStride, std::size_t rows, std::size_t pixels)
{
    ChosenLoops().Blend(bytes, byteStride, transmission, transmissionStride, rows, pixels);
}
