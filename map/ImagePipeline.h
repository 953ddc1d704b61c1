// The start-up image pipeline: the map JPEG becomes the picture of the image
// control and a full-resolution master, by way of a temporary BMP file.
//
//   1. read the whole JPEG file and parse its header   (EFOpenError, EJPEG)
//   2. decode it into a 24-bit bitmap                  (EJPEG)
//   3. write that bitmap to tempName, replacing it     (EFCreateError)
//   4. read tempName back: that is the picture         (EFOpenError, EInvalidGraphic)
//   5. delete tempName; a failed deletion is silent
//   6. the master is a copy of the picture (shared until either is written)
//
// An exception ends the pipeline at its step and nothing is returned; a temp
// file written before the failure stays on disk.
#pragma once

#include "Bitmap.h"

#include <string>

struct TMapPictures {
    TBitmap Picture;
    TBitmap Master;
};

TMapPictures LoadMapPictures(const std::string& jpegName, const std::string& tempName);
