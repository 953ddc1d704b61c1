// TJPEGImage: holds a JPEG file in memory and decodes it into a TBitmap.
//
// LoadFromFile reads the whole file and LoadFromMemory copies the data given;
// both parse the header at once (size, colour components, progressive or
// not), so a malformed header fails there, and walk the file's markers to
// weigh its decode (JpegLayout.h). DecodeInto decodes every scan at
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
// Limits. Every JPEG, whatever its header declares, is decoded or refused
// within 3 s on a two-core desktop, with the decode's memory under
// MaxDecodeBytes, while maps of up to eight times the 3300 x 3800 pixels the
// world coordinates fit still decode: baseline files, and progressive files
// with the scans that cjpeg -progressive, ImageMagick and GIMP write.
//   - MaxFileBytes, MaxDecodeWork / 3 (53 MB): a larger file is refused
//     before it is read with "JPEG file too large (N bytes)"; at 3 units a
//     byte, the least any data costs (below), it could never be decoded.
//   - MaxImagePixels, 8 x 3300 x 3800 (100.32 million pixels, 301 MB of
//     bitmap): a larger image is refused when the header is read with
//     "JPEG image too large (W x H pixels)". So is one whose decode would need
//     more than MaxDecodeBytes, 960 MiB: the file, the bitmap and, for a file
//     of several scans, libjpeg's coefficient arrays of 128 bytes per block
//     per component (see JpegLayout.h). A 100-million-pixel progressive file
//     sampled 4:4:4, as ImageMagick writes it at quality 90 and above, needs
//     903 MB; a four-component progressive one fits up to about 87 million
//     pixels. With the rest of the process that stays under 1.2 GB.
//   - MaxScans, 500: a file with more scans is refused before it is decoded
//     with "JPEG image has more than 500 scans". Encoders write 1 to about 20.
//   - MaxDecodeWork, 160 million units of JpegLayout.h (about a second): a
//     file whose scans and data together ask more is refused before it is
//     decoded with "JPEG image has too many scans for its size", or with
//     "JPEG image too slow to decode (N bytes of compressed data)" when its
//     data asks more than its scans.
//     At 100 million pixels the scans of cjpeg -progressive ask 24 (grey) to
//     52 (colour, 4:4:4) million units, which leaves room for 18 to 22 MB of
//     data at 6 units a byte (the sample world's map at that size takes
//     14 MB at quality 92, ImageMagick's default); a baseline file's one scan
//     asks 3 to 13 million, which leaves some 50 MB at 3 a byte. The budget
//     is what is left of the 3 s once the memory is paid for: on a virtual
//     machine the first touch of fresh memory alone may cost 1 to 3 ns a byte.
//   While libjpeg decodes, its progress monitor counts the scan work of every
//   row of MCUs it takes in and stops a decode that goes over what the budget
//   left for the scans, with the same message: a backstop should the walk
//   of the markers and libjpeg ever disagree.
//   An arithmetic-coded file's AC coefficients cost what they hold, which
//   only the decode finds out: libjpeg's entropy decoder is wrapped so that
//   every block is charged as it is decoded (JpegLayout.h). A decode of such
//   a file that goes over the budget, by either count, stops after about a
//   second at most with "JPEG image too slow to decode (N bytes of
//   compressed data)". Arithmetic-coded maps of 3300 x 3800 pixels,
//   sequential or progressive, sampled 4:2:0 or 4:4:4, at quality 92 to 100,
//   ask 50 to 150 million units and decode in 0.3 to 0.9 s.
// libjpeg's coefficient arrays, its only large buffers, are allocated by this
// class within what MaxDecodeBytes leaves after the file and the bitmap, as
// fresh memory backed by huge pages where the system offers them; libjpeg's
// own memory limit is set to the same bound and it has no backing store, so
// a JPEGMEM setting in the environment has no effect.
//
// Errors: EFOpenError "Cannot open file %s" when the file cannot be opened or
// read; EJPEG "JPEG error #%d" with libjpeg's message code for anything
// libjpeg cannot parse or decode, and the limit messages above. "JPEG error
// #%d" carries libjpeg's own words for the code as its reason and, for a file
// loaded by LoadFromFile, the file's name (Errors.h). A failed load leaves
// the object as it was; a failed decode leaves the bitmap untouched.
#pragma once

#include "Bitmap.h"
#include "JpegLayout.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TJPEGImage {
public:
    static constexpr std::uint64_t MaxImagePixels = std::uint64_t{8} * 3300 * 3800;
    static constexpr std::uint64_t MaxDecodeBytes = std::uint64_t{960} << 20;
    static constexpr int MaxScans = 500;
    static constexpr std::uint64_t MaxDecodeWork = 160'000'000;
    static constexpr std::size_t MaxFileBytes = MaxDecodeWork / 3;

    void LoadFromFile(const std::string& fileName);
    void LoadFromMemory(const std::uint8_t* data, std::size_t size);

    std::int32_t Width() const { return static_cast<std::int32_t>(FFrame.Width); }
    std::int32_t Height() const { return static_cast<std::int32_t>(FFrame.Height); }
    int Components() const { return FFrame.Count; }
    bool Progressive() const { return FFrame.Progressive; }
    bool Empty() const { return FData.empty(); }

    // The scans the file holds and the work they ask, as WalkJpegScans
    // counts them, and the work of its data.
    const TJpegScanTotals& Scans() const { return FScans; }
    std::uint64_t DataWork() const { return ::DataWork(FFrame, FData.size()); }

    // Decodes the whole image into bitmap, which gets the image's size. An
    // empty TJPEGImage gives an empty bitmap.
    void DecodeInto(TBitmap& bitmap) const;

    // Lowers the progress monitor's bound on the scan work it counts during
    // the decode below what the budget leaves, for tests of that backstop.
    void SetScanWorkLimit(std::uint64_t limit) { FScanWorkLimit = limit; }

private:
    void Load(std::vector<std::uint8_t> data, const std::string& fileName);

    std::vector<std::uint8_t> FData;
    std::string FFileName;
    TJpegFrame FFrame;
    TJpegScanTotals FScans;
    std::uint64_t FScanWorkLimit = MaxDecodeWork;
};
