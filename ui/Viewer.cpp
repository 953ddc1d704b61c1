#include "Viewer.h"

#include "Application.h"
#include "MapFolder.h"
#include "MapFolderDialog.h"
#include "Mainunit.h"

#include <QDir>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

const char Usage[] = "usage: kelderwyn-map [--desktop] [FOLDER]\n"
                     "shows the map of FOLDER (bigmap_hi.jpg and knmain.gdb), by default of the current folder;\n"
                     "with --desktop, asks for a map folder or offers the sample world when there is no map\n";

struct TCommandLine {
    bool Help = false;
    bool Desktop = false;
    const char* Folder = nullptr;
    std::string Error;
};

TCommandLine ParseCommandLine(int argc, char** argv)
{
    TCommandLine commandLine;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (options && (argument == "--help" || argument == "-h"))
            commandLine.Help = true;
        else if (options && argument == "--desktop")
            commandLine.Desktop = true;
        else if (options && argument == "--")
            options = false;
        else if (options && argument.size() > 1 && argument[0] == '-')
            commandLine.Error = "unknown option " + argument;
        else if (commandLine.Folder)
            commandLine.Error = "more than one folder given";
        else
            commandLine.Folder = argv[i];
    }
    return commandLine;
}

// The folder to work in for people: asked for when none holds a map.
bool EnterFolderForPeople(bool folderGiven)
{
    const QString remembered = folderGiven ? QString() : RememberedMapFolder();
    QString folder = FolderToOpen({remembered, QDir::currentPath()});
    if (folder.isEmpty()) {
        const QString missing = remembered.isEmpty() ? QString() : MissingMapFile(remembered);
        TMapFolderDialog dialog(missing.isEmpty() ? QString()
                                                  : QStringLiteral("%1, opened last time, no longer holds %2.")
                                                        .arg(QDir::toNativeSeparators(remembered), missing));
        if (dialog.exec() != QDialog::Accepted)
            return false;
        folder = dialog.Folder();
    }
    if (QDir::setCurrent(folder))
        RememberMapFolder(QDir::currentPath());
    return true;
}

} // namespace

int RunViewer(int argc, char** argv)
{
    const TCommandLine commandLine = ParseCommandLine(argc, argv);
    if (commandLine.Help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (!commandLine.Error.empty()) {
        std::fprintf(stderr, "kelderwyn-map: %s (try kelderwyn-map --help)\n", commandLine.Error.c_str());
        return 2;
    }
    if (commandLine.Folder) {
        std::error_code error;
        std::filesystem::current_path(commandLine.Folder, error);
        if (error) {
            std::fprintf(stderr, "kelderwyn-map: cannot open folder %s: %s\n", commandLine.Folder,
                         error.message().c_str());
            return 2;
        }
    }

    int qtArgc = 1;
    TApplication application(qtArgc, argv);
    if (commandLine.Desktop && !EnterFolderForPeople(commandLine.Folder != nullptr))
        return 0;
    TMainForm MainForm;
    MainForm.show();
    try {
        application.exec();
    } catch (const std::exception& error) {
        application.ShowException(error);
    }
    return 0;
}
