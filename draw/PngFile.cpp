#include "PngFile.h"

#include "Errors.h"
#include "FileIO.h"

#include <QFile>
#include <QImageWriter>

#include <cstdio>

void SavePng(const QImage& image, const std::string& fileName)
{
    TFilePtr file = CreateForWriting(fileName);
    bool written = false;
    {
        QFile device;
        written = device.open(file.get(), QIODevice::WriteOnly) && QImageWriter(&device, "png").write(image) &&
                  device.flush();
    }
    if (std::fclose(file.release()) != 0 || !written)
        throw EWriteError(fileName);
}
