// FileIO: every file the map model reads or writes is opened here.
//
// Reading. OpenForReading opens an existing regular file read-only and
// unbuffered (each loader reads in large pieces of its own). Links are
// followed: a map or a database may well be a link its owner made. FileSize
// is the size of the open file itself, not of whatever the name points to by
// the time it is asked. ReadFully reads at the file's position until it has
// the bytes asked for or the file ends.
//
// Writing a file the user named: CreateForWriting creates or truncates it,
// unbuffered, as any program writes its output.
//
// Writing a temporary file in a folder others may write to: CreateReplacing
// removes the name first (a file or a link; never what a link points to, so
// that file keeps its contents and the other names of a hard-linked file keep
// theirs), then creates a new file without following links and only if the
// name is free (O_CREAT | O_EXCL | O_NOFOLLOW), open for reading and writing.
// A name planted again in between makes the create fail instead of writing
// through it; a directory of that name stays and the create fails. Where the
// folder does not let the name go (no write permission), the file under it
// is reused only when it is a BMP that an earlier start left there: an
// ordinary file that no other name shares, opened without following a link,
// that begins with the signature "BM" and the file size it states is its
// size. That file is emptied and reused; anything else there stays as it is
// and the create fails. The file is read back through the same handle, never
// by its name again, and RemoveIfStillNamed takes the name away only while it
// still names that file.
//
// Errors: EFOpenError "Cannot open file %s" when a file cannot be opened,
// sized or read; EFCreateError "Cannot create file %s" when it cannot be
// created. Both carry the system's reason (Errors.h); where a folder keeps
// the name, the reason is the folder's refusal ("Permission denied").
// RemoveIfStillNamed is silent. The file name appears in the messages
// exactly as given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

TFilePtr OpenForReading(const std::string& fileName);

// Why there is no regular file of that name to open, in the system's words
// ("No such file or directory", "Is a directory"), for a caller that found
// none and reports it as EFOpenError.
std::string MissingFileReason(const std::string& fileName);

std::uint64_t FileSize(std::FILE* file, const std::string& fileName);

// The number of bytes read: size, or fewer where the file ends.
std::size_t ReadFully(std::FILE* file, void* data, std::size_t size, const std::string& fileName);

TFilePtr CreateForWriting(const std::string& fileName);

TFilePtr CreateReplacing(const std::string& fileName);

void RemoveIfStillNamed(const std::string& fileName, std::FILE* file);
