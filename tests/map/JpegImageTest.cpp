#include "Errors.h"
#include "JpegImage.h"
#include "TestJpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

namespace {

TBitmap Decode(const std::vector<std::uint8_t>& jpeg)
{
    TJPEGImage image;
    image.LoadFromMemory(jpeg.data(), jpeg.size());
    TBitmap bitmap;
    image.DecodeInto(bitmap);
    return bitmap;
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EMapError& error) {
        return error.what();
    }
    return "no error";
}

class JpegFileTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(Path); }
    std::filesystem::path Path = TempTestPath(::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                              std::string(".jpg"));
};

} // namespace

TEST(JpegImage, DecodesColourFilesExactlyAsLibjpegDoes)
{
    const TBitmap picture = SmoothTestPicture(45, 31);
    for (bool progressive : {false, true})
        for (bool subsample : {true, false}) {
            SCOPED_TRACE(std::string(progressive ? "progressive" : "baseline") + (subsample ? " 4:2:0" : " 4:4:4"));
            const std::vector<std::uint8_t> jpeg =
                EncodeTestJpeg(picture, {.Progressive = progressive, .Subsample = subsample});
            TJPEGImage image;
            image.LoadFromMemory(jpeg.data(), jpeg.size());
            EXPECT_EQ(image.Width(), 45);
            EXPECT_EQ(image.Height(), 31);
            EXPECT_EQ(image.Components(), 3);
            EXPECT_EQ(image.Progressive(), progressive);
            TBitmap decoded;
            image.DecodeInto(decoded);
            EXPECT_TRUE(decoded == ReferenceDecode(jpeg));
            EXPECT_LE(MaxPixelDifference(decoded, picture), subsample ? 24 : 8);
        }
}

TEST(JpegImage, DecodesGreyToEqualBlueGreenRed)
{
    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(20, 17), {.Colour = TTestJpegColour::Grey});
    const TBitmap decoded = Decode(jpeg);
    const TBitmap reference = ReferenceDecode(jpeg);
    EXPECT_TRUE(decoded == reference);
    bool someGrey = false;
    for (std::int32_t y = 0; y < decoded.Height(); ++y)
        for (std::int32_t x = 0; x < decoded.Width(); ++x) {
            const std::uint8_t* p = decoded.ScanLine(y) + 3 * x;
            ASSERT_EQ(p[0], p[1]);
            ASSERT_EQ(p[1], p[2]);
            someGrey = someGrey || (p[0] > 40 && p[0] < 215);
        }
    EXPECT_TRUE(someGrey);
}

TEST(JpegImage, DecodesFourComponentFilesToTheirColours)
{
    const TBitmap picture = SmoothTestPicture(33, 18);
    for (TTestJpegColour colour : {TTestJpegColour::Cmyk, TTestJpegColour::AdobeCmyk, TTestJpegColour::AdobeYcck}) {
        SCOPED_TRACE(static_cast<int>(colour));
        const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(picture, {.Colour = colour, .Quality = 98});
        TJPEGImage image;
        image.LoadFromMemory(jpeg.data(), jpeg.size());
        EXPECT_EQ(image.Components(), 4);
        TBitmap decoded;
        image.DecodeInto(decoded);
        EXPECT_LE(MaxPixelDifference(decoded, picture), 16);
    }
}

TEST(JpegImage, TruncatedFiles)
{
    const TBitmap picture = SmoothTestPicture(64, 64);
    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(picture, {.Subsample = false});
    const TBitmap full = Decode(jpeg);

    // Cut inside the image data: libjpeg only warns, the rest is filled in.
    std::vector<std::uint8_t> cut(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() * 3 / 4));
    const TBitmap partial = Decode(cut);
    ASSERT_EQ(partial.Width(), 64);
    ASSERT_EQ(partial.Height(), 64);
    for (std::int32_t y = 0; y < 8; ++y)
        EXPECT_EQ(std::memcmp(partial.ScanLine(y), full.ScanLine(y), 64 * 3), 0) << y;

    // A progressive file cut after its first scans: block smoothing fills in
    // the missing coefficients, as in libjpeg's own decode.
    const std::vector<std::uint8_t> progressive = EncodeTestJpeg(picture, {.Progressive = true});
    cut.assign(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(progressive.size() / 3));
    EXPECT_TRUE(Decode(cut) == ReferenceDecode(cut));

    // Cut inside the headers: the load fails and keeps what was loaded before.
    TJPEGImage image;
    image.LoadFromMemory(jpeg.data(), jpeg.size());
    EXPECT_EQ(ErrorOf([&] { image.LoadFromMemory(jpeg.data(), 100); }).rfind("JPEG error #", 0), 0u);
    EXPECT_EQ(image.Width(), 64);
    TBitmap decoded;
    image.DecodeInto(decoded);
    EXPECT_TRUE(decoded == full);
}

