// The scaler's vector kernels for x86 processors (ColorSsse3.cpp,
// ColorAvx2.cpp), which Color.cpp chooses between; elsewhere there are none.
//
// Each kernel writes a prefix of one destination row of 3 * w bytes in whole
// steps and returns how many destination pixels it wrote (at level 5 a
// multiple of 3); the plain row routine of Color.cpp writes the rest. An AVX2
// kernel hands the part of its row too short for its own steps to the SSSE3
// kernel. Elsewhere than on x86 there are none. A step
// stores 16 bytes of which it may mean fewer, so a kernel stops while its
// stores and its loads still fall inside the rows. Sources are laid out as the
// scaler's rows are: level 4 reads 6 bytes of each source row per destination
// pixel, level 5 reads 12 per 3 destination pixels.
//
// What they buy (bench/machinery.sh, against KELDERWYN_PLAIN=kernels on the
// 2-core machine): a zoom to level 4 or 5 2.3 to 2.9 times as fast, Go from
// level 0 to 6 1.4 times (sample world) and 1.5 times (100,000 places).
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define KELDERWYN_X86_KERNELS 1

// Level 4: each byte the floor of the mean of its 2 x 2 block of rows a and b.
std::size_t AverageHalfSsse3(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* d, std::size_t w);
std::size_t AverageHalfAvx2(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* d, std::size_t w);

// Level 5, the outer rows of a block from source row s.
std::size_t ThreeQuarterOuterSsse3(const std::uint8_t* s, std::uint8_t* d, std::size_t w);
std::size_t ThreeQuarterOuterAvx2(const std::uint8_t* s, std::uint8_t* d, std::size_t w);

// Level 5, the middle row of a block from source rows a and b.
std::size_t ThreeQuarterMiddleSsse3(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* d, std::size_t w);
std::size_t ThreeQuarterMiddleAvx2(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* d, std::size_t w);
#endif
