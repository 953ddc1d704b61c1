// Helpers for tests that need JPEG files: a smooth test picture, an encoder
// for every colour layout the decoder handles, an independent reference
// decode, and temporary files. The libjpeg calls here use libjpeg's default
// error handling, which ends the test program on a fatal error.
#pragma once

#include "Bitmap.h"
#include "JpegLayout.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

enum class TTestJpegColour {
    Rgb,        // YCbCr, 4:2:0 unless Subsample is false
    Grey,       // one component: the luminance of the picture
    Cmyk,       // plain ink values, no Adobe marker
    AdobeCmyk,  // inverted ink values with an Adobe marker, as Photoshop writes
    AdobeYcck,  // the same inverted values, stored as YCCK
};

struct TTestJpegOptions {
    TTestJpegColour Colour = TTestJpegColour::Rgb;
    int Quality = 95;
    bool Progressive = false;
    bool Subsample = true;
    bool Arithmetic = false;
};

// A deterministic picture of smooth colour gradients, the kind of content a
// map has, so that a decode stays close to it.
TBitmap SmoothTestPicture(std::int32_t width, std::int32_t height);

std::vector<std::uint8_t> EncodeTestJpeg(const TBitmap& picture, const TTestJpegOptions& options = {});

// Plain libjpeg decode of a one- or three-component file with the viewer's
// settings, to RGB or grey, then rearranged into blue, green, red; warnings,
// when given, receives the count of libjpeg's warnings.
TBitmap ReferenceDecode(const std::vector<std::uint8_t>& jpeg, int* warnings = nullptr);

// The largest difference of any byte of any pixel; the sizes must match.
int MaxPixelDifference(const TBitmap& a, const TBitmap& b);

// Hostile variants of an encoded file: the frame header's size replaced (the
// data stays that of the original size; any frame type), and the last scan
// repeated before the end marker.
void SetTestJpegFrameSize(std::vector<std::uint8_t>& jpeg, unsigned width, unsigned height);
std::vector<std::uint8_t> WithLastScanRepeated(const std::vector<std::uint8_t>& jpeg, int times);

// A file of a flat picture, every coefficient zero, with the given frame and
// scans (frame indices of components; sequential files take Huffman tables
// for any band). Each scan codes every block it covers, as an encoder would,
// so decoding it is real work and libjpeg meets neither a premature end of
// data nor extra bytes. Arithmetic coding is not supported.
std::vector<std::uint8_t> FlatTestJpeg(const TJpegFrame& frame, const std::vector<TJpegScan>& scans);

// A grey arithmetic-coded file, sequential or with libjpeg's simple
// progression, written by libjpeg from the coefficients themselves (every
// quantisation step 1): in every block DC is 0 and each AC coefficient has the
// given magnitude, at a cost of one bit of data, its sign. A large magnitude
// gives the decoder the most work a block can ask of it.
std::vector<std::uint8_t> ArithmeticTestJpeg(unsigned width, unsigned height, bool progressive, int magnitude);

// A frame of the given size: components with these sampling factors and ids
// 1, 2, ...
TJpegFrame TestJpegFrame(unsigned width, unsigned height, const std::vector<std::pair<int, int>>& sampling,
                         bool progressive);

// The scans of libjpeg's jpeg_simple_progression, which cjpeg -progressive,
// ImageMagick and GIMP write, for a grey, YCbCr or CMYK frame.
std::vector<TJpegScan> SimpleProgression(int components);

// One interleaved scan of every component: a baseline file.
std::vector<TJpegScan> OneScan(int components);

// The same scans with each scan of several components split into scans of one.
std::vector<TJpegScan> SplitScans(const std::vector<TJpegScan>& scans);

// A path in the system's temporary folder unique to this process and name.
std::filesystem::path TempTestPath(const std::string& name);

void WriteTestFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadTestFile(const std::filesystem::path& path);
