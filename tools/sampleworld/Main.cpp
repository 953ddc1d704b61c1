// kelderwyn-make-sample-world: writes a generated map picture and place
// database into a folder, for running the viewer without the game's data.
#include "CommandLine.h"
#include "Errors.h"
#include "SampleWorld.h"

#include <charconv>
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
    const TArguments arguments = ReadArguments(Program, Help, argc - 1, argv + 1, {{"--places", "a number"}}, 1, true);
    if (arguments.Status >= 0)
        return arguments.Status;
    int places = DefaultPlaceCount;
    if (const auto option = arguments.Options.find("--places"); option != arguments.Options.end()) {
        places = ParsePlaceCount(option->second);
        if (places == 0)
            return UsageError(Program, "invalid number of places '" + option->second + "' (1 to " +
                                           std::to_string(MaxPlaceCount) + ")");
    }
    if (arguments.Operands.empty())
        return UsageError(Program, "no folder given");
    const std::string& dir = arguments.Operands[0];
    if (dir.empty())
        return UsageError(Program, "empty folder name");
    try {
        WriteSampleWorld(dir, places);
    } catch (const std::exception& e) {
        PrintError(Program, dir, ErrorLine(e));
        return 1;
    }
    return 0;
}
