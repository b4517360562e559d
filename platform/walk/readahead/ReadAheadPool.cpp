// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/ReadAheadPool.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

namespace vantorel::dirwalk
{

using readahead::Piece;

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
        const std::size_t more = m_pacing.grow();
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
            *worker.cursor, m_root, m_rootListing.get(), m_resumePath, pieces, rootHeld))
        return false;
    const std::lock_guard lock(m_mutex);
    m_rootHeld = std::move(rootHeld);
    m_sharing.addPieces(pieces);
    return true;
}

ReadAheadPool::PieceRef ReadAheadPool::takePiece(Worker& worker, std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        if (m_stopping || m_failed)
            return m_sharing.pieces().end();
        if (!wanted(worker)) {
            m_restingWake.wait(lock);
            continue;
        }
        if (m_ready) {
            const PieceRef piece = m_sharing.take(worker);
            if (piece != m_sharing.pieces().end()) {
                if (piece == m_sharing.pieces().begin())
                    m_handOver.setFrontUnstarted(false);
                worker.aheadAtPublish = aheadOf(piece, true);
                return piece;
            }
        }
        m_sharing.waitForWork(lock);
    }
}

readahead::Ahead ReadAheadPool::aheadOf(PieceRef piece, bool inclusive) const
{
    return readahead::ListingBudget::aheadOf(m_sharing.pieces(), piece, inclusive);
}

void ReadAheadPool::walkPiece(Worker& worker, PieceRef piece)
{
    worker.take(piece);
    m_pacing.resume(worker.pace);
    worker.open(m_root, m_rootHeld.get());
    while (worker.depth > 0) {
        m_handOver.wakeIfDue();
        if (m_stopping.load(std::memory_order_relaxed))
            return;
        if (!worker.hasNextFolder())
            worker.leaveFolder();
        else if (mayGoOn(worker))
            stepPiece(worker);
    }
    endPiece(worker);
}

bool ReadAheadPool::mayGoOn(Worker& worker)
{
    const bool grown = m_pacing.wanted() > m_pacing.fewest();
    if (worker.giveAwayAsked.load(std::memory_order_relaxed) || (grown && m_sharing.hungry())) {
        const std::lock_guard lock(m_mutex);
        if (m_sharing.shareWork(worker, grown))
            return false; // the deepest folder may have nothing left now
    }
    if (shouldStop(worker)) {
        std::unique_lock lock(m_mutex);
        publish(worker); // and learns how far ahead it is now
        // The listing the walk waits for is made whatever the limits.
        if (!walkWaitsFor(worker) && shouldStop(worker))
            stopHere(worker, lock);
        return false;
    }
    // However stale the threads' views of each other, all of them together stop at twice the
    // limits; the thread on the first piece not finished may go on, up to the limits with
    // everything before it as it sees them now, for the walk reads its listings next.
    if (m_budget.reserve(worker.reserved))
        return true;
    std::unique_lock lock(m_mutex);
    publish(worker); // and learns how far ahead it is now
    if (!walkWaitsFor(worker)
        && (worker.current != m_sharing.firstUnfinished() || overLimits(worker))) {
        stopHere(worker, lock);
        return false;
    }
    m_budget.reserveRegardless(worker.reserved);
    return true;
}

void ReadAheadPool::stepPiece(Worker& worker)
{
    worker.listNextFolder();
    paceListing(worker);
    publishIfDue(worker);
}

void ReadAheadPool::publishIfDue(Worker& worker)
{
    if (worker.batchDue(m_handOver.walkWaits() && m_handOver.reads(*worker.current))) {
        const std::lock_guard lock(m_mutex);
        publish(worker);
    }
}

void ReadAheadPool::endPiece(Worker& worker)
{
    m_pacing.pause(worker.pace);
    {
        const std::lock_guard lock(m_mutex);
        publish(worker);
        m_budget.giveBack(worker.reserved);
        worker.current->state = Piece::State::Finished;
        worker.current->owner = nullptr;
        if (m_handOver.walkWaits() && worker.current == m_sharing.pieces().begin())
            m_handOver.markToWake();
        m_sharing.answered(worker);
        m_sharing.wakeOneIdle();
    }
    m_handOver.wakeIfDue();
}

