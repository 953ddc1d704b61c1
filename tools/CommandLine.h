// The command-line conventions that every program of the package keeps: the
// viewer, kelderwyn-inspect, kelderwyn-make-sample-world and any later tool.
// Standard C++ only, so that a tool links it without Qt.
//
// - `--version` prints "PROGRAM VERSION", VERSION being the package's version
//   (the project's version in CMake), on standard output; status 0.
// - `--help`, of the program and of each of its commands, prints the usage
//   on standard output; status 0.
// - A wrong command line gets a line that names the wrong part, prefixed with
//   the program's name (and the command's, when it has commands), and a line
//   that points at --help, both on standard error; status UsageStatus.
// - Every other line on standard error starts with the program's name and
//   names the file it is about (ErrorLine).
//
// ReadArguments reads a command's arguments by these conventions: --help
// (and, where the command has it, --version) is answered at once; each option
// of the command, a flag or one that takes the next argument (or the text
// after "=") as its value, at most once, anywhere before "--"; every other
// argument that starts with "-" (but "-" alone) is an unknown option; the
// rest are operands, at most maxOperands of them.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int UsageStatus = 2;

const char* PackageVersion();

bool IsHelpOption(std::string_view argument);    // --help or -h
bool IsVersionOption(std::string_view argument); // --version

// Both print and return the exit status, 0.
int PrintVersion(std::string_view program);
int PrintHelp(std::string_view text);

// `program` is what the user typed to reach the usage that applies, such as
// "kelderwyn-inspect render". Returns UsageStatus.
int UsageError(std::string_view program, std::string_view what);

// "PROGRAM: FILE: MESSAGE\n", or "PROGRAM: MESSAGE\n" when the message names
// the file itself ("Cannot open file FILE.") or there is no file.
std::string ErrorLine(std::string_view program, std::string_view file, std::string_view message);
void PrintError(std::string_view program, std::string_view file, std::string_view message);

// An option of a command: a flag, or with ValueName ("a database file") one
// that takes a value.
struct TToolOption {
    std::string_view Name;
    std::string_view ValueName;
};

struct TArguments {
    std::map<std::string, std::string, std::less<>> Options; // given ones, "" for a flag
    std::vector<std::string> Operands;
    // At least 0 when the command line has been answered or refused: the
    // command ends with this status.
    int Status = -1;
};

TArguments ReadArguments(std::string_view program, std::string_view help, int argc, char** argv,
                         std::initializer_list<TToolOption> known, std::size_t maxOperands, bool version = false);
