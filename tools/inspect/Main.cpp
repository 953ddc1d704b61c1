// kelderwyn-inspect: the map model on the command line, for map makers.
#include "Commands.h"

#include "CommandLine.h"

#include <string>
#include <string_view>

namespace {

const char Usage[] =
    "usage: kelderwyn-inspect render [--markers FILE.gdb] MAP.jpg LEVEL OUT.bmp|OUT.png\n"
    "       kelderwyn-inspect locations [FILE]\n"
    "       kelderwyn-inspect lint [FILE] [--map MAP.jpg]\n"
    "       kelderwyn-inspect --help | --version\n"
    "       kelderwyn-inspect COMMAND --help\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return UsageError(InspectProgram, "no command given");
    const std::string_view command = argv[1];
    if (IsHelpOption(command))
        return PrintHelp(Usage);
    if (IsVersionOption(command))
        return PrintVersion(InspectProgram);
    if (command == "render")
        return RunRender(argc - 2, argv + 2);
    if (command == "locations")
        return RunLocations(argc - 2, argv + 2);
    if (command == "lint")
        return RunLint(argc - 2, argv + 2);
    const std::string what = command.size() > 1 && command[0] == '-' ? "unknown option '" : "unknown command '";
    return UsageError(InspectProgram, what + std::string(command) + "'");
}
