#include "AnsiText.h"

#include <gtest/gtest.h>

TEST(AnsiText, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    const QString text = AnsiToQString(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(QStringToAnsi(text), all);
}

TEST(AnsiText, DecodesWindows1252WithC1ForTheUndefinedBytes)
{
    EXPECT_EQ(AnsiToQString("Caf\xE9"), QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(AnsiToQString("\x80\x8A\x9F"), QStringLiteral("\u20AC\u0160\u0178"));
    for (const unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(AnsiToQString(std::string(1, static_cast<char>(undefined)))[0].unicode(), undefined);
    EXPECT_EQ(AnsiToQString(std::string("a\0b", 3)).size(), 3);
}

TEST(AnsiText, EncodesCharactersOutsideTheCodePageAsQuestionMarks)
{
    EXPECT_EQ(QStringToAnsi(QStringLiteral("\u20AC\u0100\u4E00")), std::string("\x80??"));
    EXPECT_EQ(QStringToAnsi(QStringLiteral("\u00FF\u0080")), std::string("\xFF?"));
}
