// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/index/FolderIndex.h"
#include "platform/walk/index/IndexRules.h"
#include "platform/walk/linux/LinuxDirectoryCursor.h"
#include "platform/walk/readahead/Pacing.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace vantorel::dirwalk::index
{

/// What the check found for one folder or link of the last index.
enum class Verdict : std::uint8_t {
    Pending,
    Same, ///< its stamp holds: its listing is the index's
    Changed, ///< its stamp moved (or never proved anything): listed again, see take()
    Live, ///< its stamp could not be read: the walk lists it itself, as it would without an index
    LinkToFolder, ///< a link whose target is a folder now
    LinkToOther, ///< a link whose target is not (or cannot be read)
};

/// A folder listed again by the check.
struct CheckedListing {
    bool listed = false;
    SubfolderList listing;
    std::string error;
};

/// What one check did, for tests and benchmarks.
struct CheckStatistics {
    std::size_t same = 0;
    std::size_t changed = 0;
    std::size_t live = 0;
    std::size_t links = 0;
    std::size_t threads = 0;
};

/// Re-checks every folder of an index, in pre-order, on threads of its own, as
/// far ahead of the walk as they get: each folder is stat'ed from its parent,
/// which is opened without being listed, and only a folder whose stamp moved
/// is listed again. The index's pre-order is cut into runs of equal length,
/// taken in order; while stats take the threads much longer than the processor
/// time they need (a cold disk, a network share) more threads are started, so
/// that more stats wait at once. Every thread is stopped and joined when the
/// check goes.
///
/// Each node's verdict is set once by the thread that checks it and read by
/// the walk with acquire; the listings made again are under m_mutex.
class IndexCheck
{
public:
    using CursorFactory = std::function<std::unique_ptr<LinuxDirectoryCursor>()>;

    IndexCheck(const FolderIndex& old, IndexRules& rules, CursorFactory makeCursor,
        unsigned threads, unsigned mostThreads);
    ~IndexCheck();
    IndexCheck(const IndexCheck&) = delete;
    IndexCheck& operator=(const IndexCheck&) = delete;

    /// The verdict on node `id`, waiting for it in slices and calling
    /// `handler` between them; Pending when the handler gave the wait up.
    Verdict await(std::uint32_t id, const WaitHandler& handler);
    /// The listing made again for a node found Changed.
    CheckedListing take(std::uint32_t id);
    /// The walk has come to node `id`: the threads may run further ahead.
    void walkAt(std::uint32_t id);

    /// Asks every thread to stop and waits at most `wait` for them to end;
    /// false when one is still in a call to the file system.
    bool stopWithin(std::chrono::nanoseconds wait);
    CheckStatistics statistics() const;

    /// Listings made again and not yet taken, at most: beyond them the threads
    /// ahead of the walk wait.
    static constexpr std::size_t kMostHeldListings = 65536;
    static constexpr std::size_t kMostHeldBytes = std::size_t { 8 } << 20;

private:
    struct Worker;

    void startWorker();
    void run(Worker& worker);
    void checkRun(Worker& worker, std::uint32_t begin, std::uint32_t end);
    bool openAncestors(Worker& worker, std::uint32_t first);
    /// Checks node `id`; true when the walk of the run goes into it.
    bool checkNode(Worker& worker, std::uint32_t id, std::uint32_t end);
    /// Lists node `id` again; true when the walk of the run goes into it.
    bool listAgain(Worker& worker, std::uint32_t id, std::uint32_t end);
    /// Keeps a listing made again for the walk, within the limits.
    void hold(std::uint32_t id, CheckedListing listing);
    bool overLimits() const
    {
        return m_listings.size() >= kMostHeldListings || m_heldBytes >= kMostHeldBytes;
    }
    void markRange(std::uint32_t begin, std::uint32_t end, Verdict verdict);
    void decide(std::uint32_t id, Verdict verdict);
    void pace(Worker& worker);
    bool stopping() const { return m_stopping.load(std::memory_order_relaxed); }

    const FolderIndex& m_old;
    IndexRules& m_rules;
    const CursorFactory m_makeCursor;
    /// Each node's parent, for opening the parents of a run's first node.
    std::vector<std::uint32_t> m_parents;
    std::unique_ptr<std::atomic<std::uint8_t>[]> m_verdicts;
    std::uint32_t m_runLength = 1;
    std::uint32_t m_runs = 0;
    std::atomic<std::uint32_t> m_nextRun { 0 };
    std::atomic<std::uint32_t> m_walkAt { 0 };
    std::atomic<std::uint32_t> m_walkWaitsFor { FolderIndex::kNone };
    std::atomic<bool> m_stopping { false };
    std::atomic<std::size_t> m_roomWaiters { 0 };

    mutable std::mutex m_mutex;
    std::condition_variable m_decided; ///< the walk waits on it
    std::condition_variable m_room; ///< threads too far ahead wait on it
    std::condition_variable m_ended;
    std::unordered_map<std::uint32_t, CheckedListing> m_listings;
    std::size_t m_heldBytes = 0;
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::size_t m_running = 0;
    readahead::Pacing m_pacing;

    std::atomic<std::size_t> m_same { 0 };
    std::atomic<std::size_t> m_changed { 0 };
    std::atomic<std::size_t> m_live { 0 };
    std::atomic<std::size_t> m_links { 0 };
};

} // namespace vantorel::dirwalk::index
