// kelderwyn-inspect locations: lists the location database as the viewer
// reads it, one record per line, and points at the line of a bad value.
#include "Commands.h"

#include "CommandLine.h"
#include "DataFiles.h"
#include "Errors.h"
#include "FileIO.h"
#include "Locations.h"
#include "NameText.h"

#include <cstdio>
#include <string>

namespace {

const char Program[] = "kelderwyn-inspect locations";

const char Help[] =
    "usage: kelderwyn-inspect locations [FILE]\n"
    "\n"
    "Reads FILE (default \"knmain.gdb\") as the viewer reads its location\n"
    "database and prints one line per record, in file order:\n"
    "  NAME<tab>TYPE<tab>X<tab>Y\n"
    "In NAME a backslash is written as \\\\, a tab as \\t and any other byte\n"
    "below 0x20 as \\xHH; all other bytes are written as they are.\n"
    "\n"
    "When a number does not convert, the records before it are printed and\n"
    "stderr gets kelderwyn-inspect: FILE:LINE: and the viewer's message, LINE\n"
    "being the line of the file that holds the value. A record cut short by\n"
    "the end of the file is dropped, as the viewer drops it, with a warning on\n"
    "stderr.\n"
    "\n"
    "Exit status: 0 the whole file loaded, 1 it did not, 2 usage error.\n";

void PrintRecords(const TLocList& list)
{
    std::string out;
    for (const TLocation& location : list) {
        AppendEscapedBytes(out, location.Name);
        out += '\t';
        out += std::to_string(location.Type);
        out += '\t';
        out += std::to_string(location.X);
        out += '\t';
        out += std::to_string(location.Y);
        out += '\n';
        if (out.size() >= 1 << 16) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

} // namespace

int RunLocations(int argc, char** argv)
{
    const TArguments arguments = ReadArguments(Program, Help, argc, argv, {}, 1);
    if (arguments.Status >= 0)
        return arguments.Status;
    const std::string fileName = arguments.Operands.empty() ? LocationsFileName : arguments.Operands[0];

    TLocList list;
    TLoadReport report;
    bool closed = false;
    const TLocationWindow window{[](const std::string&) {}, [&closed] { closed = true; }};
    try {
        LoadLocations(fileName, list, window, report);
    } catch (const EConvertError& error) {
        PrintRecords(list);
        PrintError(InspectProgram, fileName + ':' + std::to_string(report.FailedLine), UserMessage(error.what()));
        return 1;
    } catch (const std::exception& error) {
        PrintRecords(list);
        PrintError(InspectProgram, fileName, ErrorLine(error));
        return 1;
    }
    if (closed) {
        PrintError(InspectProgram, fileName, ErrorLine(EFOpenError(fileName, MissingFileReason(fileName))));
        return 1;
    }
    PrintRecords(list);
    if (report.DroppedLine != 0)
        PrintError(InspectProgram, fileName + ':' + std::to_string(report.DroppedLine),
                   "warning: record cut short by the end of the data, dropped");
    return 0;
}
