// Scratch files for the tests: each TScratchDir is a fresh
// folder under the system temporary folder, removed with everything in it.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

class TScratchDir {
public:
    TScratchDir()
    {
        static std::atomic<int> counter{0};
        FPath = std::filesystem::temp_directory_path() /
                ("kelderwyn-loc-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(FPath);
        std::filesystem::create_directories(FPath);
    }
    ~TScratchDir()
    {
        std::error_code error;
        std::filesystem::remove_all(FPath, error);
    }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::filesystem::path file = FPath / name;
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }

private:
    std::filesystem::path FPath;
};
