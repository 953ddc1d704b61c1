// The two loops over every pixel a marker reaches (Markers.h): the
// transmissions of a canvas scaled by a label's coverage, and the marker
// colour blended over the picture at the coverage 255 - transmission.
//
// Both divide by 255 as Qt's raster engine does when it blends text onto a
// 24-bit image: v / 255 is (v + (v >> 8) + 0x80) >> 8, which is exact
// rounding for every product of two bytes.
//
// TransmitRows scales `rows` rows of `pixels` transmissions: t = t * (255 - a)
// / 255 for the coverage a at the same place. Each row of the transmissions
// and of the coverage is followed by BlendPadding bytes that the caller owns
// and that are left as they are or, in the coverage, hold 0.
//
// BlendRows blends the colour of MarkerColour over `rows` rows of `pixels`
// pixels (blue, green, red) at coverage a = 255 - transmission: each byte
// becomes (colour * a + byte * (255 - a)) / 255. A pixel whose transmission
// is 255 is left unchanged. Only the pixels named are written; the rows of
// the transmissions carry BlendPadding bytes as above.
//
// The plain twins, PlainTransmitRows and PlainBlendRows, go pixel by pixel;
// the fast path (MarkerBlendVector.cpp) takes sixteen pixels at a time, with
// 256-bit vectors where the processor has them. Throws nothing. The fast
// path makes a zoom to level 0, where every marker of the database is drawn
// at once, 1.8 to 2.4 times as fast, and Go up to 1.4 times (bench/machinery.sh,
// against KELDERWYN_PLAIN=blend).
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t BlendPadding = 16;

// The marker colour, red 255, green 241, blue 155, in a picture's byte order.
inline constexpr std::uint8_t MarkerBlue = 155;
inline constexpr std::uint8_t MarkerGreen = 241;
inline constexpr std::uint8_t MarkerRed = 255;

void TransmitRows(std::uint8_t* transmission, std::size_t transmissionStride, const std::uint8_t* coverage,
                  std::size_t coverageStride, std::size_t rows, std::size_t pixels);
void BlendRows(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
               std::size_t transmissionStride, std::size_t rows, std::size_t pixels);

void PlainTransmitRows(std::uint8_t* transmission, std::size_t transmissionStride, const std::uint8_t* coverage,
                       std::size_t coverageStride, std::size_t rows, std::size_t pixels);
void PlainBlendRows(std::uint8_t* bytes, std::size_t byteStride, const std::uint8_t* transmission,
                    std::size_t transmissionStride, std::size_t rows, std::size_t pixels);
