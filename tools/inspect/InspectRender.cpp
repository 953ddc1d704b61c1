// kelderwyn-inspect render [--markers FILE.gdb] MAP.jpg LEVEL OUT: the
// displayed bitmap of a zoom level through the viewer's own pipeline and
// scaler, and with --markers the level's markers and labels for the places of
// FILE.gdb, drawn by the viewer's own code on Qt's offscreen platform. OUT is
// written as the end of its name asks: an uncompressed 24-bit BMP (the
// viewer's own writer) or a PNG (Qt's); any other name is refused before
// anything is read.
#include "Commands.h"

#include "BmpFile.h"
#include "Color.h"
#include "CommandLine.h"
#include "Errors.h"
#include "FileIO.h"
#include "ImagePipeline.h"
#include "Locations.h"
#include "Markers.h"
#include "PngFile.h"
#include "ZoomGeometry.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char Program[] = "kelderwyn-inspect render";

const char RenderHelp[] =
    "usage: kelderwyn-inspect render [--markers FILE.gdb] MAP.jpg LEVEL OUT.bmp|OUT.png\n"
    "\n"
    "Decodes MAP.jpg as the viewer does, scales it for zoom level LEVEL (0, the\n"
    "whole map, to 6, full size) and writes the picture the viewer shows at that\n"
    "level: an uncompressed 24-bit BMP for a name that ends in .bmp, a PNG for\n"
    "one that ends in .png. With --markers, the markers and names of the places\n"
    "of FILE.gdb that the level shows are drawn over it as the viewer draws them.\n"
    "\n"
    "Exit status: 0 written, 1 a file could not be read or written, 2 usage error.\n";

enum class TOutputFormat { None, Bmp, Png };

// By the end of the name, in any case.
TOutputFormat OutputFormat(std::string_view name)
{
    const auto endsWith = [name](std::string_view suffix) {
        return name.size() > suffix.size() &&
               std::equal(suffix.rbegin(), suffix.rend(), name.rbegin(),
                          [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    };
    if (endsWith(".bmp"))
        return TOutputFormat::Bmp;
    if (endsWith(".png"))
        return TOutputFormat::Png;
    return TOutputFormat::None;
}

bool ParseLevel(std::string_view text, int& level)
{
    if (text.size() != 1 || text[0] < '0' || text[0] > '0' + MaxZoomLevel)
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
    const TArguments arguments =
        ReadArguments(Program, RenderHelp, argc, argv, {{"--markers", "a database file"}}, 3);
    if (arguments.Status >= 0)
        return arguments.Status;
    const std::vector<std::string>& operands = arguments.Operands;
    const auto markersOption = arguments.Options.find("--markers");
    const char* markers = markersOption == arguments.Options.end() ? nullptr : markersOption->second.c_str();
    static const char* const Operands[] = {"MAP.jpg", "LEVEL", "OUT.bmp or OUT.png"};
    if (operands.size() < 3)
        return UsageError(Program, std::string("missing ") + Operands[operands.size()]);
    const std::string& mapName = operands[0];
    const std::string& outName = operands[2];
    int level = 0;
    if (!ParseLevel(operands[1], level))
        return UsageError(Program, "invalid level '" + operands[1] + "' (0 to " + std::to_string(MaxZoomLevel) + ")");
    const TOutputFormat format = OutputFormat(outName);
    if (format == TOutputFormat::None)
        return UsageError(Program, "cannot write '" + outName + "': the name must end in .bmp or .png");

    std::string file = mapName;
    try {
        TMapPictures pictures = LoadMapPictures(mapName, TempNameFor(outName));
        TBitmap view = pictures.Picture;
        ScaleMap(level, pictures.Master, view);
        if (markers) {
            file = markers;
            DrawMarkersFrom(markers, view, level);
        }
        file = outName;
        if (format == TOutputFormat::Png)
            SavePng(QImage(view.ScanLine(0), view.Width(), view.Height(), static_cast<qsizetype>(view.RowStride()),
                           QImage::Format_BGR888),
                    outName);
        else
            SaveBitmapToFile(view, outName);
    } catch (const std::exception& e) {
        PrintError(InspectProgram, file, ErrorLine(e));
        return 1;
    }
    return 0;
}
