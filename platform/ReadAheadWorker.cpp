// SPDX-License-Identifier: MIT
#include "platform/ReadAheadWorker.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace vantorel::dirwalk {

namespace {

using Clock = std::chrono::steady_clock;

// Listings are handed over in batches, and a walk that has caught up with the
// worker is woken when a batch is full or it has waited this long: a hand-over
// and a wake-up for each folder would cost more than listing the folder.
constexpr std::size_t kWakeBatch = 32;
constexpr auto kWakeDelay = std::chrono::microseconds(100);

std::int64_t nowNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

} // namespace

ReadAheadWorker::ReadAheadWorker(std::unique_ptr<DirectoryCursor> cursor, std::string root,
                                 std::vector<std::string> resumePath, ReadAheadLimits limits)
    : m_cursor(std::move(cursor))
    , m_root(std::move(root))
    , m_resumePath(std::move(resumePath))
    , m_limits(limits)
    , m_thread([this] { run(); })
{
}

ReadAheadWorker::~ReadAheadWorker()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

std::size_t ReadAheadWorker::bytesOf(const ReadAheadListing& listing)
{
    std::size_t bytes = sizeof(ReadAheadListing) + listing.name.size();
    for (std::size_t i = 0; i < listing.subfolders.size(); ++i)
        bytes += listing.subfolders.name(i).size() + 3 * sizeof(std::size_t);
    return bytes;
}

void ReadAheadWorker::run()
{
    try {
        walk();
        publish();
    } catch (...) {
        // Out of memory, most likely: the walk lists whatever is left itself.
    }
    // The listings of the walk's folders hold no descriptor: closing the
    // cursor's here leaves the thread nothing open while its queue waits.
    m_cursor.reset();
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_changed.notify_all();
}

bool ReadAheadWorker::resume(std::vector<Level>& levels)
{
    std::string error;
    levels.emplace_back();
    if (!m_cursor->openRoot(m_root, levels[0].subfolders, error))
        return false;
    levels[0].number = m_made++;
    for (const std::string& name : m_resumePath) {
        Level& parent = levels.back();
        std::size_t index = 0;
        while (index < parent.subfolders.size()
               && (parent.subfolders.name(index) != name
                   || parent.subfolders.kind(index) != FolderKind::Folder))
            ++index;
        if (index == parent.subfolders.size())
            return false; // the tree has changed: the walk goes on without help
        parent.next = index + 1;
        Level child;
        if (!m_cursor->enter(name, child.subfolders, error))
            return false;
        child.number = m_made++;
        levels.push_back(std::move(child));
    }
    return true;
}

void ReadAheadWorker::walk()
{
    std::vector<Level> levels;
    if (!resume(levels))
        return;
    std::string error;
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.subfolders.size()) {
            levels.pop_back();
            if (!levels.empty())
                m_cursor->leave();
            continue;
        }
        const std::size_t index = level.next++;
        if (level.subfolders.kind(index) != FolderKind::Folder)
            continue;
        ReadAheadListing listing;
        listing.parent = level.number;
        listing.number = m_made++;
        listing.name = level.subfolders.name(index);
        listing.listed = m_cursor->enter(listing.name, listing.subfolders, error);
        Level child;
        if (listing.listed) {
            child.subfolders = listing.subfolders;
            child.number = listing.number;
        }
        if (!hand(std::move(listing)))
            return;
        if (child.number != 0)
            levels.push_back(std::move(child));
    }
}

bool ReadAheadWorker::hand(ReadAheadListing&& listing)
{
    m_batchBytes += bytesOf(listing);
    m_batch.push_back(std::move(listing));
    const std::int64_t waitingSince = m_waitingSince.load(std::memory_order_relaxed);
    const bool waitedLong =
        waitingSince != 0
        && nowNanoseconds() - waitingSince >= std::chrono::nanoseconds(kWakeDelay).count();
    if (m_batch.size() >= std::min(kWakeBatch, m_limits.listings) || m_batchBytes >= m_limits.bytes / 2
        || waitedLong)
        return publish();
    return !m_stop.load(std::memory_order_relaxed);
}

bool ReadAheadWorker::publish()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop && !m_queue.empty()
           && (m_queue.size() + m_batch.size() > m_limits.listings
               || m_queuedBytes + m_batchBytes > m_limits.bytes)) {
        m_workerWaits = true;
        m_changed.wait(lock);
        m_workerWaits = false;
    }
    if (m_stop)
        return false;
    for (ReadAheadListing& listing : m_batch)
        m_queue.push_back(std::move(listing));
    m_queuedBytes += m_batchBytes;
    m_batch.clear();
    m_batchBytes = 0;
    const bool wake = m_waitingSince != 0;
    lock.unlock();
    if (wake)
        m_changed.notify_all();
    return true;
}

ReadAheadListing* ReadAheadWorker::peek()
{
    if (!m_taken.empty())
        return &m_taken.front();
    std::unique_lock lock(m_mutex);
    if (m_queue.empty() && !m_ended) {
        m_waitingSince = nowNanoseconds();
        do
            m_changed.wait(lock);
        while (m_queue.empty() && !m_ended);
        m_waitingSince = 0;
    }
    if (m_queue.empty())
        return nullptr;
    m_taken.swap(m_queue);
    m_queuedBytes = 0;
    const bool wake = m_workerWaits;
    lock.unlock();
    if (wake)
        m_changed.notify_all();
    return &m_taken.front();
}

void ReadAheadWorker::pop()
{
    m_taken.pop_front();
}

} // namespace vantorel::dirwalk
