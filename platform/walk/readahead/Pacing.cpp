// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/Pacing.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <ctime>
#include <utility>

namespace vantorel::dirwalk::readahead
{

namespace
{

    /// Listings that read the disk and take this many times the processor time
    /// they need wait on it: more threads keep more of them waiting at once.
    constexpr std::int64_t kSlowFromDisk = 2;
    /// Listings that take this many times their processor time without reading
    /// the disk, and this long each, wait on something else, a network share
    /// most likely. Shorter, and a thread that other programs keep off the
    /// processor for a moment would look slow.
    constexpr std::int64_t kSlowElsewhere = 16;
    constexpr std::chrono::nanoseconds kSlowListing = std::chrono::microseconds(500);

} // namespace

ThreadUsage threadUsage()
{
    ThreadUsage usage;
#if defined(RUSAGE_THREAD) && defined(CLOCK_THREAD_CPUTIME_ID)
    // The processor time getrusage() gives is counted in ticks: too coarse for a few listings.
    timespec time {};
    rusage own {};
    if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time) == 0
        && ::getrusage(RUSAGE_THREAD, &own) == 0) {
        usage.time = std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
        usage.blocksRead = own.ru_inblock;
    }
#endif
    return usage;
}

Pacing::Pacing(std::size_t fewest, std::size_t most, Clock clock, UsageSource usage)
    : m_fewest(fewest)
    , m_most(most)
    , m_clock(std::move(clock))
    , m_usage(std::move(usage))
    , m_wanted(fewest)
{
}

std::chrono::steady_clock::time_point Pacing::now() const
{
    return m_clock ? m_clock() : std::chrono::steady_clock::now();
}

ThreadUsage Pacing::usage() const
{
    return m_usage ? m_usage() : threadUsage();
}

void Pacing::resume(PaceMeter& meter) const
{
    if (fixed())
        return;
    meter.listingSince = now();
    meter.usageSince = usage();
}

void Pacing::pause(PaceMeter& meter) const
{
    if (fixed())
        return;
    const ThreadUsage used = usage();
    meter.took += now() - meter.listingSince;
    meter.used.time += used.time - meter.usageSince.time;
    meter.used.blocksRead += used.blocksRead - meter.usageSince.blocksRead;
}

Pacing::Step Pacing::count(PaceMeter& meter) const
{
    if (fixed())
        return Step::Keep;
    ++meter.listings;
    const bool quick = meter.listings >= kQuickRunListings
        && meter.took + (now() - meter.listingSince) >= kQuickRunTime;
    if (meter.listings < kRunListings && !quick)
        return Step::Keep;
    pause(meter);
    const auto listings = std::int64_t(meter.listings);
    const std::int64_t took = meter.took.count();
    const std::int64_t needed = meter.used.time.count();
    const bool fromDisk = meter.used.blocksRead > 0;
    meter.listings = 0;
    meter.took = {};
    meter.used = {};
    resume(meter);
    if (needed <= 0)
        return Step::Keep; // the system cannot tell
    const std::size_t wantedNow = wanted();
    const bool slow = fromDisk
        ? took > kSlowFromDisk * needed
        : took > kSlowElsewhere * needed && took > listings * kSlowListing.count();
    if (slow && wantedNow < m_most) {
        m_waitsElsewhere.store(!fromDisk, std::memory_order_relaxed);
        return Step::Grow;
    }
    if (!slow && !fromDisk && wantedNow > m_fewest)
        return Step::StepBack;
    return Step::Keep;
}

std::size_t Pacing::grow()
{
    const std::size_t more = m_waitsElsewhere.load(std::memory_order_relaxed)
        ? m_most
        : std::min(m_most, 2 * m_wanted.load());
    m_wanted = more;
    return more;
}

void Pacing::stepBack()
{
    if (m_wanted > m_fewest)
        --m_wanted;
}

} // namespace vantorel::dirwalk::readahead
