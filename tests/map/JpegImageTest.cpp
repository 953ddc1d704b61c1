#include "Errors.h"
#include "JpegImage.h"
#include "TestJpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
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

std::string DetailOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EMapError& error) {
        return ErrorDetail(error);
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
        for (bool subsample : {true, false})
            for (bool arithmetic : {false, true}) {
                SCOPED_TRACE(std::string(progressive ? "progressive" : "baseline") +
                             (subsample ? " 4:2:0" : " 4:4:4") + (arithmetic ? " arithmetic" : ""));
                const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(
                    picture, {.Progressive = progressive, .Subsample = subsample, .Arithmetic = arithmetic});
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
    EXPECT_EQ(DetailOf([&] { image.LoadFromFile(Path.string()); }),
              Path.string() + ": Not a JPEG file: starts with 0x6b 0x6e");
    EXPECT_TRUE(image.Empty());
    TBitmap bitmap(3, 3);
    image.DecodeInto(bitmap);
    EXPECT_TRUE(bitmap.Empty());

    WriteTestFile(Path, {});
    EXPECT_EQ(ErrorOf([&] { image.LoadFromFile(Path.string()); }).rfind("JPEG error #", 0), 0u);

    const std::string missing = "no-such-folder-kelderwyn/bigmap_hi.jpg";
    EXPECT_EQ(ErrorOf([&] { image.LoadFromFile(missing); }), "Cannot open file " + missing);
    EXPECT_EQ(DetailOf([&] { image.LoadFromFile(missing); }), SystemReason(ENOENT));
    EXPECT_EQ(DetailOf([&] { image.LoadFromFile(std::filesystem::temp_directory_path().string()); }),
              SystemReason(EISDIR));

    const std::vector<std::uint8_t> jpeg = EncodeTestJpeg(SmoothTestPicture(9, 4));
    WriteTestFile(Path, jpeg);
    image.LoadFromFile(Path.string());
    image.DecodeInto(bitmap);
    EXPECT_TRUE(bitmap == ReferenceDecode(jpeg));
}

TEST(JpegImage, RefusesImagesOverThePixelOrMemoryBudgetBeforeAllocating)
{
    // A few kilobytes declaring hundreds of millions of pixels.
    std::vector<std::uint8_t> baseline = EncodeTestJpeg(SmoothTestPicture(16, 16));
    std::vector<std::uint8_t> cmyk =
        EncodeTestJpeg(SmoothTestPicture(16, 16), {.Colour = TTestJpegColour::AdobeCmyk, .Progressive = true});
    TJPEGImage image;
    auto load = [&](std::vector<std::uint8_t>& jpeg, unsigned width, unsigned height) {
        SetTestJpegFrameSize(jpeg, width, height);
        return ErrorOf([&] { image.LoadFromMemory(jpeg.data(), jpeg.size()); });
    };
    EXPECT_EQ(load(baseline, 65500, 65500), "JPEG image too large (65500 x 65500 pixels)");
    EXPECT_EQ(load(baseline, 18900, 18900), "JPEG image too large (18900 x 18900 pixels)");
    EXPECT_EQ(load(baseline, 10000, 10033), "JPEG image too large (10000 x 10033 pixels)");
    EXPECT_EQ(load(cmyk, 16380, 16380), "JPEG image too large (16380 x 16380 pixels)");
    // Within the pixel limit, but its coefficients take 8 bytes a pixel.
    EXPECT_EQ(load(cmyk, 9800, 9800), "JPEG image too large (9800 x 9800 pixels)");
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(load(cmyk, 9000, 9000), "no error");
}

TEST(JpegImage, AcceptsOrdinaryMapsOfEightTimesTheIntendedPixels)
{
    // 10000 x 10032 = 8 x 3300 x 3800 pixels, baseline and with cjpeg's
    // progression, with room in the work budget for 15 MB of coded data,
    // more than such a map takes at ImageMagick's quality 92.
    const std::vector<std::vector<std::pair<int, int>>> samplings{
        {{2, 2}, {1, 1}, {1, 1}}, {{2, 1}, {1, 1}, {1, 1}}, {{1, 1}, {1, 1}, {1, 1}}, {{1, 1}}};
    for (bool progressive : {false, true})
        for (const auto& sampling : samplings) {
            SCOPED_TRACE(std::to_string(sampling.size()) + " components, " + std::to_string(sampling[0].first));
            const TJpegFrame frame = TestJpegFrame(10000, 10032, sampling, progressive);
            const std::vector<std::uint8_t> jpeg =
                FlatTestJpeg(frame, progressive ? SimpleProgression(frame.Count) : OneScan(frame.Count));
            TJPEGImage image;
            image.LoadFromMemory(jpeg.data(), jpeg.size());
            EXPECT_LE(image.Scans().Work + DataWork(frame, 15'000'000), TJPEGImage::MaxDecodeWork);
        }
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

TEST(JpegImage, RefusesScanBombsBeforeDecoding)
{
    // Flat pictures with the last scan repeated to 490 scans: as cjpeg writes
    // them, and with luminance sampled 4 x 4 and every scan of one component.
    // Decoding either would take many seconds.
    const std::vector<TJpegScan> script = SimpleProgression(3);
    const std::vector<std::uint8_t> bombs[] = {
        FlatTestJpeg(TestJpegFrame(4096, 4096, {{2, 2}, {1, 1}, {1, 1}}, true), script),
        FlatTestJpeg(TestJpegFrame(4096, 4096, {{4, 4}, {1, 1}, {1, 1}}, true), SplitScans(script))};
    for (const std::vector<std::uint8_t>& bomb : bombs) {
        const std::vector<std::uint8_t> jpeg = WithLastScanRepeated(bomb, 490 - static_cast<int>(script.size()));
        TJPEGImage image;
        image.LoadFromMemory(jpeg.data(), jpeg.size());
        TBitmap bitmap;
        EXPECT_EQ(ErrorOf([&] { image.DecodeInto(bitmap); }), "JPEG image has too many scans for its size");
        EXPECT_TRUE(bitmap.Empty());
    }
}

TEST(JpegImage, ChargesArithmeticCodedCoefficientsAsTheyAreDecoded)
{
    // An AC coefficient of 1025 costs the decoder 25 decisions for one bit of
    // data: a grey 6320 x 6320 file of them (4.9 MB) would take seconds. Each
    // of the 48 blocks here is charged 2 + 32 before it is decoded and
    // 1 + 63 * 25 after, so a bound one below the total stops the decode.
    std::vector<std::uint8_t> jpeg = ArithmeticTestJpeg(64, 48, false, 1025);
    TJPEGImage image;
    TBitmap bitmap;
    image.LoadFromMemory(jpeg.data(), jpeg.size());
    image.SetScanWorkLimit(48 * (34 + 1 + 63 * 25) - 1);
    EXPECT_EQ(ErrorOf([&] { image.DecodeInto(bitmap); }),
              "JPEG image too slow to decode (" + std::to_string(jpeg.size()) + " bytes of compressed data)");
    EXPECT_TRUE(bitmap.Empty());
    image.SetScanWorkLimit(48 * (34 + 1 + 63 * 25));
    image.DecodeInto(bitmap);
    EXPECT_TRUE(bitmap == ReferenceDecode(jpeg));

    // Progressive first scans of AC coefficients are counted before their
    // point transform, and come out as libjpeg stores them; a file with its
    // last scan repeated to 490 scans is stopped on the way.
    jpeg = ArithmeticTestJpeg(64, 48, true, 1025);
    image.LoadFromMemory(jpeg.data(), jpeg.size());
    image.SetScanWorkLimit(TJPEGImage::MaxDecodeWork);
    image.DecodeInto(bitmap);
    EXPECT_TRUE(bitmap == ReferenceDecode(jpeg));
    jpeg = EncodeTestJpeg(SmoothTestPicture(64, 64), {.Progressive = true, .Arithmetic = true});
    SetTestJpegFrameSize(jpeg, 1024, 1024);
    jpeg = WithLastScanRepeated(jpeg, 480);
    image.LoadFromMemory(jpeg.data(), jpeg.size());
    EXPECT_EQ(ErrorOf([&] { image.DecodeInto(bitmap); }).rfind("JPEG image too slow to decode (", 0), 0u);
}

TEST(JpegImage, RefusesMoreCodedDataThanTheBudgetDecodes)
{
    // Arithmetic-coded data costs 20 units a byte, so 9 MB of it is over the
    // budget; comments stand in for the data, as every byte of the file counts.
    const std::vector<std::uint8_t> small = EncodeTestJpeg(SmoothTestPicture(64, 64), {.Arithmetic = true});
    std::vector<std::uint8_t> comment{0xFF, 0xFE, 0xFF, 0xFF};
    comment.resize(65537);
    std::vector<std::uint8_t> jpeg(small.begin(), small.begin() + 2);
    for (int i = 0; i < 140; ++i)
        jpeg.insert(jpeg.end(), comment.begin(), comment.end());
    jpeg.insert(jpeg.end(), small.begin() + 2, small.end());
    TJPEGImage image;
    image.LoadFromMemory(jpeg.data(), jpeg.size());
    TBitmap bitmap;
    EXPECT_EQ(ErrorOf([&] { image.DecodeInto(bitmap); }),
              "JPEG image too slow to decode (" + std::to_string(jpeg.size()) + " bytes of compressed data)");
    EXPECT_TRUE(bitmap.Empty());
}

TEST(JpegImage, TheProgressMonitorStopsDecodesThatDoMoreThanTheWalkCounted)
{
    // libjpeg's own rows of MCUs add up to exactly what the walk counted, so
    // a bound one below it stops the decode and the bound itself does not:
    // cjpeg's progression, colour sampled 4 x 4 with scans of one component
    // each (the last rows of MCUs partly outside the image), and sequential
    // scans of one component. Flat files as the builder writes them decode
    // without a warning; junk and fill bytes before a scan hide nothing.
    std::vector<std::vector<std::uint8_t>> files{
        FlatTestJpeg(TestJpegFrame(45, 31, {{2, 2}, {1, 1}, {1, 1}}, true), SimpleProgression(3)),
        FlatTestJpeg(TestJpegFrame(31, 45, {{1, 1}, {4, 4}, {1, 1}}, true), SplitScans(SimpleProgression(3))),
        FlatTestJpeg(TestJpegFrame(45, 31, {{2, 1}, {1, 1}, {1, 1}}, false), SplitScans(OneScan(3)))};
    std::vector<std::uint8_t> junk = files[0];
    const std::uint8_t sos[] = {0xFF, 0xDA};
    junk.insert(std::find_end(junk.begin(), junk.end(), std::begin(sos), std::end(sos)), {0x00, 0xFF, 0x00, 0x12, 0xFF});
    files.push_back(junk);
    for (const std::vector<std::uint8_t>& jpeg : files) {
        int warnings = 0;
        const TBitmap reference = ReferenceDecode(jpeg, &warnings);
        EXPECT_TRUE(warnings == 0 || &jpeg == &files.back());
        TJPEGImage image;
        image.LoadFromMemory(jpeg.data(), jpeg.size());
        const std::uint64_t work = image.Scans().Work;
        TBitmap bitmap;
        image.SetScanWorkLimit(work - 1);
        EXPECT_EQ(ErrorOf([&] { image.DecodeInto(bitmap); }), "JPEG image has too many scans for its size");
        EXPECT_TRUE(bitmap.Empty());
        image.SetScanWorkLimit(work);
        image.DecodeInto(bitmap);
        EXPECT_TRUE(bitmap == reference);
    }
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
