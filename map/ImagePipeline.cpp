#include "ImagePipeline.h"

#include "BmpFile.h"
#include "JpegImage.h"

#include <cstdio>

TMapPictures LoadMapPictures(const std::string& jpegName, const std::string& tempName)
{
    {
        // The JPEG data and the decoded bitmap are freed before the picture
        // is read back: only one full-size bitmap is held at a time.
        TJPEGImage mapJpeg;
        mapJpeg.LoadFromFile(jpegName);
        TBitmap decoded;
        mapJpeg.DecodeInto(decoded);
        SaveBitmapToFile(decoded, tempName);
    }
    TMapPictures pictures;
    pictures.Picture = LoadBitmapFromFile(tempName);
    std::remove(tempName.c_str());
    pictures.Master = pictures.Picture;
    return pictures;
}
