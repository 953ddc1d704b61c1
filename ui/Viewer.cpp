#include "Viewer.h"

#include "Application.h"
#include "CommandLine.h"
#include "DesktopSession.h"
#include "Mainunit.h"

#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace {

const char Program[] = "kelderwyn-map";

const char Help[] = "usage: kelderwyn-map [QT-OPTIONS] [--desktop] [FOLDER]\n"
                    "       kelderwyn-map --help | --version\n"
                    "shows the map of FOLDER (bigmap_hi.jpg and knmain.gdb), by default of the current folder;\n"
                    "with --desktop, asks for a map folder or offers the sample world when there is no map,\n"
                    "and Ctrl+O opens another map folder. QT-OPTIONS are Qt's own, such as -style fusion.\n";

struct TCommandLine {
    bool Desktop = false;
    const char* Folder = nullptr;
    std::string Error;
};

// Answers --help and --version before Qt starts; -1 when neither is asked.
int AnswerHelpOrVersion(int argc, char** argv)
{
    for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
        if (IsHelpOption(argv[i]))
            return PrintHelp(Help);
        if (IsVersionOption(argv[i]))
            return PrintVersion(Program);
    }
    return -1;
}

// What is left once Qt has taken its own options.
TCommandLine ParseCommandLine(int argc, char** argv)
{
    TCommandLine commandLine;
    bool options = true;
    for (int i = 1; i < argc && commandLine.Error.empty(); ++i) {
        const std::string argument = argv[i];
        if (options && argument == "--desktop")
            commandLine.Desktop = true;
        else if (options && argument == "--")
            options = false;
        else if (options && argument.size() > 1 && argument[0] == '-')
            commandLine.Error = "unknown option '" + argument + "'";
        else if (commandLine.Folder)
            commandLine.Error = "unexpected argument '" + argument + "' (one folder only)";
        else
            commandLine.Folder = argv[i];
    }
    return commandLine;
}

// Shows the window and runs the message loop until it closes.
int RunWindow(TApplication& application, TMainForm& form)
{
    form.show();
    try {
        application.exec();
    } catch (const std::exception& error) {
        application.ShowException(error);
    }
    if (!form.MissingFile)
        return 0;
    std::error_code error;
    PrintError(Program, {}, std::filesystem::current_path(error).native() + " holds no " + form.MissingFile);
    return 1;
}

} // namespace

int RunViewer(int argc, char** argv)
{
    if (const int status = AnswerHelpOrVersion(argc, argv); status >= 0)
        return status;
    TApplication application(argc, argv);
    const TCommandLine commandLine = ParseCommandLine(argc, argv);
    if (!commandLine.Error.empty())
        return UsageError(Program, commandLine.Error);
    if (commandLine.Folder) {
        std::error_code error;
        std::filesystem::current_path(commandLine.Folder, error);
        if (error) {
            PrintError(Program, commandLine.Folder,
                       "cannot open folder " + std::string(commandLine.Folder) + ": " + error.message());
            return UsageStatus;
        }
    }
    if (!commandLine.Desktop) {
        TMainForm form;
        return RunWindow(application, form);
    }
    TDesktopSession session;
    if (!session.EnterFirstFolder(commandLine.Folder != nullptr))
        return 0;
    for (;;) {
        TMainForm form;
        session.Attach(form);
        const int status = RunWindow(application, form);
        if (!session.TakeNextFolder())
            return status;
    }
}
