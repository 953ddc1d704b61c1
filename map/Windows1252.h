// Windows-1252, the code page of the location names in the database.
//
// Windows1252ToUnicode gives the Unicode code point of a byte: bytes
// 0x80..0x9F follow the code page's table (0x80 the euro sign, 0x8A S caron
// ...), every other byte is the code point of the same value. The five bytes
// the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1
// control characters of the same value, so that every byte string survives a
// round trip through Unicode. Throws nothing.
#pragma once

#include <array>

// Bytes 0x80..0x9F.
inline constexpr std::array<char16_t, 32> Windows1252HighRange = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

// Inline: the window converts every label on every redraw.
inline char16_t Windows1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return Windows1252HighRange[byte - 0x80];
    return byte;
}

// One of the five bytes that Windows-1252 leaves undefined.
inline bool Windows1252Undefined(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F && Windows1252ToUnicode(byte) == byte;
}
