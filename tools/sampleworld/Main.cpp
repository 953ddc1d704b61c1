// kelderwyn-make-sample-world: writes a generated map picture and place
// database into a folder, for running the viewer without the game's data.
#include "Errors.h"
#include "SampleWorld.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

const char Usage[] = "usage: kelderwyn-make-sample-world [--places N] DIR\n"
                     "writes DIR/bigmap_hi.jpg and DIR/knmain.gdb, creating DIR if needed;\n"
                     "the database holds N places (1 to 1000000, by default 200)\n";

// A decimal count from 1 to MaxPlaceCount, or 0 when the text is none.
int ParsePlaceCount(const char* text)
{
    int count = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, count);
    if (error != std::errc() || stop != end || count < 1 || count > MaxPlaceCount)
        return 0;
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(Usage, stdout);
        return 0;
    }
    int places = DefaultPlaceCount;
    if (argc == 4 && std::strcmp(argv[1], "--places") == 0) {
        places = ParsePlaceCount(argv[2]);
        argc -= 2;
        argv += 2;
    }
    if (argc != 2 || places == 0 || argv[1][0] == '\0' || argv[1][0] == '-') {
        std::fputs(Usage, stderr);
        return 2;
    }
    try {
        WriteSampleWorld(argv[1], places);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelderwyn-make-sample-world: %s\n", ErrorLine(e).c_str());
        return 1;
    }
    return 0;
}
