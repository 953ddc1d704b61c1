// kelderwyn-publish [--title TEXT] OUTDIR [FOLDER]: the map of a folder as a
// static web site, the viewer's own pixels at each of its seven levels.
#include "CommandLine.h"
#include "Errors.h"
#include "Publish.h"
#include "TileWriter.h"

#include <QGuiApplication>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char Program[] = "kelderwyn-publish";

const char Usage[] = "usage: kelderwyn-publish [--title TEXT] OUTDIR [FOLDER]\n"
                     "       kelderwyn-publish --help | --version\n";

const char Help[] =
    "\n"
    "Writes the map of FOLDER (default: the current folder; it holds bigmap_hi.jpg\n"
    "and knmain.gdb) into OUTDIR as a static web site: the seven zoom levels of the\n"
    "viewer, pixel for pixel with their markers and names, as 256 x 256 PNG tiles,\n"
    "the places as places.geojson and places.js, and index.html, a map page with a\n"
    "search and Go, which works from file:// and from any web server.\n"
    "\n"
    "OUTDIR is created when it does not exist. An OUTDIR that holds anything but a\n"
    "site written by kelderwyn-publish is refused; such a site is replaced as a whole\n"
    "when the new one is complete. Nothing is written outside OUTDIR.\n"
    "\n"
    "  --title TEXT  the page's title (default \"Kelderwyn Map\")\n"
    "  --help        this text\n"
    "  --version     the program's name and version\n"
    "\n"
    "Exit status: 0 published, 1 a data file, OUTDIR or Leaflet failed (nothing is\n"
    "published), 2 a wrong command line, 130 interrupted.\n";

std::atomic<bool> Interrupted{false};

extern "C" void OnSignal(int)
{
    Interrupted = true;
}

int UsageError(const std::string& problem)
{
    return ::UsageError(Program, problem);
}

} // namespace

int main(int argc, char** argv)
{
    const TArguments arguments =
        ReadArguments(Program, std::string(Usage) + Help, argc - 1, argv + 1, {{"--title", "a TEXT"}}, 2, true);
    if (arguments.Status >= 0)
        return arguments.Status;
    const std::vector<std::string>& operands = arguments.Operands;
    TPublishOptions options;
    if (const auto title = arguments.Options.find("--title"); title != arguments.Options.end()) {
        options.Title = QString::fromLocal8Bit(title->second);
        if (options.Title.trimmed().isEmpty())
            return UsageError("the --title TEXT is empty");
    }
    if (operands.empty())
        return UsageError("OUTDIR is missing");
    if (operands[0].empty())
        return UsageError("OUTDIR is empty");
    options.OutDir = operands[0];
    if (operands.size() == 2)
        options.Folder = operands[1];
    std::error_code error;
    if (!std::filesystem::is_directory(options.Folder, error))
        return UsageError(options.Folder.string() + ": no such folder");

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the session are no concern of the site.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    const QGuiApplication application(qtArgc, qtArgv);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, OnSignal);
    options.Cancel = &Interrupted;

    try {
        const TPublishSummary summary = Publish(options);
        std::printf("%s: %zu tiles and %zu places written to %s; open %s\n", Program, summary.Tiles, summary.Places,
                    options.OutDir.c_str(), (options.OutDir / "index.html").c_str());
    } catch (const EPublishCancelled&) {
        PrintError(Program, {}, "interrupted; nothing was published");
        return 130;
    } catch (const std::exception& e) {
        PrintError(Program, {}, UserMessage(e.what()));
        return 1;
    }
    return 0;
}
