// kelderwyn-inspect lint: the likely mistakes in a location database, one
// line per finding, with the line of the file that holds it.
#include "Commands.h"

#include "CommandLine.h"
#include "DataFiles.h"
#include "Errors.h"
#include "JpegImage.h"
#include "LocationLint.h"
#include "ZoomGeometry.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

const char Program[] = "kelderwyn-inspect lint";

const char LintHelp[] =
    "usage: kelderwyn-inspect lint [FILE] [--map MAP.jpg]\n"
    "\n"
    "Reads FILE (default \"knmain.gdb\") as the viewer reads its location\n"
    "database, goes on past values that do not convert, and prints one line\n"
    "per likely mistake, in file order:\n"
    "  FILE:LINE: error: TEXT     a value the viewer stops reading at\n"
    "  FILE:LINE: warning: TEXT   anything else that is likely not meant\n"
    "and then \"N places, E errors, W warnings\". Positions are checked\n"
    "against a 3300 x 3800 map, or the size of MAP.jpg (only its header is\n"
    "read).\n"
    "\n"
    "Exit status: 0 no findings, 1 findings, 2 usage error or a file that\n"
    "cannot be read.\n";

} // namespace

int RunLint(int argc, char** argv)
{
    const TArguments arguments = ReadArguments(Program, LintHelp, argc, argv, {{"--map", "a JPEG file"}}, 1);
    if (arguments.Status >= 0)
        return arguments.Status;
    const std::string fileName = arguments.Operands.empty() ? LocationsFileName : arguments.Operands[0];
    const auto mapOption = arguments.Options.find("--map");
    const char* mapName = mapOption == arguments.Options.end() ? nullptr : mapOption->second.c_str();

    std::string file = mapName ? mapName : fileName;
    try {
        std::int32_t width = WorldMapWidth;
        std::int32_t height = WorldMapHeight;
        if (mapName) {
            TJPEGImage map;
            map.LoadFromFile(mapName);
            width = map.Width();
            height = map.Height();
        }
        file = fileName;
        TLocationLint lint(fileName, width, height, stdout);
        CheckLocations(fileName, lint);
        lint.Finish();
        return lint.Clean() ? 0 : 1;
    } catch (const std::exception& error) {
        PrintError(InspectProgram, file, ErrorLine(error));
        return 2;
    }
}
