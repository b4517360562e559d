// SPDX-License-Identifier: MIT
#include "platform/walk/linux/DescriptorBudget.h"

#include "platform/walk/linux/FileDescriptor.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

namespace vantorel::dirwalk
{

namespace
{

    std::atomic<std::size_t> g_taken { 0 };
    std::atomic<std::size_t> g_size { 0 };
    std::atomic<bool> g_read { false };
    std::atomic<std::size_t> g_waiting { 0 };

    /// The process's soft limit of open descriptors.
    std::size_t descriptorLimit()
    {
        rlimit limit {};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
            return 1024;
        return limit.rlim_cur == RLIM_INFINITY ? std::size_t { 1 } << 20
                                               : std::size_t(limit.rlim_cur);
    }

    /// The descriptors the process has open: the entries of /proc/self/fd but
    /// the one that reads it; where that cannot be read, every number below
    /// the limit (up to 65536) is asked.
    std::size_t openDescriptors(std::size_t limit)
    {
        FileDescriptor folder(::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.valid()) {
            alignas(8) char buffer[4096];
            std::size_t entries = 0;
            for (;;) {
                const long read = ::syscall(SYS_getdents64, folder.get(), buffer, sizeof buffer);
                if (read < 0)
                    break;
                if (read == 0)
                    return entries > 3 ? entries - 3 : 0; // ".", ".." and the folder's own
                for (long offset = 0; offset < read;) {
                    std::uint16_t length = 0;
                    // d_reclen follows the 8-byte inode and the 8-byte offset.
                    std::memcpy(&length, buffer + offset + 16, sizeof length);
                    offset += length;
                    ++entries;
                }
            }
        }
        std::size_t count = 0;
        for (std::size_t fd = 0; fd < std::min(limit, std::size_t { 65536 }); ++fd)
            count += ::fcntl(int(fd), F_GETFD) != -1 ? 1 : 0;
        return count;
    }

} // namespace

void DescriptorBudget::refresh()
{
    const std::size_t limit = descriptorLimit();
    const std::size_t open = openDescriptors(limit);
    // Those held by cursors now are the budget's own, not the rest of the program's.
    const std::size_t held = g_taken.load(std::memory_order_relaxed);
    const std::size_t others = open > held ? open - held : 0;
    const std::size_t setAside = others + kWalkListing + limit / 8;
    g_size.store(limit > setAside ? limit - setAside : 0, std::memory_order_relaxed);
    g_read.store(true, std::memory_order_relaxed);
}

std::size_t DescriptorBudget::take(std::size_t count)
{
    if (g_waiting.load(std::memory_order_relaxed) > 0)
        return 0;
    const std::size_t size = DescriptorBudget::size();
    const std::size_t room = size > kKeptForNeeds ? size - kKeptForNeeds : 0;
    std::size_t taken = g_taken.load(std::memory_order_relaxed);
    while (taken < room) {
        const std::size_t got = std::min(count, room - taken);
        if (g_taken.compare_exchange_weak(taken, taken + got, std::memory_order_relaxed))
            return got;
    }
    return 0;
}

bool DescriptorBudget::takeNeeded(std::size_t count)
{
    const std::size_t size = DescriptorBudget::size();
    std::size_t taken = g_taken.load(std::memory_order_relaxed);
    while (taken + count <= size)
        if (g_taken.compare_exchange_weak(taken, taken + count, std::memory_order_relaxed))
            return true;
    return false;
}

void DescriptorBudget::give(std::size_t count)
{
    g_taken.fetch_sub(count, std::memory_order_relaxed);
}

void DescriptorBudget::setWaiting(bool waits)
{
    if (waits)
        g_waiting.fetch_add(1, std::memory_order_relaxed);
    else
        g_waiting.fetch_sub(1, std::memory_order_relaxed);
}

std::size_t DescriptorBudget::taken()
{
    return g_taken.load(std::memory_order_relaxed);
}

std::size_t DescriptorBudget::size()
{
    if (!g_read.load(std::memory_order_relaxed))
        refresh();
    return g_size.load(std::memory_order_relaxed);
}

} // namespace vantorel::dirwalk
