// SPDX-License-Identifier: MIT
// The pool's threads: started, paced, stopped and joined, and the first one's
// way down to where the walk stands.
#include "platform/walk/readahead/ReadAheadPool.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

namespace vantorel::dirwalk
{

namespace
{

    /// Each thread numbers its listings from its own range, without a lock.
    constexpr std::uint64_t kNumbersPerThread = std::uint64_t { 1 } << 40;

} // namespace

ReadAheadPool::ReadAheadPool(const CursorFactory& makeCursor, std::string root,
    std::vector<std::string> resumePath, ReadAheadLimits limits, unsigned threads,
    unsigned mostThreads, std::shared_ptr<const SubfolderList> rootListing)
    : m_root(std::move(root))
    , m_resumePath(std::move(resumePath))
    , m_makeCursor(makeCursor)
    , m_rootListing(std::move(rootListing))
    , m_pacing(std::max(threads, 1u), std::max(std::max(threads, 1u), mostThreads))
    , m_budget(limits)
{
    m_workers.reserve(m_pacing.most());
    bool started = true;
    {
        // The threads wait for the lock until all of them are started.
        const std::lock_guard lock(m_mutex);
        while (started && m_workers.size() < m_pacing.fewest())
            started = startWorker();
    }
    if (!started) {
        stopAll();
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
}

bool ReadAheadPool::startWorker()
{
    // The factory is called with the lock held, or on the walk's thread
    // before any pool thread runs: it need not be thread-safe.
    auto worker = std::make_unique<Worker>();
    worker->index = m_workers.size();
    worker->cursor = m_makeCursor();
    worker->cursor->listAhead();
    worker->nextNumber = (worker->index + 1) * kNumbersPerThread;
    Worker& started = *worker;
    m_workers.push_back(std::move(worker));
    try {
        started.thread = std::thread([this, &started] { run(started); });
    } catch (const std::system_error&) {
        m_workers.pop_back();
        return false;
    }
    m_threadsStarted.store(m_workers.size(), std::memory_order_relaxed);
    ++m_threadsRunning;
    return true;
}

void ReadAheadPool::paceListing(Worker& worker)
{
    switch (m_pacing.count(worker.pace)) {
    case readahead::Pacing::Step::Keep:
        return;
    case readahead::Pacing::Step::Grow: {
        const std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        // No more threads than the descriptors let list at once: the others would only wait.
        const std::size_t more = std::min(m_pacing.grow(), worker.cursor->listersAtOnce());
        while (m_workers.size() < more && startWorker()) { }
        m_restingWake.notify_all();
        return;
    }
    case readahead::Pacing::Step::StepBack: {
        const std::lock_guard lock(m_mutex);
        m_pacing.stepBack();
        return;
    }
    }
}

ReadAheadPool::~ReadAheadPool()
{
    stopAll();
}

void ReadAheadPool::stopAll()
{
    askToStop();
    // No thread is started once m_stopping is set.
    for (const std::unique_ptr<Worker>& worker : m_workers)
        if (worker->thread.joinable())
            worker->thread.join();
}

void ReadAheadPool::askToStop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        wakeWaiting();
    }
    m_sharing.wakeAll();
    m_handOver.wakeNow();
    m_restingWake.notify_all();
}

bool ReadAheadPool::stopWithin(std::chrono::nanoseconds wait)
{
    askToStop();
    std::unique_lock lock(m_mutex);
    return m_endedWake.wait_for(lock, wait, [this] { return m_threadsRunning == 0; });
}

void ReadAheadPool::run(Worker& worker)
{
    try {
        if (worker.index == 0) {
            const bool resumed = resume(worker);
            {
                const std::lock_guard lock(m_mutex);
                m_ready = true;
                m_failed = m_failed || !resumed;
            }
            m_sharing.wakeAll();
            m_handOver.wakeNow();
        }
        std::unique_lock lock(m_mutex);
        for (PieceRef piece = takePiece(worker, lock); piece != m_sharing.pieces().end();
             piece = takePiece(worker, lock)) {
            lock.unlock();
            walkPiece(worker, piece);
            lock.lock();
        }
    } catch (...) {
        // Out of memory, most likely: the walk lists whatever is left itself.
        {
            const std::lock_guard lock(m_mutex);
            m_failed = true;
            wakeWaiting();
        }
        m_handOver.wakeNow();
        m_sharing.wakeAll();
    }
    // Nothing stays open while the pool waits to be dropped.
    worker.cursor.reset();
    const std::lock_guard lock(m_mutex);
    --m_threadsRunning;
    m_endedWake.notify_all();
}

bool ReadAheadPool::resume(Worker& worker)
{
    readahead::PieceList pieces;
    std::shared_ptr<const HeldFolder> rootHeld;
    if (!readahead::WorkSharing::piecesAfter(
            *worker.cursor, m_root, m_rootListing, m_resumePath, pieces, rootHeld))
        return false;
    const std::lock_guard lock(m_mutex);
    m_rootHeld = std::move(rootHeld);
    m_sharing.addPieces(pieces);
    return true;
}

} // namespace vantorel::dirwalk
