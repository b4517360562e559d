// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>

namespace vantorel::dirwalk::readahead
{

/// What a thread has used of the machine.
struct ThreadUsage {
    /// Of the processor; zero where the system cannot tell.
    std::chrono::nanoseconds time { 0 };
    long blocksRead = 0; ///< from the disk, past the page cache
};

/// The calling thread's usage so far.
ThreadUsage threadUsage();

/// One thread's run of listings weighed next, counted only while it lists.
struct PaceMeter {
    std::size_t listings = 0;
    std::chrono::nanoseconds took { 0 };
    ThreadUsage used;
    std::chrono::steady_clock::time_point listingSince;
    ThreadUsage usageSince; ///< the thread's, when it last went on listing
};

/// How many threads are wanted: more while listing a folder takes them much
/// longer than the processor time it needs (a cold disk, a network share), so
/// that more listings wait at once; fewer again when listings are fast.
class Pacing
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using UsageSource = std::function<ThreadUsage()>;
    /// A thread weighs the time its listings take every this many listings,
    static constexpr std::size_t kRunListings = 32;
    /// or sooner, after this many, once they have taken kQuickRunTime: on a
    /// network share the pool reaches its size within a few round trips.
    static constexpr std::size_t kQuickRunListings = 3;
    static constexpr std::chrono::milliseconds kQuickRunTime { 25 };
    /// What a run of listings says the pool should do.
    enum class Step { Keep, Grow, StepBack };

    /// The steady clock and the calling thread's own usage, unless given.
    Pacing(std::size_t fewest, std::size_t most, Clock clock = {}, UsageSource usage = {});

    std::size_t fewest() const { return m_fewest; }
    std::size_t most() const { return m_most; }
    /// Never more threads than the fewest: nothing is weighed.
    bool fixed() const { return m_most == m_fewest; }
    std::size_t wanted() const { return m_wanted.load(std::memory_order_relaxed); }

    /// The thread goes on listing, or stops for a while: only the time it
    /// lists is weighed.
    void resume(PaceMeter& meter) const;
    void pause(PaceMeter& meter) const;
    /// Counts one listing and, at the end of each run of them, compares the
    /// time they took with the processor time they needed.
    Step count(PaceMeter& meter) const;

    // Called with the pool's lock held.
    /// More threads wanted: twice as many while listings read the disk, which
    /// more requests at once help less and less; the most while they wait on
    /// something else, a share that answers many calls at once. Up to the
    /// most; returns the new count.
    std::size_t grow();
    /// One thread fewer, down to the fewest: a thread resting while the disk
    /// is slow costs more than one too many.
    void stepBack();

private:
    std::chrono::steady_clock::time_point now() const;
    ThreadUsage usage() const;

    const std::size_t m_fewest;
    const std::size_t m_most;
    const Clock m_clock;
    const UsageSource m_usage;
    std::atomic<std::size_t> m_wanted;
    /// The last run that asked to grow waited on something other than the disk.
    mutable std::atomic<bool> m_waitsElsewhere { false };
};

} // namespace vantorel::dirwalk::readahead
