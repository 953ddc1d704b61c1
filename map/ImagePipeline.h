// The start-up image pipeline: the map JPEG becomes the picture of the image
// control and a full-resolution master, by way of a temporary BMP file.
//
//   1. read the whole JPEG file and parse its header   (EFOpenError, EJPEG)
//   2. decode it into a 24-bit bitmap                  (EJPEG)
//   3. write that bitmap to tempName, replacing it     (EFCreateError, EWriteError)
//   4. read tempName back: that is the picture         (EFOpenError, EInvalidGraphic)
//   5. delete tempName; a failed deletion is silent
//   6. the master is a copy of the picture (shared until either is written)
//
// tempName is replaced, never written through: whatever stood under that name
// (a file, a link and what it points to) keeps its contents, the new file is
// created in tempName's own folder, and step 4 reads that same file back
// through the handle that wrote it, whatever the name has come to point to
// since (FileIO.h). Steps 4 and 5 leave the name alone unless it still names
// the file of step 3. Where the folder keeps the name (no write permission),
// a BMP that an earlier start left there is written over and, as step 5
// cannot delete it, stays; anything else there is left as it is and step 3
// fails with EFCreateError.
//
// An exception ends the pipeline at its step and nothing is returned. A write
// that fails at step 3 removes the partial file it made; a complete file whose
// read-back fails at step 4 stays on disk.
//
// StartLoadingMapPictures runs the pipeline on a worker thread; where no
// thread can be started it returns an empty future, and
// FinishLoadingMapPictures then runs the pipeline on the calling thread.
// Either way FinishLoadingMapPictures returns the pictures or throws the
// pipeline's exception. MapPicturesPending tells whether a worker is still at
// it, so that the calling thread can use the wait.
#pragma once

#include "Bitmap.h"

#include <future>
#include <string>

struct TMapPictures {
    TBitmap Picture;
    TBitmap Master;
};

TMapPictures LoadMapPictures(const std::string& jpegName, const std::string& tempName);

std::future<TMapPictures> StartLoadingMapPictures(const std::string& jpegName, const std::string& tempName);
TMapPictures FinishLoadingMapPictures(std::future<TMapPictures>& loading, const std::string& jpegName,
                                      const std::string& tempName);
bool MapPicturesPending(const std::future<TMapPictures>& loading);
