// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/readahead/ListingBudget.h"
#include "platform/walk/readahead/Pacing.h"
#include "platform/walk/readahead/Piece.h"
#include "platform/walk/readahead/WalkHandOver.h"
#include "platform/walk/readahead/WorkSharing.h"
#include "platform/walk/readahead/Worker.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vantorel::dirwalk
{

/// Threads that list the folders of one tree and hand the listings over in
/// the search's depth-first pre-order; as many as keep the disk busy.
///
/// The tree's pre-order is cut into pieces, kept in order in one list (a
/// piece: a run of sibling folders with everything below them). A piece goes
///
///     waiting ──a thread takes it──> running ──its thread is done──> finished
///                                      │                                │
///         its unstarted folders cut off as new waiting pieces:          │
///         given away to an idle thread, or back when over the limits    │
///                                                                       │
///     its listings go to the walk front to back, in batches; the front piece
///     finished and empty is dropped
///
/// The parts, each under the one lock m_mutex unless said otherwise:
/// - readahead::Pacing: how many threads are wanted. Its count is read
///   without the lock; a thread's meter is its own.
/// - readahead::ListingBudget: what is held ahead of the walk. The count of
///   listings made is reserved a few at a time without the lock; stale views
///   only delay a thread's stop, and all stay within twice the limits.
/// - readahead::WorkSharing: the piece list, each piece's state, owner,
///   batches and count ahead; idle threads, and the owners asked for work.
///   Whether more threads are idle than pieces wait is also read without the
///   lock: on a share, the first thread to finish a listing feeds them.
/// - readahead::WalkHandOver: the walk's side. The batch it reads is the
///   walk's thread's alone; it takes the lock to take the next.
/// - readahead::Worker: a thread's own, lock-free (cursor, frames, path,
///   batch, reservation, meter), and the folders and path of the piece it
///   runs. Others only set its giveAwayAsked, with the lock.
/// m_ready and m_failed are guarded by the lock; m_stopping is set with it.
/// Threads are started with the lock held: m_workers only grows then, and is
/// read without it only once m_stopping is set. Listings are numbered: the
/// root is 0, the folders on the resume path 1, 2, ... Every thread is
/// stopped and joined when the pool goes.
class ReadAheadPool
{
public:
    using CursorFactory = std::function<std::unique_ptr<DirectoryCursor>()>;

    /// Starts `threads` threads (at least one). The first lists `root` and
    /// goes down through the folders named in `resumePath` (each a subfolder
    /// of the one before); then every folder after the last of them in
    /// pre-order is listed and handed over. While listing a folder takes the
    /// threads much longer than the processor time it needs (a cold disk, a
    /// network share), more threads are started, up to `mostThreads`, so that
    /// more listings wait on the disk at once; when listings are fast again,
    /// the threads beyond `threads` rest. When `rootListing` is given, it is
    /// the root's listing, which the pool then does not make again.
    ReadAheadPool(const CursorFactory& makeCursor, std::string root,
        std::vector<std::string> resumePath, ReadAheadLimits limits, unsigned threads,
        unsigned mostThreads = 0, std::shared_ptr<const SubfolderList> rootListing = {});
    ~ReadAheadPool();
    ReadAheadPool(const ReadAheadPool&) = delete;
    ReadAheadPool& operator=(const ReadAheadPool&) = delete;

    /// The next listing in pre-order, waiting for it when it is not made yet;
    /// null when there is none (the whole tree was handed over, or the pool
    /// could not follow the resume path).
    const ReadAheadListing* peek();
    /// Drops the listing peek() gave.
    void pop() { m_handOver.pop(); }

    /// From now on peek() waits in slices and calls `handler` between them;
    /// when it gives the wait up, peek() returns null and givenUp() is true.
    void setWaitHandler(WaitHandler handler) { m_handOver.setWaitHandler(std::move(handler)); }
    bool givenUp() const { return m_handOver.givenUp(); }
    /// Asks every thread to stop and waits at most `wait` for them to end.
    /// False when one is still in a listing then: the pool is best dropped
    /// where nobody waits for it.
    bool stopWithin(std::chrono::nanoseconds wait);

    /// How many times a thread gave part of its work to an idle one.
    std::size_t piecesGivenAway() const { return m_sharing.piecesGivenAway(); }
    /// How many threads were started.
    std::size_t threadsStarted() const { return m_threadsStarted.load(std::memory_order_relaxed); }

private:
    using Worker = readahead::Worker;
    using PieceRef = readahead::PieceRef;

    void stopAll();
    void askToStop();
    /// Starts the thread of a new worker; false when no thread could be had.
    bool startWorker();
    void run(Worker& worker);
    bool resume(Worker& worker);
    /// Counts one listing of `worker`, and starts or rests threads as the pacing says.
    void paceListing(Worker& worker);
    /// Whether `worker` is one of the threads wanted now.
    bool wanted(const Worker& worker) const { return worker.index < m_pacing.wanted(); }
    /// Waits for a piece this thread may start, asking for one to be given
    /// away while it waits, and makes it the thread's own; the list's end
    /// when the pool stops.
    PieceRef takePiece(Worker& worker, std::unique_lock<std::mutex>& lock);
    void walkPiece(Worker& worker, PieceRef piece);
    /// Gives the thread's work back for want of descriptors.
    void backOff(Worker& worker);
    /// Lists the next folder of the piece, or stops or gives work away first.
    void stepPiece(Worker& worker);
    void endPiece(Worker& worker);
    /// Whether the thread may list its next folder now; else it has given its
    /// work away or back, or waited for room.
    bool mayGoOn(Worker& worker);
    /// Hands the thread's batch to its current piece.
    void publish(Worker& worker);
    void publishIfDue(Worker& worker);
    /// Stops the thread that has run too far ahead of the walk, or is wanted
    /// on the piece the walk waits for.
    void stopHere(Worker& worker, std::unique_lock<std::mutex>& lock);
    /// Wakes the threads waiting in stopHere() that may go on now.
    void wakeWaiting();
    bool takeBatch();
    /// Whether the walk waits for the listing this thread makes next.
    bool walkWaitsFor(const Worker& worker) const;
    /// Whether the thread's piece has run too far ahead of the walk, as it
    /// stood when the thread last handed a batch over.
    bool overLimits(const Worker& worker) const;
    /// Whether the thread should give its unstarted work back and take other work.
    bool shouldStop(const Worker& worker) const;
    readahead::Ahead aheadOf(PieceRef piece, bool inclusive) const;

    const std::string m_root;
    const std::vector<std::string> m_resumePath;
    const CursorFactory m_makeCursor;
    const std::shared_ptr<const SubfolderList> m_rootListing;
    /// The root, opened once for every thread to start from; set before m_ready.
    std::shared_ptr<const HeldFolder> m_rootHeld;
    /// Grows (under the lock) while threads start; each Worker stays where it is.
    std::vector<std::unique_ptr<Worker>> m_workers;

    std::mutex m_mutex;
    readahead::Pacing m_pacing;
    readahead::ListingBudget m_budget;
    readahead::WorkSharing m_sharing { m_budget };
    readahead::WalkHandOver m_handOver;
    std::condition_variable m_restingWake; ///< threads beyond the wanted count wait on it
    std::condition_variable m_endedWake; ///< a thread has ended
    std::size_t m_threadsRunning = 0; ///< threads started and not yet ended
    bool m_ready = false; ///< the resume path has been listed
    bool m_failed = false; ///< a thread could not go on: nothing more is handed over
    /// The walk waits for a piece nobody has started while descriptors are short: the threads
    /// held back for room give their work back, and with it their descriptors.
    bool m_yieldForFront = false;
    std::atomic<bool> m_stopping { false }; ///< the pool is going: every thread ends
    /// A thread found no descriptor to start or go on with, and none has started a piece
    /// since: the threads held back for room let theirs go for the piece the walk waits for.
    std::atomic<bool> m_descriptorsShort { false };
    std::atomic<std::size_t> m_threadsStarted { 0 };
};

} // namespace vantorel::dirwalk
