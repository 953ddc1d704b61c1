// kelderwyn-inspect render [--markers FILE.gdb] MAP.jpg LEVEL OUT.bmp: the
// displayed bitmap of a zoom level through the viewer's own pipeline and
// scaler, and with --markers the level's markers and labels for the places of
// FILE.gdb, drawn by the viewer's own code on Qt's offscreen platform.
#include "Commands.h"

#include "BmpFile.h"
#include "Color.h"
#include "Errors.h"
#include "FileIO.h"
#include "ImagePipeline.h"
#include "Locations.h"
#include "Markers.h"
#include "ZoomGeometry.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

const char RenderUsage[] = "usage: kelderwyn-inspect render [--markers FILE.gdb] MAP.jpg LEVEL OUT.bmp (LEVEL 0 to 6)\n";

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

// The markers of the level for the places of a database, as the viewer draws
// them. Throws the reader's errors, and EFOpenError when the file is missing.
void DrawMarkersFrom(const std::string& fileName, TBitmap& view, int level)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the session (no runtime folder and the like) are no
    // concern of the picture; stderr keeps only the tool's own messages.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static char name[] = "kelderwyn-inspect";
    char* qtArgv[] = {name, nullptr};
    int qtArgc = 1;
    const QGuiApplication application(qtArgc, qtArgv);
    TLocList locations;
    bool missing = false;
    LoadLocations(fileName, locations, {[](const std::string&) {}, [&missing] { missing = true; }});
    if (missing)
        throw EFOpenError(fileName, MissingFileReason(fileName));
    DrawLocations(view, locations, level, TMarkerFonts());
}

} // namespace

int RunRender(int argc, char** argv)
{
    const char* markers = nullptr;
    if (argc >= 2 && std::strcmp(argv[0], "--markers") == 0) {
        markers = argv[1];
        argc -= 2;
        argv += 2;
    }
    int level = 0;
    if (argc != 3 || !ParseLevel(argv[1], level)) {
        std::fputs(RenderUsage, stderr);
        return 2;
    }
    try {
        TMapPictures pictures = LoadMapPictures(argv[0], TempNameFor(argv[2]));
        TBitmap view = pictures.Picture;
        ScaleMap(level, pictures.Master, view);
        if (markers)
            DrawMarkersFrom(markers, view, level);
        SaveBitmapToFile(view, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", ErrorLine(e).c_str());
        return 1;
    }
    return 0;
}
