#include "FileIO.h"

#include "Errors.h"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void RemoveIfNaming(const std::string& fileName, int descriptor)
{
    struct stat named {};
    struct stat open {};
    if (::lstat(fileName.c_str(), &named) == 0 && ::fstat(descriptor, &open) == 0 && named.st_dev == open.st_dev &&
        named.st_ino == open.st_ino)
        ::unlink(fileName.c_str());
}

// Whether the open file is a whole BMP file: the signature "BM" and, after
// it, the file size it states, which is its size.
bool IsWholeBmp(int descriptor, const struct stat& status)
{
    std::uint8_t head[6];
    if (::pread(descriptor, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head) || head[0] != 'B' ||
        head[1] != 'M')
        return false;
    const std::uint32_t stated = static_cast<std::uint32_t>(head[2]) | static_cast<std::uint32_t>(head[3]) << 8 |
                                 static_cast<std::uint32_t>(head[4]) << 16 | static_cast<std::uint32_t>(head[5]) << 24;
    return static_cast<std::uint64_t>(status.st_size) == stated;
}

// A folder that does not let a name go still lets a file in it be rewritten
// where the file allows. Only a BMP left by an earlier start is: a whole BMP
// file that no other name shares, opened without following a link, is
// emptied and reused. -1 for anything else, which stays as it is.
int OpenForRewriting(const std::string& fileName)
{
    const int descriptor = ::open(fileName.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        return -1;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink == 1 &&
        IsWholeBmp(descriptor, status) && ::ftruncate(descriptor, 0) == 0)
        return descriptor;
    ::close(descriptor);
    return -1;
}

std::string NotAFileReason(const struct stat& status)
{
    return S_ISDIR(status.st_mode) ? SystemReason(EISDIR) : "Not a regular file";
}

TFilePtr Unbuffered(std::FILE* file)
{
    if (file)
        std::setvbuf(file, nullptr, _IONBF, 0);
    return TFilePtr(file);
}

} // namespace

TFilePtr OpenForReading(const std::string& fileName)
{
    TFilePtr file = Unbuffered(std::fopen(fileName.c_str(), "rb"));
    if (!file)
        throw EFOpenError(fileName, SystemReason(errno));
    struct stat status {};
    if (::fstat(fileno(file.get()), &status) != 0)
        throw EFOpenError(fileName, SystemReason(errno));
    if (!S_ISREG(status.st_mode))
        throw EFOpenError(fileName, NotAFileReason(status));
    return file;
}

std::string MissingFileReason(const std::string& fileName)
{
    struct stat status {};
    return ::stat(fileName.c_str(), &status) != 0 ? SystemReason(errno) : NotAFileReason(status);
}

std::uint64_t FileSize(std::FILE* file, const std::string& fileName)
{
    struct stat status {};
    if (::fstat(fileno(file), &status) != 0)
        throw EFOpenError(fileName, SystemReason(errno));
    if (status.st_size < 0)
        throw EFOpenError(fileName);
    return static_cast<std::uint64_t>(status.st_size);
}

std::size_t ReadFully(std::FILE* file, void* data, std::size_t size, const std::string& fileName)
{
    const std::size_t got = std::fread(data, 1, size, file);
    if (got != size && std::ferror(file))
        throw EFOpenError(fileName, SystemReason(errno));
    return got;
}

TFilePtr CreateForWriting(const std::string& fileName)
{
    TFilePtr file = Unbuffered(std::fopen(fileName.c_str(), "wb"));
    if (!file)
        throw EFCreateError(fileName, SystemReason(errno));
    return file;
}

TFilePtr CreateReplacing(const std::string& fileName)
{
    int descriptor = -1;
    int error = 0;
    if (::unlink(fileName.c_str()) != 0 && (errno == EACCES || errno == EPERM)) {
        // What the user needs to hear is why the name could not be replaced.
        error = errno;
        descriptor = OpenForRewriting(fileName);
    } else {
        do
            descriptor = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        while (descriptor < 0 && errno == EINTR);
        error = errno;
    }
    if (descriptor < 0)
        throw EFCreateError(fileName, SystemReason(error));
    std::FILE* file = ::fdopen(descriptor, "w+b");
    if (!file) {
        error = errno;
        RemoveIfNaming(fileName, descriptor);
        ::close(descriptor);
        throw EFCreateError(fileName, SystemReason(error));
    }
    return Unbuffered(file);
}

void RemoveIfStillNamed(const std::string& fileName, std::FILE* file)
{
    RemoveIfNaming(fileName, fileno(file));
}
