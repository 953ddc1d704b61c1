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
#pragma once

#include <string>
#include <string_view>

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
