// The vector kernels of the marker blend (MarkerBlendVector.cpp), which
// MarkerBlend.cpp chooses between: sixteen pixels a step, in 16-bit lanes of
// the compiler's vector types, built once for the baseline processor and once
// for 256-bit vectors. They do what the plain twins of MarkerBlend.h do, under
// the same contract.
#pragma once

#include <cstddef>
#include <cstdint>

void VectorTransmitRows(std::uint8_t* transmission, std::size_t transmissionStride, const std::uint8_t* coverage,
                        std::size_t coverageStride, std::size_t rows, std::size_t pixels);
void VectorBlendRows(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
                     std::size_t transmissionStride, std::size_t rows, std::size_t pixels);

#if defined(__GNUC__) && defined(__x86_64__)
#define KELDERWYN_AVX2_BLEND 1
void Avx2TransmitRows(std::uint8_t* transmission, std::size_t transmissionStride, const std::uint8_t* coverage,
                      std::size_t coverageStride, std::size_t rows, std::size_t pixels);
void Avx2BlendRows(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
                   std::size_t transmissionStride, std::size_t rows, std::size_t pixels);
#endif
