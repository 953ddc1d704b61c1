#include "BmpFile.h"

#include "Errors.h"
#include "FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#ifdef __linux__
#include <fcntl.h>
#endif

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
constexpr std::size_t MaxInfoHeaderSize = 124;
constexpr std::size_t MaxHeadSize = FileHeaderSize + MaxInfoHeaderSize;

static_assert(TBitmap::MaxBitmapBytes <= std::numeric_limits<std::uint32_t>::max() - FileHeaderSize - InfoHeaderSize,
              "the BMP size fields are 32-bit");

struct TBmpLayout {
    std::int32_t Width = 0;
    std::int32_t Rows = 0;
    bool TopDown = false;
    std::size_t PixelOffset = 0;
    std::size_t ImageBytes = 0;
};

std::uint16_t Get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t Get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void Put16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

[[noreturn]] void Invalid(const std::string& source, const std::string& reason)
{
    throw EInvalidGraphic("Invalid " + source + ": " + reason);
}

std::string Num(std::uint64_t value)
{
    return std::to_string(value);
}

// head holds the first headLength bytes of a file of fileSize bytes.
TBmpLayout ParseHeader(const std::uint8_t* head, std::size_t headLength, std::uint64_t fileSize,
                       const std::string& source)
{
    if (headLength < FileHeaderSize + 4)
        Invalid(source, "the file is too short for a BMP header");
    if (head[0] != 'B' || head[1] != 'M')
        Invalid(source, "no BMP signature");
    const std::uint32_t declaredFileSize = Get32(head + 2);
    const std::uint32_t pixelOffset = Get32(head + 10);
    const std::uint32_t infoSize = Get32(head + 14);
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        Invalid(source, "unsupported info header size " + Num(infoSize));
    if (headLength < FileHeaderSize + infoSize)
        Invalid(source, "the header is truncated");

    const std::uint8_t* info = head + FileHeaderSize;
    const auto width = static_cast<std::int32_t>(Get32(info + 4));
    const auto height = static_cast<std::int32_t>(Get32(info + 8));
    const std::uint16_t planes = Get16(info + 12);
    const std::uint16_t bitCount = Get16(info + 14);
    const std::uint32_t compression = Get32(info + 16);
    const std::uint32_t declaredImageSize = Get32(info + 20);

    if (planes != 1)
        Invalid(source, "plane count " + Num(planes) + " instead of 1");
    if (bitCount != 24)
        Invalid(source, "bit count " + Num(bitCount) + " (only 24-bit images can be read)");
    if (compression != 0)
        Invalid(source, "compression type " + Num(compression) + " (only uncompressed images can be read)");
    if (width < 0)
        Invalid(source, "negative width " + std::to_string(width));
    if (height == std::numeric_limits<std::int32_t>::min())
        Invalid(source, "height out of range");

    TBmpLayout layout;
    layout.Width = width;
    layout.TopDown = height < 0;
    layout.Rows = layout.TopDown ? -height : height;
    if (!TBitmap::SizeFits(layout.Width, layout.Rows))
        Invalid(source, "an image of " + std::to_string(layout.Width) + " x " + std::to_string(layout.Rows) +
                            " pixels is too large");
    // SizeFits has bounded stride * rows by MaxBitmapBytes, so this cannot overflow.
    layout.ImageBytes = TBitmap::StrideFor(layout.Width) * static_cast<std::size_t>(layout.Rows);

    if (declaredImageSize != 0 && declaredImageSize < layout.ImageBytes)
        Invalid(source, "image size " + Num(declaredImageSize) + " is smaller than the " + Num(layout.ImageBytes) +
                            " bytes of its pixels");
    if (pixelOffset < FileHeaderSize + infoSize)
        Invalid(source, "pixel offset " + Num(pixelOffset) + " lies inside the headers");
    if (pixelOffset > fileSize)
        Invalid(source, "pixel offset " + Num(pixelOffset) + " lies past the end of the file");
    if (layout.ImageBytes > fileSize - pixelOffset)
        Invalid(source, "the pixel data is truncated (" + Num(layout.ImageBytes) + " bytes needed, " +
                            Num(fileSize - pixelOffset) + " present)");
    if (declaredFileSize > fileSize)
        Invalid(source, "the file is truncated (" + Num(declaredFileSize) + " bytes declared, " + Num(fileSize) +
                            " present)");
    layout.PixelOffset = pixelOffset;
    return layout;
}

