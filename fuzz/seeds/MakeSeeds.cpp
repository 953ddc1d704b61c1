// Writes the image seeds of the fuzz corpus: small JPEG files in every colour
// layout the decoder handles, the decoder's bombs in small files, and small
// BMP files in the header variants the reader accepts.
// Usage: kelderwyn-make-fuzz-seeds CORPUS_FOLDER
#include "Bitmap.h"
#include "BmpFile.h"
#include "TestJpeg.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

void Put32(TBytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

TBytes Bmp(const TBitmap& picture, const std::filesystem::path& scratch)
{
    SaveBitmapToFile(picture, scratch.string());
    return ReadTestFile(scratch);
}

// The same pixels as the writer's file, rows stored bottom-up.
TBytes BottomUp(const TBytes& topDown, const TBitmap& picture)
{
    TBytes bytes(topDown.begin(), topDown.begin() + 54);
    Put32(bytes, 22, static_cast<std::uint32_t>(picture.Height()));
    for (std::int32_t y = picture.Height() - 1; y >= 0; --y) {
        const auto at = topDown.begin() + 54 + static_cast<std::ptrdiff_t>(picture.RowStride()) * y;
        bytes.insert(bytes.end(), at, at + static_cast<std::ptrdiff_t>(picture.RowStride()));
    }
    return bytes;
}

// A 108-byte info header and a gap of 12 bytes before the pixels.
TBytes LongHeader(const TBytes& plain)
{
    TBytes bytes(plain.begin(), plain.begin() + 54);
    bytes.resize(14 + 108 + 12, 0);
    Put32(bytes, 14, 108);
    Put32(bytes, 10, static_cast<std::uint32_t>(bytes.size()));
    bytes.insert(bytes.end(), plain.begin() + 54, plain.end());
    Put32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path corpus = argv[1];
    std::filesystem::create_directories(corpus / "jpeg");
    std::filesystem::create_directories(corpus / "bmp");

    const TBitmap picture = SmoothTestPicture(48, 32);
    const TBitmap odd = SmoothTestPicture(17, 9);
    auto jpeg = [&](const std::string& name, const TBitmap& source, const TTestJpegOptions& options) {
        WriteTestFile(corpus / "jpeg" / name, EncodeTestJpeg(source, options));
    };
    jpeg("baseline-420.jpg", picture, {.Quality = 75});
    jpeg("baseline-444.jpg", odd, {.Quality = 90, .Subsample = false});
    jpeg("progressive.jpg", picture, {.Quality = 80, .Progressive = true});
    jpeg("progressive-odd.jpg", odd, {.Quality = 50, .Progressive = true, .Subsample = false});
    jpeg("grey.jpg", odd, {.Colour = TTestJpegColour::Grey});
    jpeg("grey-progressive.jpg", odd, {.Colour = TTestJpegColour::Grey, .Progressive = true});
    jpeg("cmyk.jpg", odd, {.Colour = TTestJpegColour::Cmyk, .Quality = 70});
    jpeg("adobe-cmyk.jpg", odd, {.Colour = TTestJpegColour::AdobeCmyk, .Quality = 70});
    jpeg("adobe-ycck.jpg", odd, {.Colour = TTestJpegColour::AdobeYcck, .Quality = 70, .Progressive = true});
    jpeg("arithmetic-progressive.jpg", odd, {.Progressive = true, .Arithmetic = true});

    // Bombs: more scans than allowed; scans whose work is over the budget
    // once the frame declares 4096 x 4096 pixels; scans of one component
    // with luminance sampled 4 x 4; headers declaring too many pixels;
    // arithmetic-coded coefficients that cost many decisions each.
    auto bomb = [&](const std::string& name, const TBytes& bytes) { WriteTestFile(corpus / "jpeg" / name, bytes); };
    bomb("arithmetic-large-coefficients.jpg", ArithmeticTestJpeg(32, 24, false, 1025));
    const TBytes progressive = EncodeTestJpeg(odd, {.Quality = 50, .Progressive = true});
    bomb("more-than-500-scans.jpg", WithLastScanRepeated(progressive, 500));
    TBytes work = WithLastScanRepeated(FlatTestJpeg(TestJpegFrame(16, 16, {{2, 2}, {1, 1}, {1, 1}}, true),
                                                    SimpleProgression(3)),
                                       200);
    SetTestJpegFrameSize(work, 4096, 4096);
    bomb("scan-work-declaring-4096.jpg", work);
    bomb("one-component-scans.jpg",
         WithLastScanRepeated(FlatTestJpeg(TestJpegFrame(37, 29, {{4, 4}, {1, 1}, {1, 1}}, true),
                                           SplitScans(SimpleProgression(3))),
                              20));
    TBytes cmyk = EncodeTestJpeg(odd, {.Colour = TTestJpegColour::AdobeCmyk, .Quality = 70, .Progressive = true});
    SetTestJpegFrameSize(cmyk, 16380, 16380);
    bomb("cmyk-declaring-16380.jpg", cmyk);
    TBytes baseline = EncodeTestJpeg(odd, {.Quality = 75});
    SetTestJpegFrameSize(baseline, 18900, 18900);
    bomb("baseline-declaring-18900.jpg", baseline);

    const std::filesystem::path scratch = corpus / "bmp" / "scratch.tmp";
    const TBytes plain = Bmp(odd, scratch);
    WriteTestFile(corpus / "bmp" / "top-down.bmp", plain);
    WriteTestFile(corpus / "bmp" / "bottom-up.bmp", BottomUp(plain, odd));
    WriteTestFile(corpus / "bmp" / "v4-header-gap.bmp", LongHeader(plain));
    WriteTestFile(corpus / "bmp" / "one-pixel.bmp", Bmp(SmoothTestPicture(1, 1), scratch));
    WriteTestFile(corpus / "bmp" / "empty.bmp", Bmp(TBitmap(), scratch));
    std::filesystem::remove(scratch);
    return 0;
}
