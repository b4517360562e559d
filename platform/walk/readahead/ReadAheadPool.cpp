// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/ReadAheadPool.h"

#include <algorithm>
#include <utility>

namespace vantorel::dirwalk
{

using readahead::Piece;

ReadAheadPool::PieceRef ReadAheadPool::takePiece(Worker& worker, std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        if (m_stopping || m_failed)
            return m_sharing.pieces().end();
        if (!wanted(worker)) {
            m_restingWake.wait(lock);
            continue;
        }
        if (worker.backedOff) {
            // Until another thread is done with a piece, or the walk takes what was made.
            worker.backedOff = false;
            m_sharing.waitForWork(lock);
            continue;
        }
        // Without the descriptors to list, a thread would only give its piece back.
        const bool room = worker.cursor->roomToList();
        if (!room)
            m_descriptorsShort.store(true, std::memory_order_relaxed);
        if (m_ready && room) {
            const PieceRef piece = m_sharing.take(worker);
            if (piece != m_sharing.pieces().end()) {
                if (piece == m_sharing.pieces().begin()) {
                    m_handOver.setFrontUnstarted(false);
                    m_yieldForFront = false;
                }
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
    if (!worker.open(m_root, m_rootHeld))
        backOff(worker);
    else if (m_descriptorsShort.load(std::memory_order_relaxed))
        m_descriptorsShort.store(false, std::memory_order_relaxed);
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
    if (!worker.listNextFolder()) {
        backOff(worker);
        return;
    }
    paceListing(worker);
    publishIfDue(worker);
}

void ReadAheadPool::backOff(Worker& worker)
{
    // The process has no descriptor to spare: the thread gives its work back, to be taken
    // again once another thread lets its descriptors go. When none holds any, the walk makes
    // the listing it waits for itself, with the descriptor its own cursor keeps in reserve.
    const std::lock_guard lock(m_mutex);
    m_descriptorsShort.store(true, std::memory_order_relaxed);
    if (walkWaitsFor(worker) && m_sharing.running() == 1 && worker.hasNextFolder())
        worker.passNextFolder();
    publish(worker);
    m_budget.giveBack(worker.reserved);
    m_sharing.giveEverythingBack(worker);
    worker.backedOff = true;
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
        if (m_handOver.walkWaits() && worker.current == m_sharing.pieces().begin())
            m_handOver.markToWake();
        m_sharing.finish(worker.current);
        worker.current = m_sharing.pieces().end(); // the piece may be one with another now
        m_sharing.answered(worker);
        m_sharing.wakeOneIdle();
        // A thread after it may have room now, or be the first whose piece is not finished.
        wakeWaiting();
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
    // What it had counted and not made may be the room a thread before it waits for.
    wakeWaiting();
    // Woken by wakeWaiting(), alone: a wake-up for every thread at every batch would cost more
    // than the listings.
    m_budget.holdBack(worker);
    m_pacing.pause(worker.pace);
    m_handOver.wakeIfDue(); // this thread hands nothing more over for a while
    worker.wake.wait(lock, [this, &worker] {
        return m_stopping || m_failed || walkWaitsFor(worker) || m_handOver.waitsForUnstarted()
            || m_yieldForFront
            || (m_budget.roomToGoOn(aheadOf(worker.current, true)) && m_budget.roomLeft());
    });
    m_budget.letGo(worker);
    if (m_yieldForFront && !walkWaitsFor(worker)) {
        // Its descriptors go to the thread that starts the piece the walk waits for.
        m_sharing.giveEverythingBack(worker);
        return;
    }
    m_pacing.resume(worker.pace);
    worker.aheadAtPublish = aheadOf(worker.current, true);
}

void ReadAheadPool::wakeWaiting()
{
    m_budget.wakeHeldBack(m_sharing.pieces(),
        m_stopping || m_failed || m_handOver.waitsForUnstarted() || m_yieldForFront,
        m_handOver.walkWaits());
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
            // An idle thread takes a piece nobody has started; when none is idle, a busy one
            // does. When the idle ones may find no descriptor to start with, the threads held
            // back for room let theirs go: a busy thread takes the piece once it is done.
            m_yieldForFront = false;
            if (front.state == Piece::State::Unstarted) {
                if (m_sharing.anyIdle())
                    m_sharing.wakeAllIdle();
                else
                    m_handOver.setFrontUnstarted(true);
                m_yieldForFront = m_descriptorsShort.load(std::memory_order_relaxed);
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
