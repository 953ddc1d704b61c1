#include "HugePages.h"

#include "FastPaths.h"

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

constexpr std::align_val_t HugePageAlignment{HugePageBytes};

} // namespace

std::size_t HugePageCapacity(std::size_t bytes)
{
    if (bytes > static_cast<std::size_t>(-1) - (HugePageBytes - 1))
        throw std::bad_alloc();
    return (bytes + HugePageBytes - 1) & ~(HugePageBytes - 1);
}

void* NewHugePages(std::size_t capacity)
{
    void* data = ::operator new(capacity, HugePageAlignment);
#ifdef MADV_HUGEPAGE
    if (UseFastPath(TFastPath::HugePages))
        ::madvise(data, capacity, MADV_HUGEPAGE);
#endif
    return data;
}

void DeleteHugePages(void* data) noexcept
{
    ::operator delete(data, HugePageAlignment);
}

void ReleaseHugePagesAfter(void* data, std::size_t capacity, std::size_t used) noexcept
{
#ifdef __linux__
    if (!UseFastPath(TFastPath::HugePages))
        return;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t kept = (used + page - 1) / page * page;
    if (kept < capacity)
        ::madvise(static_cast<char*>(data) + kept, capacity - kept, MADV_DONTNEED);
#endif
}
