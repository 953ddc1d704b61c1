#include "CommandLine.h"

#include <cstdio>

const char* PackageVersion()
{
    return KELDERWYN_VERSION;
}

bool IsHelpOption(std::string_view argument)
{
    return argument == "--help" || argument == "-h";
}

bool IsVersionOption(std::string_view argument)
{
    return argument == "--version";
}

int PrintVersion(std::string_view program)
{
    std::printf("%.*s %s\n", static_cast<int>(program.size()), program.data(), PackageVersion());
    return 0;
}

int PrintHelp(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int UsageError(std::string_view program, std::string_view what)
{
    std::string text(program);
    text.append(": ").append(what).append("\nTry '").append(program).append(" --help' for more information.\n");
    std::fwrite(text.data(), 1, text.size(), stderr);
    return UsageStatus;
}

std::string ErrorLine(std::string_view program, std::string_view file, std::string_view message)
{
    std::string line(program);
    line += ": ";
    if (!file.empty() && message.find(file) == std::string_view::npos)
        line.append(file).append(": ");
    line.append(message) += '\n';
    return line;
}

void PrintError(std::string_view program, std::string_view file, std::string_view message)
{
    std::fflush(stdout);
    const std::string line = ErrorLine(program, file, message);
    std::fwrite(line.data(), 1, line.size(), stderr);
}
