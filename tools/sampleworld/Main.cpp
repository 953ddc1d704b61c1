// kelderwyn-make-sample-world: writes a generated map picture and place
// database into a folder, for running the viewer without the game's data.
#include "SampleWorld.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

const char Usage[] = "usage: kelderwyn-make-sample-world DIR\n"
                     "writes DIR/bigmap_hi.jpg and DIR/knmain.gdb, creating DIR if needed\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
        std::fputs(Usage, stderr);
        return 2;
    }
    try {
        WriteSampleWorld(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelderwyn-make-sample-world: %s\n", e.what());
        return 1;
    }
    return 0;
}
