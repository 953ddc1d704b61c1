// Uncompressed 24-bit BMP files.
//
// Writing: a 14-byte file header and a 40-byte info header, then the pixel
// rows. The height is stored negative (rows top-down), so the rows of a
// TBitmap, already padded to 4 bytes, go to the file as they are: one write
// for the headers and one for the pixels. All numbers are little-endian.
//
// Reading accepts what the writer produces and the common variants of it:
// rows top-down (negative height) or bottom-up (positive height), an info
// header of 40, 52, 56, 108 or 124 bytes, an optional colour table or gap
// before the pixels. Every other case is refused with EInvalidGraphic before
// anything is allocated: a wrong signature, header size, plane count, bit
// count other than 24, any compression, a negative width, an offset outside
// the file, sizes that overflow or exceed TBitmap::MaxBitmapBytes, and pixel
// data that the file does not hold in full. The header's file size and image
// size are trusted only to be no smaller than what they describe; the real
// size of the data decides. Padding bytes of the rows are not kept: the
// bitmap's padding is zero whatever the file holds there.
//
// WriteBitmap and ReadBitmap work on a file that is already open (FileIO.h):
// WriteBitmap writes at the file's position, ReadBitmap reads the whole file
// from its start, whatever its position. SaveBitmapToFile and
// LoadBitmapFromFile open the file by name for them.
//
// Errors:
//   SaveBitmapToFile   EFCreateError "Cannot create file %s" when the file
//                      cannot be created; as WriteBitmap, and when the final
//                      close fails (a partly written file is left as it is).
//   WriteBitmap        EWriteError "Cannot write file %s" when a write fails.
//   LoadBitmapFromFile EFOpenError "Cannot open file %s" when the file cannot
//                      be opened; as ReadBitmap.
//   ReadBitmap         EFOpenError when the file cannot be read,
//                      EInvalidGraphic for bad content.
//   DecodeBmp          EInvalidGraphic for bad content.
// The file name appears in the messages exactly as given.
#pragma once

#include "Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

void SaveBitmapToFile(const TBitmap& bitmap, const std::string& fileName);
void WriteBitmap(const TBitmap& bitmap, std::FILE* file, const std::string& fileName);

TBitmap LoadBitmapFromFile(const std::string& fileName);
TBitmap ReadBitmap(std::FILE* file, const std::string& fileName);

// Decodes a whole BMP file held in memory; data may be null when size is 0.
TBitmap DecodeBmp(const std::uint8_t* data, std::size_t size);
