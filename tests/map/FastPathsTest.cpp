#include "FastPaths.h"

#include <gtest/gtest.h>

TEST(FastPaths, TheSwitchNamesAllPiecesOrSome)
{
    EXPECT_EQ(PlainPathsNamedBy(""), 0u);
    EXPECT_EQ(PlainPathsNamedBy("0"), 0u);
    EXPECT_EQ(PlainPathsNamedBy("1"), AllFastPaths);
    EXPECT_EQ(PlainPathsNamedBy("kernels,tiles"),
              static_cast<unsigned>(TFastPath::Kernels) | static_cast<unsigned>(TFastPath::Tiles));
    EXPECT_EQ(PlainPathsNamedBy("tiles,"), AllFastPaths) << "a text that is not a list turns everything off";
    EXPECT_EQ(PlainPathsNamedBy("kernel"), AllFastPaths);
}

TEST(FastPaths, PlainTwinsLastAsLongAsTheirGuard)
{
    const bool before = UseFastPath(TFastPath::Threads);
    {
        const TPlainTwins twins(static_cast<unsigned>(TFastPath::Threads));
        EXPECT_FALSE(UseFastPath(TFastPath::Threads));
    }
    EXPECT_EQ(UseFastPath(TFastPath::Threads), before);
}
