// kelderwyn-inspect lint: the likely mistakes in a location database, one
// line per finding, with the line of the file that holds it.
#include "Commands.h"

#include "Errors.h"
#include "JpegImage.h"
#include "LocationLint.h"
#include "ZoomGeometry.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

namespace {

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

int Usage()
{
    std::fputs(LintHelp, stderr);
    return 2;
}

} // namespace

int RunLint(int argc, char** argv)
{
    std::string fileName = "knmain.gdb";
    const char* mapName = nullptr;
    bool fileGiven = false;
    bool options = true;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options && (arg == "--help" || arg == "-h")) {
            std::fputs(LintHelp, stdout);
            return 0;
        }
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--map" && i + 1 < argc && !mapName) {
            mapName = argv[++i];
        } else if ((options && arg.size() > 1 && arg[0] == '-') || fileGiven) {
            return Usage();
        } else {
            fileName = arg;
            fileGiven = true;
        }
    }

    try {
        std::int32_t width = WorldMapWidth;
        std::int32_t height = WorldMapHeight;
        if (mapName) {
            TJPEGImage map;
            map.LoadFromFile(mapName);
            width = map.Width();
            height = map.Height();
        }
        TLocationLint lint(fileName, width, height, stdout);
        CheckLocations(fileName, lint);
        lint.Finish();
        return lint.Clean() ? 0 : 1;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", ErrorLine(error).c_str());
        return 2;
    }
}
