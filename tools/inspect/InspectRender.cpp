// kelderwyn-inspect render MAP.jpg LEVEL OUT.bmp: the displayed bitmap of a
// zoom level, without markers, through the viewer's own pipeline and scaler.
#include "Commands.h"

#include "BmpFile.h"
#include "Color.h"
#include "Errors.h"
#include "ImagePipeline.h"
#include "ZoomGeometry.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

const char RenderUsage[] = "usage: kelderwyn-inspect render MAP.jpg LEVEL OUT.bmp (LEVEL 0 to 6)\n";

bool ParseLevel(const char* text, int& level)
{
    if (text[0] < '0' || text[0] > '0' + MaxZoomLevel || text[1] != '\0')
        return false;
    level = text[0] - '0';
    return true;
}

// The temporary BMP goes beside the output, so that rendering never touches
// a "~temp.bmp" the viewer may be using in the working directory.
std::string TempNameFor(const std::string& outName)
{
    return outName + ".~temp.bmp";
}

} // namespace

int RunRender(int argc, char** argv)
{
    int level = 0;
    if (argc != 3 || !ParseLevel(argv[1], level)) {
        std::fputs(RenderUsage, stderr);
        return 2;
    }
    try {
        TMapPictures pictures = LoadMapPictures(argv[0], TempNameFor(argv[2]));
        TBitmap view = pictures.Picture;
        ScaleMap(level, pictures.Master, view);
        SaveBitmapToFile(view, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", UserMessage(e.what()).c_str());
        return 1;
    }
    return 0;
}