TEST_F(JpegFileTest, ReportsFilesThatAreNotJpegOrCannotBeOpened)
{
    WriteTestFile(Path, {'k', 'n', 'm', 'a', 'i', 'n', '\n', 'l', 'o', 'c', '\n'});
    TJPEGImage image;
    EXPECT_EQ(ErrorOf([&] { image.LoadFromFile(Path.string()); }), "JPEG error #53");
    EXPECT_TRUE(image.Empty());
    TBitmap bitmap(3, 3);
    image.DecodeInto(bitmap);
    EXPECT_TRUE(bitmap.Empty());

    WriteTestFile(Path, {});
    EXPECT_EQ(ErrorOf([&] { image.LoadFromFile(Path.string()); }).rfind("JPEG error #", 0), 0u);

    const std::string missing = "no-such-folder-kelderwyn/bigmap_hi.jpg";
    EXPECT_EQ(ErrorOf([&] { image.LoadFromFile(missing); }), "Cannot open file " + missing);
    EXPECT_THROW(image.LoadFromFile(std::filesystem::temp_directory_path().string()), EFOpenError);

    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(9, 4));
    WriteTestFile(Path, jpeg);
    image.LoadFromFile(Path.string());
    image.DecodeInto(bitmap);
    EXPECT_TRUE(bitmap == ReferenceDecode(jpeg));
}

TEST(JpegImage, RefusesHugeImagesBeforeAllocating)
{
    std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(16, 16));
    TJPEGImage image;

    SetTestJpegFrameSize(jpeg, 65500, 65500);
    EXPECT_EQ(ErrorOf([&] { image.LoadFromMemory(jpeg.data(), jpeg.size()); }),
              "JPEG image too large (65500 x 65500 pixels)");
    SetTestJpegFrameSize(jpeg, 19000, 19000);
    EXPECT_EQ(ErrorOf([&] { image.LoadFromMemory(jpeg.data(), jpeg.size()); }),
              "JPEG image too large (19000 x 19000 pixels)");
    EXPECT_TRUE(image.Empty());

    SetTestJpegFrameSize(jpeg, 12000, 12000);
    image.LoadFromMemory(jpeg.data(), jpeg.size());
    EXPECT_EQ(image.Width(), 12000);
    EXPECT_EQ(image.Height(), 12000);
}

TEST(JpegImage, RefusesFilesWithTooManyScans)
{
    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(24, 24), {.Progressive = true});
    const TBitmap reference = ReferenceDecode(jpeg);
    // A few extra scans are no reason to refuse a file.
    EXPECT_EQ(Decode(WithLastScanRepeated(jpeg, 20)).Width(), 24);

    const std::vector<std::uint8_t> hostile = WithLastScanRepeated(jpeg, TJPEGImage::MaxScans);
    TJPEGImage image;
    image.LoadFromMemory(hostile.data(), hostile.size());
    TBitmap bitmap = reference;
    EXPECT_EQ(ErrorOf([&] { image.DecodeInto(bitmap); }), "JPEG image has more than 500 scans");
    EXPECT_TRUE(bitmap == reference);
    EXPECT_TRUE(bitmap.SharesPixelsWith(reference));
}

TEST(JpegImage, RefusesScansThatCostTooMuchForTheImageSize)
{
    // The real bound allows over 100 full scans of an 18000 x 18000 image,
    // which a file of a few kilobytes can ask for; here it is scaled down.
    const std::vector<std::uint8_t> jpeg =
        WithLastScanRepeated(EncodeTestJpeg(SmoothTestPicture(64, 48), {.Progressive = true}), 100);
    TJPEGImage image;
    image.LoadFromMemory(jpeg.data(), jpeg.size());
    const std::uint64_t oneScan = 64 * 48 / 16; // rows of MCUs times the width
    TBitmap bitmap;
    image.SetScanWorkLimit(50 * oneScan);
    EXPECT_EQ(ErrorOf([&] { image.DecodeInto(bitmap); }), "JPEG image has too many scans for its size");
    EXPECT_TRUE(bitmap.Empty());

    image.SetScanWorkLimit(200 * oneScan);
    image.DecodeInto(bitmap);
    EXPECT_TRUE(bitmap == ReferenceDecode(jpeg));
    EXPECT_GE(TJPEGImage::MaxScanWork / (std::uint64_t{18000} * 18000 / 8), 100u);
}

TEST(JpegImage, IgnoresTheMemoryLimitOfTheEnvironment)
{
    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(200, 120), {.Progressive = true});
    const TBitmap reference = ReferenceDecode(jpeg);
    const char* previous = std::getenv("JPEGMEM");
    const std::optional<std::string> saved = previous ? std::optional<std::string>(previous) : std::nullopt;
    // 1 means 1000 bytes: far too little for the coefficients of a progressive file.
    setenv("JPEGMEM", "1", 1);
    std::string result;
    TBitmap decoded;
    result = ErrorOf([&] { decoded = Decode(jpeg); });
    if (saved)
        setenv("JPEGMEM", saved->c_str(), 1);
    else
        unsetenv("JPEGMEM");
    EXPECT_EQ(result, "no error");
    EXPECT_TRUE(decoded == reference);
}
