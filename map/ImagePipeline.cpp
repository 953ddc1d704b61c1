#include "ImagePipeline.h"

#include "BmpFile.h"
#include "Errors.h"
#include "FileIO.h"
#include "JpegImage.h"

#include <chrono>
#include <system_error>

TMapPictures LoadMapPictures(const std::string& jpegName, const std::string& tempName)
{
    TFilePtr temp;
    {
        // The JPEG data and the decoded bitmap are freed before the picture
        // is read back: only one full-size bitmap is held at a time.
        TJPEGImage mapJpeg;
        mapJpeg.LoadFromFile(jpegName);
        TBitmap decoded;
        mapJpeg.DecodeInto(decoded);
        temp = CreateReplacing(tempName);
        try {
            WriteBitmap(decoded, temp.get(), tempName);
        } catch (const EWriteError&) {
            RemoveIfStillNamed(tempName, temp.get());
            throw;
        }
    }
    TMapPictures pictures;
    pictures.Picture = ReadBitmap(temp.get(), tempName);
    RemoveIfStillNamed(tempName, temp.get());
    pictures.Master = pictures.Picture;
    return pictures;
}

std::future<TMapPictures> StartLoadingMapPictures(const std::string& jpegName, const std::string& tempName)
{
    try {
        return std::async(std::launch::async, LoadMapPictures, jpegName, tempName);
    } catch (const std::system_error&) {
        return {};
    }
}

TMapPictures FinishLoadingMapPictures(std::future<TMapPictures>& loading, const std::string& jpegName,
                                      const std::string& tempName)
{
    return loading.valid() ? loading.get() : LoadMapPictures(jpegName, tempName);
}

bool MapPicturesPending(const std::future<TMapPictures>& loading)
{
    return loading.valid() && loading.wait_for(std::chrono::seconds(0)) == std::future_status::timeout;
}
