// Large blocks of memory in whole 2 MiB pages, which the system may back with
// huge pages: filling fresh memory then costs one page fault per 2 MiB
// instead of one per 4 KiB. On a virtual machine a page fault costs about
// ten microseconds, more than filling the page, so for arrays of megabytes
// the faults are most of the cost of building them. What it buys
// (bench/machinery.sh, against KELDERWYN_PLAIN=hugepages): start-up to the
// first paint 1.26 to 1.29 times as fast with the sample world.
//
// The plain twin (FastPaths.h) takes the same blocks without asking for huge
// pages, and gives nothing back.
//
// NewHugePages(capacity) takes a capacity from HugePageCapacity and throws
// std::bad_alloc when there is no memory; DeleteHugePages frees what it gave.
// HugePageCapacity throws std::bad_alloc when the rounded size overflows.
//
// THugePageAllocator<T> puts arrays of 1 MiB and more into such blocks and
// smaller ones on the ordinary heap, for the large containers of the model:
// the location list, and the window's list of names. A huge page is resident
// as a whole once touched, so a container that has stopped growing gives the
// pages past its elements back with ReleaseUnusedCapacity; they read as zeros
// if it grows into them again.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

inline constexpr std::size_t HugePageBytes = std::size_t{2} << 20;
inline constexpr std::size_t HugePageMinBytes = std::size_t{1} << 20;

std::size_t HugePageCapacity(std::size_t bytes);
void* NewHugePages(std::size_t capacity);
void DeleteHugePages(void* data) noexcept;
// Gives back the pages of a block of `capacity` bytes from NewHugePages that
// lie wholly past its first `used` bytes.
void ReleaseHugePagesAfter(void* data, std::size_t capacity, std::size_t used) noexcept;

template <class T>
class THugePageAllocator {
public:
    using value_type = T;

    THugePageAllocator() noexcept = default;
    template <class U>
    THugePageAllocator(const THugePageAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count)
    {
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = count * sizeof(T);
        if (bytes < HugePageMinBytes)
            return static_cast<T*>(::operator new(bytes));
        return static_cast<T*>(NewHugePages(HugePageCapacity(bytes)));
    }

    void deallocate(T* data, std::size_t count) noexcept
    {
        if (count * sizeof(T) < HugePageMinBytes)
            ::operator delete(data);
        else
            DeleteHugePages(data);
    }

    template <class U>
    bool operator==(const THugePageAllocator<U>&) const noexcept
    {
        return true;
    }
};

template <class T>
void ReleaseUnusedCapacity(std::vector<T, THugePageAllocator<T>>& items) noexcept
{
    const std::size_t bytes = items.capacity() * sizeof(T);
    if (bytes >= HugePageMinBytes)
        ReleaseHugePagesAfter(items.data(), (bytes + HugePageBytes - 1) & ~(HugePageBytes - 1), items.size() * sizeof(T));
}
