// TJPEGImage: holds a JPEG file in memory and decodes it into a TBitmap.
//
// LoadFromFile reads the whole file and LoadFromMemory copies the data given;
// both parse the header at once (size, colour components, progressive or
// not), so a malformed header fails there. DecodeInto decodes every scan at
// full size into a 24-bit bitmap, pixels blue, green, red, row 0 at the top.
// libjpeg decodes from the in-memory copy with the accurate integer inverse
// DCT, interpolating up-sampling, inter-block smoothing (progressive files)
// and no colour quantisation; its warnings are ignored.
//
// Colour: a three-component file is converted by libjpeg (YCbCr or RGB). A
// grey file gives blue = green = red = the grey value. A four-component file
// is decoded to CMYK (libjpeg turns YCCK into CMYK) and each channel becomes
// 255 * (1 - ink) * (1 - black), rounded: red from cyan, green from magenta,
// blue from yellow. A file with an Adobe marker stores its CMYK inverted (0 is
// full ink), as Photoshop writes it; a file without one stores plain ink.
//
// Limits, checked before anything large is allocated:
//   - an image whose 24-bit bitmap would exceed MaxImageBytes is refused with
//     "JPEG image too large (W x H pixels)";
//   - a file with more than MaxScans scans is refused with
//     "JPEG image has more than N scans" while it is decoded, and one whose
//     scans would take more than MaxScanWork to decode with "JPEG image has
//     too many scans for its size";
//   - a file above MaxFileBytes is refused with "JPEG file too large".
//   libjpeg's working memory is bounded by MaxWorkingMemory, set on every
//   decompressor, so a JPEGMEM setting in the environment has no effect.
//
// Errors: EFOpenError "Cannot open file %s" when the file cannot be opened or
// read; EJPEG "JPEG error #%d" with libjpeg's message code for anything
// libjpeg cannot parse or decode, and the limit messages above. A failed load
// leaves the object as it was; a failed decode leaves the bitmap untouched.
#pragma once

#include "Bitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

class TJPEGImage {
public:
    // 1 GiB of 24-bit pixels, about 358 million: a 12000 x 12000 map needs
    // 412 MiB, so real maps fit with room to spare, while a header of a few
    // hundred bytes claiming 65500 x 65500 (12 GiB) is refused before libjpeg
    // allocates anything. Half of TBitmap's hard cap keeps the decode of the
    // largest accepted image within reach of an ordinary desktop.
    static constexpr std::size_t MaxImageBytes = std::size_t{1} << 30;
    // Encoders write 1 to about 20 scans; 500 is far above any real file and
    // bounds the work a hostile file of repeated scans can cause (each scan
    // may revisit every block of the image).
    static constexpr int MaxScans = 500;
    // Scans of a large image cost more: a scan of a few bytes still makes
    // libjpeg visit every block. The rows of MCUs taken in and put out, each
    // counted by the image's width, may add up to MaxScans scans of an
    // 8192 x 8192 image at 8 rows per MCU row: a few seconds at worst, and
    // still over 100 full scans of the largest image accepted.
    static constexpr std::uint64_t MaxScanWork = std::uint64_t{MaxScans} * 8192 * 8192 / 8;
    // A compressed file larger than the largest bitmap we accept is not a map.
    static constexpr std::size_t MaxFileBytes = MaxImageBytes;
    // A multi-scan file keeps its whole coefficient buffer: at most 2 bytes per
    // sample, 4 components at full resolution, so 8 bytes per pixel, which is
    // under 3 GiB for the largest accepted image. Nothing else libjpeg needs
    // comes near that; a tighter bound would refuse images we accept.
    static constexpr long MaxWorkingMemory =
        static_cast<long>(std::min<long long>(3LL << 30, std::numeric_limits<long>::max()));

    void LoadFromFile(const std::string& fileName);
    void LoadFromMemory(const std::uint8_t* data, std::size_t size);

    std::int32_t Width() const { return FWidth; }
    std::int32_t Height() const { return FHeight; }
    int Components() const { return FComponents; }
    bool Progressive() const { return FProgressive; }
    bool Empty() const { return FData.empty(); }

    // Decodes the whole image into bitmap, which gets the image's size. An
    // empty TJPEGImage gives an empty bitmap.
    void DecodeInto(TBitmap& bitmap) const;

    // The decode's bound on scan work, MaxScanWork unless lowered (by tests,
    // which cannot afford the images that reach the real bound).
    void SetScanWorkLimit(std::uint64_t limit) { FScanWorkLimit = limit; }

private:
    void Load(std::vector<std::uint8_t> data);

    std::vector<std::uint8_t> FData;
    std::int32_t FWidth = 0;
    std::int32_t FHeight = 0;
    int FComponents = 0;
    bool FProgressive = false;
    std::uint64_t FScanWorkLimit = MaxScanWork;
};
