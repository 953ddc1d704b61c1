#include "Convert.h"
#include "Errors.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string FailureOf(const std::string& text)
{
    try {
        StrToInt(text);
    } catch (const EConvertError& error) {
        return error.what();
    }
    return "converted";
}

} // namespace

TEST(StrToInt, DecimalWithSignsLeadingSpacesAndZeros)
{
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("-0"), 0);
    EXPECT_EQ(StrToInt("   42"), 42);
    EXPECT_EQ(StrToInt("  -000123"), -123);
    EXPECT_EQ(StrToInt("-41250"), -41250);
}

TEST(StrToInt, DecimalLimits)
{
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt("+0000000002147483647"), 2147483647);
    EXPECT_EQ(FailureOf("2147483648"), "'2147483648' is not a valid integer value");
    EXPECT_EQ(FailureOf("-2147483649"), "'-2147483649' is not a valid integer value");
    EXPECT_NE(FailureOf("99999999999999999999999"), "converted");
    EXPECT_NE(FailureOf("4294967296"), "converted");
}

TEST(StrToInt, EveryHexPrefixInEitherCase)
{
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("xFf"), 255);
    EXPECT_EQ(StrToInt("X10"), 16);
    EXPECT_EQ(StrToInt("0x1a"), 26);
    EXPECT_EQ(StrToInt("0XAb"), 171);
    EXPECT_EQ(StrToInt("  $0"), 0);
    EXPECT_EQ(StrToInt("$0000000000000010"), 16);
}

TEST(StrToInt, HexAboveTheSignedRangeWrapsToNegative)
{
    EXPECT_EQ(StrToInt("$7FFFFFFF"), 2147483647);
    EXPECT_EQ(StrToInt("$80000000"), -2147483647 - 1);
    EXPECT_EQ(StrToInt("0xFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("$FFFF5E1E"), -41442);
    EXPECT_NE(FailureOf("$100000000"), "converted");
    EXPECT_NE(FailureOf("0x1FFFFFFFF"), "converted");
}

TEST(StrToInt, EmptyBlankLoneSignOrPrefixFail)
{
    EXPECT_EQ(FailureOf(""), "'' is not a valid integer value");
    EXPECT_EQ(FailureOf("   "), "'   ' is not a valid integer value");
    for (const char* text : {"+", "-", " -", "$", "x", "X", "0x", "0X", "  $"})
        EXPECT_NE(FailureOf(text), "converted") << text;
}

TEST(StrToInt, NothingMayFollowOrPrecedeTheNumber)
{
    EXPECT_EQ(FailureOf("12 "), "'12 ' is not a valid integer value");
    EXPECT_EQ(FailureOf(" 1 2"), "' 1 2' is not a valid integer value");
    for (const char* text : {"\t1", "1\n", "12a", "1.5", "1,5", "-$10", "+0x10", "- 1", "0x1G", "$ 1", "00x1", "0b1", "x-1"})
        EXPECT_NE(FailureOf(text), "converted") << text;
    // what() is zero-terminated: a NUL in the text is shown as \x00.
    EXPECT_EQ(FailureOf(std::string("1\0 ", 3)), "'1\\x00 ' is not a valid integer value");
}
