// Helpers for tests that need JPEG files: a smooth test picture, an encoder
// for every colour layout the decoder handles, an independent reference
// decode, and temporary files. The libjpeg calls here use libjpeg's default
// error handling, which ends the test program on a fatal error.
#pragma once

#include "Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <string>
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
};

// A deterministic picture of smooth colour gradients, the kind of content a
// map has, so that a decode stays close to it.
TBitmap SmoothTestPicture(std::int32_t width, std::int32_t height);

std::vector<std::uint8_t> EncodeTestJpeg(const TBitmap& picture, const TTestJpegOptions& options = {});

// Plain libjpeg decode of a one- or three-component file with the viewer's
// settings, to RGB or grey, then rearranged into blue, green, red.
TBitmap ReferenceDecode(const std::vector<std::uint8_t>& jpeg);

// The largest difference of any byte of any pixel; the sizes must match.
int MaxPixelDifference(const TBitmap& a, const TBitmap& b);

// Hostile variants of an encoded file: the frame header's size replaced (the
// data stays that of the original size), and the last scan repeated before
// the end marker.
void SetTestJpegFrameSize(std::vector<std::uint8_t>& jpeg, unsigned width, unsigned height);
std::vector<std::uint8_t> WithLastScanRepeated(const std::vector<std::uint8_t>& jpeg, int times);

// A path in the system's temporary folder unique to this process and name.
std::filesystem::path TempTestPath(const std::string& name);

void WriteTestFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadTestFile(const std::filesystem::path& path);