// Puts bottom-up rows into top-down order and zeroes the row padding.
void FinishRows(TBitmap& bitmap, bool topDown)
{
    if (bitmap.Empty())
        return;
    std::uint8_t* bits = bitmap.Bits();
    const std::size_t stride = bitmap.RowStride();
    const auto rows = static_cast<std::size_t>(bitmap.Height());
    if (!topDown)
        for (std::size_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(bits + top * stride, bits + (top + 1) * stride, bits + bottom * stride);
    const std::size_t used = static_cast<std::size_t>(bitmap.Width()) * 3;
    if (stride > used)
        for (std::size_t y = 0; y < rows; ++y)
            std::memset(bits + y * stride + used, 0, stride - used);
}

} // namespace

void WriteBitmap(const TBitmap& bitmap, std::FILE* file, const std::string& fileName)
{
    const std::size_t imageBytes = bitmap.ByteSize();
    std::uint8_t header[FileHeaderSize + InfoHeaderSize] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, static_cast<std::uint32_t>(sizeof header + imageBytes));
    Put32(header + 10, sizeof header);
    std::uint8_t* info = header + FileHeaderSize;
    Put32(info, InfoHeaderSize);
    Put32(info + 4, static_cast<std::uint32_t>(bitmap.Width()));
    Put32(info + 8, static_cast<std::uint32_t>(-bitmap.Height()));
    Put16(info + 12, 1);
    Put16(info + 14, 24);
    Put32(info + 20, static_cast<std::uint32_t>(imageBytes));

#ifdef FALLOC_FL_KEEP_SIZE
    // Reserving the whole file in one call spares the file system a reservation
    // per block while the pixels are written (a third of the write's time for
    // a map-sized file). The size stays as written, and a file system that
    // cannot reserve simply does not.
    ::fallocate(fileno(file), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(sizeof header + imageBytes));
#endif
    bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header;
    if (written && imageBytes > 0)
        written = std::fwrite(bitmap.Bits(), 1, imageBytes, file) == imageBytes;
    if (!written || std::fflush(file) != 0)
        throw EWriteError(fileName, SystemReason(errno));
}

void SaveBitmapToFile(const TBitmap& bitmap, const std::string& fileName)
{
    TFilePtr file = CreateForWriting(fileName);
    WriteBitmap(bitmap, file.get(), fileName);
    if (std::fclose(file.release()) != 0)
        throw EWriteError(fileName, SystemReason(errno));
}

TBitmap ReadBitmap(std::FILE* file, const std::string& fileName)
{
    const std::uint64_t fileSize = FileSize(file, fileName);
    if (std::fseek(file, 0, SEEK_SET) != 0)
        throw EFOpenError(fileName, SystemReason(errno));

    const std::string source = "BMP file " + fileName;
    std::uint8_t head[MaxHeadSize];
    const std::size_t headLength = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, MaxHeadSize));
    if (ReadFully(file, head, headLength, fileName) != headLength)
        Invalid(source, "the file ended while it was read");
    const TBmpLayout layout = ParseHeader(head, headLength, fileSize, source);

    TBitmap bitmap(layout.Width, layout.Rows);
    if (layout.ImageBytes > 0) {
        if (std::fseek(file, static_cast<long>(layout.PixelOffset), SEEK_SET) != 0)
            throw EFOpenError(fileName, SystemReason(errno));
        if (ReadFully(file, bitmap.Bits(), layout.ImageBytes, fileName) != layout.ImageBytes)
            Invalid(source, "the file ended while it was read");
    }
    FinishRows(bitmap, layout.TopDown);
    return bitmap;
}

TBitmap LoadBitmapFromFile(const std::string& fileName)
{
    const TFilePtr file = OpenForReading(fileName);
    return ReadBitmap(file.get(), fileName);
}

TBitmap DecodeBmp(const std::uint8_t* data, std::size_t size)
{
    const TBmpLayout layout = ParseHeader(data, std::min(size, MaxHeadSize), size, "BMP image");
    TBitmap bitmap(layout.Width, layout.Rows);
    if (layout.ImageBytes > 0)
        std::memcpy(bitmap.Bits(), data + layout.PixelOffset, layout.ImageBytes);
    FinishRows(bitmap, layout.TopDown);
    return bitmap;
}
