// kelderwyn-inspect: the map model on the command line, for map makers.
#include "Commands.h"

#include <cstdio>
#include <cstring>

namespace {

const char Usage[] =
    "usage: kelderwyn-inspect render [--markers FILE.gdb] MAP.jpg LEVEL OUT.bmp\n"
    "       kelderwyn-inspect locations [FILE]\n"
    "       kelderwyn-inspect lint [FILE] [--map MAP.jpg]\n"
    "       kelderwyn-inspect --help\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "render") == 0)
        return RunRender(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "locations") == 0)
        return RunLocations(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "lint") == 0)
        return RunLint(argc - 2, argv + 2);
    std::fputs(Usage, stderr);
    return 2;
}
