#include "SiteFolder.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Refuse(const fs::path& folder, const std::string& reason)
{
    throw ESiteFolderError(folder.string() + ": " + reason);
}

std::string Reason(const std::error_code& error)
{
    return error.message();
}

// A marker file of ours: a regular file, not a link, whose text begins with our name.
bool HoldsMarker(const fs::path& folder)
{
    const fs::path marker = folder / TSiteFolder::MarkerName;
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(marker, error)))
        return false;
    std::ifstream in(marker, std::ios::binary);
    std::string start(17, '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    return in && start == "kelderwyn-publish";
}

} // namespace

TSiteFolder::TSiteFolder(fs::path outDir) : FOutDir(std::move(outDir)), FStaging(FOutDir / StagingName)
{
    std::error_code error;
    const fs::file_status status = fs::status(FOutDir, error);
    if (status.type() == fs::file_type::not_found) {
        if (!fs::create_directory(FOutDir, error))
            Refuse(FOutDir, "cannot create the folder: " + Reason(error));
        FCreated = true;
    } else if (error) {
        Refuse(FOutDir, Reason(error));
    } else if (!fs::is_directory(status)) {
        Refuse(FOutDir, "not a folder");
    }
    try {
        FLock = ::open(FOutDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (FLock < 0)
            Refuse(FOutDir, std::strerror(errno));
        if (::flock(FLock, LOCK_EX | LOCK_NB) != 0)
            Refuse(FOutDir, "another kelderwyn-publish is writing into this folder");
        if (!FCreated && !HoldsMarker(FOutDir)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(FOutDir, error))
                if (entry.path().filename() != StagingName)
                    Refuse(FOutDir, "the folder is not empty and was not written by kelderwyn-publish; "
                                    "name a new or empty folder");
            if (error)
                Refuse(FOutDir, Reason(error));
        }
        fs::remove_all(FStaging, error);
        if (!fs::create_directory(FStaging, error))
            Refuse(FStaging, "cannot create the folder: " + Reason(error));
    } catch (...) {
        Release();
        throw;
    }
}

TSiteFolder::~TSiteFolder()
{
    Release();
}

void TSiteFolder::Release()
{
    std::error_code ignored;
    if (!FCommitted) {
        fs::remove_all(FStaging, ignored);
        if (FCreated)
            fs::remove_all(FOutDir, ignored);
    }
    if (FLock >= 0)
        ::close(FLock);
    FLock = -1;
}

void TSiteFolder::Commit(const std::string& markerText)
{
    const fs::path stagedMarker = FStaging / MarkerName;
    {
        std::ofstream marker(stagedMarker, std::ios::binary);
        marker << markerText;
        if (!marker.flush())
            Refuse(stagedMarker, "cannot write the file");
    }
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(FOutDir)) {
        const fs::path name = entry.path().filename();
        if (name != StagingName && name != MarkerName && fs::remove_all(entry.path(), error) == static_cast<std::uintmax_t>(-1))
            Refuse(entry.path(), "cannot remove it: " + Reason(error));
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(FStaging)) {
        const fs::path name = entry.path().filename();
        if (name == MarkerName)
            continue;
        fs::rename(entry.path(), FOutDir / name, error);
        if (error)
            Refuse(FOutDir / name, "cannot move it into place: " + Reason(error));
    }
    fs::rename(stagedMarker, FOutDir / MarkerName, error);
    if (error)
        Refuse(FOutDir / MarkerName, "cannot move it into place: " + Reason(error));
    FCommitted = true;
    fs::remove_all(FStaging, error);
}