void ReadAheadPool::publish(Worker& worker)
{
    if (worker.batch->empty()) {
        worker.aheadAtPublish = aheadOf(worker.current, true);
        return;
    }
    worker.current->ahead.listings += worker.batch->size();
    worker.current->ahead.bytes += worker.batch->bytes();
    m_budget.handedOver(worker.batch->bytes());
    worker.current->batches.push_back(std::move(worker.batch));
    worker.aheadAtPublish = aheadOf(worker.current, true);
    worker.batch = m_handOver.freshBatch();
    if (m_handOver.walkWaits() && worker.current == m_sharing.pieces().begin())
        m_handOver.markToWake();
}

void ReadAheadPool::stopHere(Worker& worker, std::unique_lock<std::mutex>& lock)
{
    if (m_handOver.waitsForUnstarted() || m_pacing.wanted() == m_pacing.fewest()) {
        // Every folder has nothing left then: the walk leaves them all.
        publish(worker);
        m_budget.giveBack(worker.reserved);
        m_sharing.giveEverythingBack(worker);
        return;
    }
    // While the threads wait on the disk, one too far ahead waits where it is: giving its work
    // back, and all of them taking pieces of it again a moment later, costs more than listing.
    m_budget.giveBack(worker.reserved);
    // Woken by wakeWaiting(), alone: a wake-up for every thread at every batch would cost more
    // than the listings.
    m_budget.holdBack(worker);
    m_pacing.pause(worker.pace);
    m_handOver.wakeIfDue(); // this thread hands nothing more over for a while
    worker.wake.wait(lock, [this, &worker] {
        return m_stopping || m_failed || walkWaitsFor(worker) || m_handOver.waitsForUnstarted()
            || (m_budget.roomToGoOn(aheadOf(worker.current, true)) && m_budget.roomLeft());
    });
    m_budget.letGo(worker);
    m_pacing.resume(worker.pace);
    worker.aheadAtPublish = aheadOf(worker.current, true);
}

void ReadAheadPool::wakeWaiting()
{
    m_budget.wakeHeldBack(m_sharing.pieces(),
        m_stopping || m_failed || m_handOver.waitsForUnstarted(), m_handOver.walkWaits());
}

bool ReadAheadPool::walkWaitsFor(const Worker& worker) const
{
    return m_handOver.walkWaits() && worker.current == m_sharing.pieces().begin()
        && worker.current->batches.empty();
}

bool ReadAheadPool::overLimits(const Worker& worker) const
{
    const readahead::Ahead ahead { worker.aheadAtPublish.listings + worker.batch->size(),
        worker.aheadAtPublish.bytes + worker.batch->bytes() };
    return !m_budget.withinLimits(ahead);
}

bool ReadAheadPool::shouldStop(const Worker& worker) const
{
    // The walk waits for a piece nobody has started: this thread takes it.
    if (m_handOver.waitsForUnstarted() && !m_handOver.reads(*worker.current))
        return true;
    return overLimits(worker);
}

bool ReadAheadPool::takeBatch()
{
    std::unique_lock lock(m_mutex);
    m_handOver.recycle();
    readahead::PieceList& pieces = m_sharing.pieces();
    for (;;) {
        if (m_failed || m_stopping)
            return false;
        if (m_ready && pieces.empty())
            return false; // everything was handed over
        if (m_ready) {
            Piece& front = pieces.front();
            m_handOver.setFront(front);
            if (!front.batches.empty()) {
                const readahead::ListingBatch& batch = m_handOver.read(front);
                m_budget.taken(batch.size(), batch.bytes());
                // A thread held back by the limits may go on now; it wakes the next if there is
                // more to start.
                m_sharing.wakeOneIdle();
                wakeWaiting();
                return true;
            }
            if (front.state == Piece::State::Finished) {
                pieces.pop_front();
                continue;
            }
            // An idle thread takes a piece nobody has started; when none is idle, a busy one does.
            if (front.state == Piece::State::Unstarted) {
                if (m_sharing.anyIdle())
                    m_sharing.wakeAllIdle();
                else
                    m_handOver.setFrontUnstarted(true);
            }
        }
        m_handOver.beginWait();
        // The thread on the piece the walk reads may wait for room: it goes on now.
        wakeWaiting();
        if (!m_handOver.wait(lock))
            return false;
    }
}

const ReadAheadListing* ReadAheadPool::peek()
{
    if (const ReadAheadListing* listing = m_handOver.next())
        return listing;
    return takeBatch() ? m_handOver.next() : nullptr;
}

} // namespace vantorel::dirwalk
