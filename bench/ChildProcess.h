// Running a benchmark's work in a child process: its output, its times and,
// read by the child itself, its peak resident size. Shared by the process
// benchmarks of the viewer (ProcessBench.h) and the decoder's (jpeg_decode.cpp).
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using TBenchClock = std::chrono::steady_clock;

// The path of the running program, which a benchmark starts again as its child.
inline std::string SelfPath()
{
    return std::filesystem::canonical("/proc/self/exe").string();
}

// The peak resident size of the calling process so far, from the system's
// own account (VmHWM), or 0 when it cannot be read. The peak that wait4
// reports for a child is no use here: the child spawned by posix_spawn
// starts in the parent's memory, whose peak it inherits.
inline double PeakResidentBytes()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    double bytes = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            bytes = std::strtod(line + 6, nullptr) * 1024; // the line reads "VmHWM: <n> kB"
    std::fclose(status);
    return bytes;
}

struct TChildResult {
    bool Ok = false;
    std::string Output;
    double WallSeconds = 0; // from spawn to exit
    double OutputSeconds = 0; // from spawn to the end of its output
    double CpuSeconds = 0; // user and system time of the whole process
};

// Runs args[0] (looked up in PATH) with args, its output read through a pipe.
inline TChildResult RunChild(std::vector<std::string> args)
{
    TChildResult result;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const TBenchClock::time_point start = TBenchClock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return result;
    }
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        result.Output.append(buffer, static_cast<std::size_t>(got));
    result.OutputSeconds = std::chrono::duration<double>(TBenchClock::now() - start).count();
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) < 0)
        return result;
    result.WallSeconds = std::chrono::duration<double>(TBenchClock::now() - start).count();
    result.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}
