// kelderwyn-make-sample-world: writes a generated map picture and place
// database into a folder, for running the viewer without the game's data.
#include "CommandLine.h"
#include "Errors.h"
#include "SampleWorld.h"

#include <charconv>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

namespace {

const char Program[] = "kelderwyn-make-sample-world";

const char Help[] = "usage: kelderwyn-make-sample-world [--places N] DIR\n"
                    "       kelderwyn-make-sample-world --help | --version\n"
                    "writes DIR/bigmap_hi.jpg and DIR/knmain.gdb, creating DIR if needed;\n"
                    "the database holds N places (1 to 1000000, by default 200)\n";

// A decimal count from 1 to MaxPlaceCount, or 0 when the text is none.
int ParsePlaceCount(std::string_view text)
{
    int count = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, count);
    if (error != std::errc() || stop != end || count < 1 || count > MaxPlaceCount)
        return 0;
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    int places = DefaultPlaceCount;
    const char* dir = nullptr;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (options && IsHelpOption(argument))
            return PrintHelp(Help);
        if (options && IsVersionOption(argument))
            return PrintVersion(Program);
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "--places") {
            if (i + 1 == argc)
                return UsageError(Program, "--places needs a number");
            places = ParsePlaceCount(argv[++i]);
            if (places == 0)
                return UsageError(Program, "invalid number of places '" + std::string(argv[i]) + "' (1 to " +
                                               std::to_string(MaxPlaceCount) + ")");
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            return UsageError(Program, "unknown option '" + std::string(argument) + "'");
        } else if (dir || argument.empty()) {
            return UsageError(Program, argument.empty() ? std::string("empty folder name")
                                                        : "unexpected argument '" + std::string(argument) + "'");
        } else {
            dir = argv[i];
        }
    }
    if (!dir)
        return UsageError(Program, "no folder given");
    try {
        WriteSampleWorld(dir, places);
    } catch (const std::exception& e) {
        PrintError(Program, dir, ErrorLine(e));
        return 1;
    }
    return 0;
}
