// Runs the built kelderwyn-inspect as a process inside a scratch folder.
#pragma once

#include "ScratchDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

struct TInspectRun {
    int Status;
    std::string Out;
    std::string Err;
};

inline std::string SlurpFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs "kelderwyn-inspect ARGS" inside dir.
inline TInspectRun RunInspect(const TScratchDir& dir, const std::string& args)
{
    const std::string command =
        "cd '" + dir.Path().string() + "' && '" KELDERWYN_INSPECT "' " + args + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, SlurpFile(dir.Path() / "out.txt"),
            SlurpFile(dir.Path() / "err.txt")};
}
