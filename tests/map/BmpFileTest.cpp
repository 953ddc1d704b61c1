#include "BmpFile.h"
#include "Errors.h"
#include "TestJpeg.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>

namespace {

TBitmap NoisePicture(std::int32_t width, std::int32_t height, unsigned seed)
{
    TBitmap picture(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t i = 0; i < width * 3; ++i) {
            seed = seed * 1103515245u + 12345u;
            picture.ScanLine(y)[i] = static_cast<std::uint8_t>(seed >> 16);
        }
    return picture;
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// A bottom-up BMP with a 124-byte info header, a gap before the pixels and
// non-zero row padding: everything the writer never produces.
std::vector<std::uint8_t> BottomUpBmp(const TBitmap& picture)
{
    const std::size_t stride = TBitmap::StrideFor(picture.Width());
    const std::size_t offset = 14 + 124 + 16;
    std::vector<std::uint8_t> bytes(offset + stride * static_cast<std::size_t>(picture.Height()), 0xEE);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
    Put32(bytes, 6, 0);
    Put32(bytes, 10, offset);
    Put32(bytes, 14, 124);
    Put32(bytes, 18, static_cast<std::uint32_t>(picture.Width()));
    Put32(bytes, 22, static_cast<std::uint32_t>(picture.Height()));
    Put16(bytes, 26, 1);
    Put16(bytes, 28, 24);
    Put32(bytes, 30, 0);
    Put32(bytes, 34, 0);
    for (std::int32_t y = 0; y < picture.Height(); ++y)
        std::memcpy(bytes.data() + offset + stride * static_cast<std::size_t>(picture.Height() - 1 - y),
                    picture.ScanLine(y), static_cast<std::size_t>(picture.Width()) * 3);
    return bytes;
}

void ExpectZeroPadding(const TBitmap& bitmap)
{
    const auto used = static_cast<std::size_t>(bitmap.Width()) * 3;
    for (std::int32_t y = 0; y < bitmap.Height(); ++y)
        for (std::size_t i = used; i < bitmap.RowStride(); ++i)
            ASSERT_EQ(bitmap.ScanLine(y)[i], 0) << "row " << y;
}

class BmpFileTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(Path); }
    std::filesystem::path Path = TempTestPath(::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                              std::string(".bmp"));
};

} // namespace

TEST_F(BmpFileTest, RoundTripKeepsEveryPixelForEveryRowPadding)
{
    for (std::int32_t width : {0, 1, 2, 3, 4, 5, 6, 7, 8, 13})
        for (std::int32_t height : {0, 1, 2, 5}) {
            SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
            const TBitmap picture = NoisePicture(width, height, static_cast<unsigned>(width * 31 + height));
            SaveBitmapToFile(picture, Path.string());
            EXPECT_EQ(std::filesystem::file_size(Path), 54 + picture.ByteSize());
            const TBitmap loaded = LoadBitmapFromFile(Path.string());
            EXPECT_EQ(loaded.Width(), width);
            EXPECT_EQ(loaded.Height(), height);
            EXPECT_TRUE(loaded == picture);
            const std::vector<std::uint8_t> bytes = ReadTestFile(Path);
            EXPECT_TRUE(DecodeBmp(bytes.data(), bytes.size()) == picture);
        }
}

TEST_F(BmpFileTest, ReadsBottomUpRowsAndClearsTheirPadding)
{
    for (std::int32_t width : {1, 2, 3, 4}) {
        const TBitmap picture = NoisePicture(width, 7, 5);
        const std::vector<std::uint8_t> bytes = BottomUpBmp(picture);
        const TBitmap decoded = DecodeBmp(bytes.data(), bytes.size());
        EXPECT_TRUE(decoded == picture) << width;
        ExpectZeroPadding(decoded);
        WriteTestFile(Path, bytes);
        const TBitmap loaded = LoadBitmapFromFile(Path.string());
        EXPECT_TRUE(loaded == picture) << width;
        ExpectZeroPadding(loaded);
    }
}

