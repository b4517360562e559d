// SPDX-License-Identifier: MIT
#include "platform/walk/linux/DescriptorBudget.h"

#include <sys/resource.h>

#include <algorithm>
#include <atomic>

namespace vantorel::dirwalk
{

namespace
{

    std::atomic<std::size_t> g_taken { 0 };
    std::atomic<std::size_t> g_size { 0 };
    std::atomic<bool> g_read { false };

} // namespace

void DescriptorBudget::refresh()
{
    rlimit limit {};
    std::size_t size = 256; // what a quarter of the usual 1024 gives, if the limit cannot be read
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0)
        size = limit.rlim_cur == RLIM_INFINITY ? std::size_t { 1 } << 20
                                               : std::size_t(limit.rlim_cur / 4);
    g_size.store(size, std::memory_order_relaxed);
    g_read.store(true, std::memory_order_relaxed);
}

std::size_t DescriptorBudget::take(std::size_t count)
{
    if (!g_read.load(std::memory_order_relaxed))
        refresh();
    const std::size_t size = g_size.load(std::memory_order_relaxed);
    std::size_t taken = g_taken.load(std::memory_order_relaxed);
    while (taken < size) {
        const std::size_t got = std::min(count, size - taken);
        if (g_taken.compare_exchange_weak(taken, taken + got, std::memory_order_relaxed))
            return got;
    }
    return 0;
}

void DescriptorBudget::give(std::size_t count)
{
    g_taken.fetch_sub(count, std::memory_order_relaxed);
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
