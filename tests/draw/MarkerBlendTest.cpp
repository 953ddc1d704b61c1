#include "MarkerBlend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t count, std::mt19937& random)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(random() % 4 == 0 ? 0 : random());
    return bytes;
}

} // namespace

// Every width, with rows whose strides leave the padding the contract asks
// for: the fast loops give the plain twins' bytes, also in the padding, and
// write no pixel of the picture past a row's end.
TEST(MarkerBlend, TheFastLoopsGiveThePlainTwinsBytes)
{
    std::mt19937 random(77);
    constexpr std::size_t Rows = 3;
    for (std::size_t pixels = 0; pixels <= 50; ++pixels) {
        const std::size_t stride = pixels + BlendPadding;
        const std::vector<std::uint8_t> coverage = [&] {
            std::vector<std::uint8_t> bytes = RandomBytes(Rows * stride, random);
            for (std::size_t y = 0; y < Rows; ++y)
                std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(y * stride + pixels), BlendPadding, 0);
            return bytes;
        }();
        const std::vector<std::uint8_t> transmission = RandomBytes(Rows * stride, random);
        const std::vector<std::uint8_t> picture = RandomBytes(Rows * (3 * pixels + 5), random);

        std::vector<std::uint8_t> fast = transmission;
        std::vector<std::uint8_t> plain = transmission;
        TransmitRows(fast.data(), stride, coverage.data(), stride, Rows, pixels);
        PlainTransmitRows(plain.data(), stride, coverage.data(), stride, Rows, pixels);
        EXPECT_EQ(fast, plain) << pixels << " pixels";

        std::vector<std::uint8_t> fastPicture = picture;
        std::vector<std::uint8_t> plainPicture = picture;
        BlendRows(fastPicture.data(), 3 * pixels + 5, fast.data(), stride, Rows, pixels);
        PlainBlendRows(plainPicture.data(), 3 * pixels + 5, plain.data(), stride, Rows, pixels);
        EXPECT_EQ(fastPicture, plainPicture) << pixels << " pixels";
        for (std::size_t y = 0; y < Rows; ++y)
            for (std::size_t i = 3 * pixels; i < 3 * pixels + 5; ++i)
                EXPECT_EQ(fastPicture[y * (3 * pixels + 5) + i], picture[y * (3 * pixels + 5) + i]);
    }
}
