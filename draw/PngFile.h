// SavePng: a picture written as a PNG file by Qt's PNG writer at its default
// settings, through a file this program creates itself (FileIO.h), so that
// the name reaches the file system as the bytes given, UTF-8 or not; a
// QString file name would not carry such a name unchanged.
//
// Errors: EFCreateError "Cannot create file %s" when the file cannot be
// created, EWriteError "Cannot write file %s" when the picture cannot be
// written or the file closed; a file that was created stays.
#pragma once

#include <QImage>

#include <string>

void SavePng(const QImage& image, const std::string& fileName);