TEST(BmpFile, RefusesHostileHeaders)
{
    const TBitmap picture = NoisePicture(5, 3, 9);
    const std::vector<std::uint8_t> good = BottomUpBmp(picture);
    ASSERT_TRUE(DecodeBmp(good.data(), good.size()) == picture);

    using TEdit = std::function<void(std::vector<std::uint8_t>&)>;
    const struct {
        const char* Name;
        TEdit Edit;
        const char* Message;
    } cases[] = {
        {"empty", [](auto& b) { b.clear(); }, "too short for a BMP header"},
        {"ten bytes", [](auto& b) { b.resize(10); }, "too short for a BMP header"},
        {"signature", [](auto& b) { b[1] = 'A'; }, "no BMP signature"},
        {"core header", [](auto& b) { Put32(b, 14, 12); }, "unsupported info header size 12"},
        {"huge header", [](auto& b) { Put32(b, 14, 0xFFFFFFF0u); }, "unsupported info header size"},
        {"header cut", [](auto& b) { b.resize(60); }, "the header is truncated"},
        {"planes", [](auto& b) { Put16(b, 26, 2); }, "plane count 2"},
        {"8 bits", [](auto& b) { Put16(b, 28, 8); }, "bit count 8"},
        {"32 bits", [](auto& b) { Put16(b, 28, 32); }, "bit count 32"},
        {"compressed", [](auto& b) { Put32(b, 30, 1); }, "compression type 1"},
        {"negative width", [](auto& b) { Put32(b, 18, static_cast<std::uint32_t>(-5)); }, "negative width -5"},
        {"minimum height", [](auto& b) { Put32(b, 22, 0x80000000u); }, "height out of range"},
        {"width * height overflows",
         [](auto& b) {
             Put32(b, 18, INT32_MAX);
             Put32(b, 22, INT32_MAX);
         },
         "2147483647 x 2147483647 pixels is too large"},
        {"over 2 GiB",
         [](auto& b) {
             Put32(b, 18, 40000);
             Put32(b, 22, static_cast<std::uint32_t>(-40000));
         },
         "40000 x 40000 pixels is too large"},
        {"size larger than the data", [](auto& b) { Put32(b, 18, 1000); }, "the pixel data is truncated"},
        {"pixels cut", [](auto& b) { b.pop_back(); }, "the pixel data is truncated"},
        {"image size too small", [](auto& b) { Put32(b, 34, 47); }, "image size 47 is smaller than the 48 bytes"},
        {"offset past the end", [](auto& b) { Put32(b, 10, 0xFFFFFFFFu); }, "lies past the end of the file"},
        {"offset in the headers", [](auto& b) { Put32(b, 10, 100); }, "pixel offset 100 lies inside the headers"},
        {"file size lies", [](auto& b) { Put32(b, 2, static_cast<std::uint32_t>(b.size() + 1)); }, "the file is truncated"},
    };
    for (const auto& test : cases) {
        std::vector<std::uint8_t> bytes = good;
        test.Edit(bytes);
        try {
            DecodeBmp(bytes.data(), bytes.size());
            ADD_FAILURE() << test.Name << ": accepted";
        } catch (const EInvalidGraphic& error) {
            EXPECT_NE(std::string(error.what()).find(test.Message), std::string::npos)
                << test.Name << ": " << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("Invalid BMP image: ", 0), 0u) << error.what();
        }
    }
}

TEST_F(BmpFileTest, NamesTheFileOfBadContent)
{
    std::vector<std::uint8_t> bytes = BottomUpBmp(NoisePicture(3, 3, 1));
    bytes.resize(bytes.size() - 5);
    WriteTestFile(Path, bytes);
    EXPECT_THROW(
        {
            try {
                LoadBitmapFromFile(Path.string());
            } catch (const EInvalidGraphic& error) {
                EXPECT_EQ(std::string(error.what()).rfind("Invalid BMP file " + Path.string() + ": ", 0), 0u)
                    << error.what();
                throw;
            }
        },
        EInvalidGraphic);
}

TEST(BmpFile, ReportsFilesThatCannotBeCreatedOpenedOrWritten)
{
    const std::string missingFolder = "no-such-folder-kelderwyn/~temp.bmp";
    try {
        SaveBitmapToFile(NoisePicture(2, 2, 3), missingFolder);
        ADD_FAILURE() << "created";
    } catch (const EFCreateError& error) {
        EXPECT_STREQ(error.what(), "Cannot create file no-such-folder-kelderwyn/~temp.bmp");
    }
    try {
        LoadBitmapFromFile(missingFolder);
        ADD_FAILURE() << "opened";
    } catch (const EFOpenError& error) {
        EXPECT_STREQ(error.what(), "Cannot open file no-such-folder-kelderwyn/~temp.bmp");
    }
    EXPECT_THROW(LoadBitmapFromFile(std::filesystem::temp_directory_path().string()), EFOpenError);

    // A full device takes the open but not the data: that must not pass as success.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_THROW(SaveBitmapToFile(NoisePicture(300, 300, 4), "/dev/full"), EWriteError);
        EXPECT_THROW(SaveBitmapToFile(TBitmap(), "/dev/full"), EWriteError);
    }
}
