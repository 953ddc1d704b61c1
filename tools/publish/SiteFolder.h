// TSiteFolder: the folder a site is published into, OUTDIR, and the staging
// folder inside it where the new site is built.
//
// Opening it:
//   - an OUTDIR that does not exist is created (its parent must exist);
//   - one that exists must be a folder, and either empty or a site this
//     program wrote: it holds the marker file MarkerName, a regular file
//     whose text begins with "kelderwyn-publish". Anything else is refused
//     and left untouched;
//   - OUTDIR is locked (flock) for as long as the object lives, so that two
//     runs never write into one folder; a second run is refused;
//   - a staging folder StagingName left inside OUTDIR by a run that was
//     killed is removed, and a new one made.
// Every path the program writes lies inside OUTDIR.
//
// Commit replaces OUTDIR's content with the staging folder's: everything
// else in OUTDIR is removed, the staged entries are moved in (the marker
// file last, so that OUTDIR holds a marker at every moment), and the staging
// folder is removed. Without a Commit, the destructor removes the staging
// folder, and OUTDIR itself when this object created it: a failed run leaves
// OUTDIR as it was.
//
// Errors are ESiteFolderError, whose text names the folder and the reason.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

class ESiteFolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSiteFolder {
public:
    static constexpr const char* MarkerName = ".kelderwyn-publish";
    static constexpr const char* StagingName = ".kelderwyn-publish-staging";

    explicit TSiteFolder(std::filesystem::path outDir);
    ~TSiteFolder();
    TSiteFolder(const TSiteFolder&) = delete;
    TSiteFolder& operator=(const TSiteFolder&) = delete;

    const std::filesystem::path& Staging() const { return FStaging; }
    // Writes the marker file into the staging folder, then replaces OUTDIR's content.
    void Commit(const std::string& markerText);

private:
    void Release();

    std::filesystem::path FOutDir;
    std::filesystem::path FStaging;
    bool FCreated = false;
    bool FCommitted = false;
    int FLock = -1;
};
