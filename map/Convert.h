// StrToInt: the one conversion of text to a signed 32-bit integer.
//
// Accepted form, and nothing else:
//   - any number of leading spaces (0x20 only), skipped;
//   - then an optional "+" or "-" and one or more decimal digits whose value
//     lies in -2147483648 .. 2147483647,
//   - or one of the prefixes "$", "x", "X", "0x", "0X" and one or more
//     hexadecimal digits (either case) whose value fits in 32 bits; values of
//     2^31 and above give the negative number of the same two's-complement
//     pattern. No sign before a prefix;
//   - nothing after the last digit, not even a blank.
//
// Any other text throws EConvertError "'%s' is not a valid integer value"
// with the whole text given, blanks and all. The message is zero-terminated
// text, so a NUL byte of the text appears in it as the four characters \x00.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::int32_t StrToInt(std::string_view text);

// The message StrToInt raises for text.
std::string InvalidIntegerMessage(std::string_view text);
