#include "CommandLine.h"

#include <algorithm>
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

TArguments ReadArguments(std::string_view program, std::string_view help, int argc, char** argv,
                         std::initializer_list<TToolOption> known, std::size_t maxOperands, bool version)
{
    TArguments arguments;
    bool options = true;
    for (int i = 0; i < argc && arguments.Status < 0; ++i) {
        const std::string_view argument = argv[i];
        const std::string_view name = argument.substr(0, argument.find('='));
        const auto option = std::find_if(known.begin(), known.end(), [&](const TToolOption& o) { return o.Name == name; });
        if (!options || argument == "-" || argument.empty() || argument[0] != '-') {
            if (arguments.Operands.size() == maxOperands)
                arguments.Status = UsageError(program, "unexpected argument '" + std::string(argument) + "'");
            else
                arguments.Operands.emplace_back(argument);
        } else if (argument == "--") {
            options = false;
        } else if (IsHelpOption(argument)) {
            arguments.Status = PrintHelp(help);
        } else if (version && IsVersionOption(argument)) {
            arguments.Status = PrintVersion(program);
        } else if (option == known.end() || (option->ValueName.empty() && name != argument)) {
            arguments.Status = UsageError(program, "unknown option '" + std::string(argument) + "'");
        } else if (arguments.Options.contains(name)) {
            arguments.Status = UsageError(program, std::string(name) + " given twice");
        } else if (option->ValueName.empty()) {
            arguments.Options.emplace(name, std::string());
        } else if (name != argument) {
            arguments.Options.emplace(name, argument.substr(name.size() + 1));
        } else if (i + 1 == argc) {
            arguments.Status = UsageError(program, std::string(name) + " needs " + std::string(option->ValueName));
        } else {
            arguments.Options.emplace(name, argv[++i]);
        }
    }
    return arguments;
}
