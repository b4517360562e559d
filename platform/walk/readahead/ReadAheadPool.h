// SPDX-License-Identifier: MIT
#pragma once

#include "platform/DirectoryCursor.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vantorel::dirwalk
{

/// How far a read-ahead may run before the walk: listings made but not yet
/// taken by the walk, by count and by bytes. Each thread keeps within them as
/// far as it last saw the threads before it, the thread that makes the next
/// listings the walk reads with a fresh view; the others stop, all together,
/// at twice the limits. With the batch the walk holds (made within the
/// limits), at most four times the limits are held at once, however many
/// threads there are; bytes may go past by one batch (64 KiB) per thread. The listing
/// the walk waits for is always made, whatever the limits.
struct ReadAheadLimits {
    /// Many: on a cold disk the threads need room to wait on folders far
    /// ahead of the walk (a cold search of 200,000 folders took a tenth less
    /// time than with 8,192 listings and 4 MB); the bytes bound the memory.
    std::size_t listings = 65536;
    std::size_t bytes = std::size_t { 8 } << 20;
    /// A walk that stood still longer than this (behind a message box) finds
    /// the listings made before it stale: they are made again.
    std::chrono::nanoseconds staleAfter = std::chrono::seconds(1);
};

/// One folder listed ahead of the walk; valid until the next pop().
struct ReadAheadListing {
    std::uint64_t parent = 0; ///< number of the listing of the folder it is in
    std::uint64_t number = 0; ///< its own number, for the listings of its subfolders
    std::string_view name;
    bool listed = false; ///< false: the folder could not be listed
    /// Its subfolders. The walk takes them by swapping in a list it is done
    /// with, which the pool reuses.
    SubfolderList* subfolders = nullptr;
};

/// Threads that list the folders of one tree and hand the listings over in
/// the search's depth-first pre-order; as many as keep the disk busy.
///
/// The tree's pre-order is cut into pieces, kept in order in one list: a
/// piece is a run of sibling folders with everything below them. A thread
/// starts the first piece nobody has started, when what the pieces before it
/// hold is within the limits, and walks it with a cursor of its own, each
/// folder opened relative to its parent, writing the listings into the piece
/// in batches; the walk reads the pieces front to back. A thread left without
/// work asks the owner of the first running piece not asked yet to give some
/// of its work away. While listings are fast, that is the first half of the
/// rest of the owner's shallowest folder with subfolders to go, the work that
/// follows its deeper work: the owner's piece ends with its deeper work, the
/// half given away follows it, and the second half follows that for the first
/// thread free. The threads thus work just ahead of the walk, in large pieces
/// handed over rarely. While listings wait on the disk, it is the last half of
/// that rest, far ahead of the walk, where more threads can wait on the disk at
/// once. A thread whose piece runs past the limits stops: while the pool has
/// only the threads it started with, it gives its unstarted work back to the
/// list; while more listings wait on the disk, it waits with its work. The
/// listing the walk waits for is always made. Listings are numbered: the root
/// is 0, the folders on the resume path 1, 2, ... Every thread is stopped and
/// joined when the pool goes.
///
/// Locking, for everything in the pool:
/// - m_mutex guards the piece list and each piece's state, owner, batches and
///   count ahead; the spare batches; m_ready, m_failed, m_idleWorkers,
///   m_waitingWorkers, m_ownersAsked and m_threadsRunning, and each thread's giveAwayAsked once it
///   is set. The private functions that read or change them (all but run, resume, walkPiece,
///   takeBatch, stopAll, askToStop, stopWithin and paceListing, which take the lock themselves, and
///   the counting ones: reserveListing, returnReserved, roomLeft, overLimits, shouldStop, wanted)
///   are called with it held. Threads are started with it held too: m_workers only grows then, and
///   is read without it only once m_stopping is set.
/// - A thread's Worker (cursor, frames, path, batch, reserved count) is that
///   thread's alone, and so are the folders and path of the piece it owns once
///   it has started it. Other threads only set its giveAwayAsked.
/// - The atomics are written with the lock held, except the listing counts
///   (m_made, m_madeBytes), which a thread reserves a few at a time without it.
///   They are read without the lock where a stale value only delays a
///   decision to the next folder: all the threads together stay within
///   kHeldAtMost times the limits however stale their views.
/// - m_reading, m_readIndex and m_listing belong to the walk's thread
///   (peek, pop); it takes the lock only to take the next batch.
/// - Threads wait on m_workersWake, or their own wake when they wait for room
///   with work in hand, and the walk on m_walkWake, all with m_mutex; whoever
///   makes work or room, finishes a piece or stops the pool wakes them. A
///   thread that hands the walk a batch marks m_walkToWake and wakes it once
///   it has let the lock go (wakeWalkIfDue), at the latest before it sleeps.
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
    /// the threads beyond `threads` rest.
    ReadAheadPool(const CursorFactory& makeCursor, std::string root,
        std::vector<std::string> resumePath, ReadAheadLimits limits, unsigned threads,
        unsigned mostThreads = 0);
    ~ReadAheadPool();
    ReadAheadPool(const ReadAheadPool&) = delete;
    ReadAheadPool& operator=(const ReadAheadPool&) = delete;

    /// The next listing in pre-order, waiting for it when it is not made yet;
    /// null when there is none (the whole tree was handed over, or the pool
    /// could not follow the resume path).
    const ReadAheadListing* peek();
    /// Drops the listing peek() gave.
    void pop();

    /// From now on peek() waits in slices and calls `handler` between them;
    /// when it gives the wait up, peek() returns null and givenUp() is true.
    void setWaitHandler(WaitHandler handler) { m_waitHandler = std::move(handler); }
    bool givenUp() const { return m_givenUp; }
    /// Asks every thread to stop and waits at most `wait` for them to end.
    /// False when one is still in a listing then: the pool is best dropped
    /// where nobody waits for it.
    bool stopWithin(std::chrono::nanoseconds wait);

    /// How many times a thread gave part of its work to an idle one.
    std::size_t piecesGivenAway() const
    {
        return m_piecesGivenAway.load(std::memory_order_relaxed);
    }
    /// How many threads were started.
    std::size_t threadsStarted() const { return m_threadsStarted.load(std::memory_order_relaxed); }

private:
    struct Batch;
    struct Piece;
    /// Listings made and not yet taken, and their bytes.
    struct Ahead {
        std::size_t listings = 0;
        std::size_t bytes = 0;
    };
    struct Worker;
    using PieceList = std::list<Piece>;
    using PieceRef = PieceList::iterator;

    void stopAll();
    void askToStop();
    /// Waits for m_walkWake, or a slice of it with the wait handler called
    /// after; false when the handler gives the wait up.
    bool waitForWalkWake(std::unique_lock<std::mutex>& lock);
    /// Starts the thread of a new worker; false when no thread could be had.
    bool startWorker();
    void run(Worker& worker);
    /// Counts one listing of `worker` and, at the end of each run of them,
    /// compares the time they took with the processor time they needed: more
    /// threads are wanted while the disk keeps the threads waiting, fewer when not.
    void paceListing(Worker& worker);
    /// The thread goes on listing, or stops for a while: only the time it
    /// lists is weighed.
    void resumePace(Worker& worker) const;
    void pausePace(Worker& worker) const;
    /// Whether `worker` is one of the threads wanted now.
    bool wanted(const Worker& worker) const;
    bool resume(Worker& worker);
    /// Waits for a piece this thread may start, asking for one to be given
    /// away while it waits, and makes it the thread's own; the list's end
    /// when the pool stops.
    PieceRef takePiece(Worker& worker, std::unique_lock<std::mutex>& lock);
    PieceRef firstUnfinished();
    /// Asks the owner of the first running piece before `before` not asked
    /// yet to give work away, if what lies up to it is within the limits.
    void askForWork(PieceRef before);
    /// The thread was given work or has none left to give: it is asked no more.
    void answered(Worker& worker);
    bool mayStart(PieceRef piece) const;
    void walkPiece(Worker& worker, PieceRef piece);
    /// Hands the thread's batch to its current piece.
    void publish(Worker& worker);
    /// Wakes the walk if a batch it waits for was handed over; called without the lock.
    void wakeWalkIfDue();
    /// Makes the subfolders of `worker`'s folder at `depth` from `from` on a
    /// piece of its own, inserted before `where`, and ends the folder's work
    /// there; returns the place after the piece.
    PieceRef giveAway(Worker& worker, std::size_t depth, std::size_t from, PieceRef where);
    /// Gives the last part of the thread's unstarted work, in pre-order, to an
    /// idle thread: work far ahead of the walk, in a large piece that keeps it
    /// busy for long. False when it has too little.
    bool giveAwayLast(Worker& worker);
    /// Gives the first half of the rest of the thread's shallowest folder,
    /// the work that follows its deeper work, to an idle thread, and the second
    /// half back to the list: work just ahead of the walk, in large pieces,
    /// while listings are fast. False when it has too little.
    bool giveAwayNextHalf(Worker& worker);
    /// Stops the thread that has run too far ahead of the walk, or is wanted
    /// on the piece the walk waits for.
    void stopHere(Worker& worker, std::unique_lock<std::mutex>& lock);
    /// Wakes the threads waiting in stopHere() that may go on now.
    void wakeWaiting();
    /// Gives all the thread's unstarted work back to the list.
    void giveEverythingBack(Worker& worker);
    void finishCurrent(Worker& worker);
    bool takeBatch();
    /// What the pieces before `piece` (and `piece` itself, if `inclusive`)
    /// hold, counting one listing for each of them not yet finished.
    Ahead aheadOf(PieceRef piece, bool inclusive) const;
    bool withinLimits(const Ahead& ahead) const;
    /// Whether a thread stopped for the limits, with `ahead` before it, may go on.
    bool roomToGoOn(const Ahead& ahead) const;
    /// Whether there is room enough under the limits to start work.
    bool roomLeft() const;
    /// Counts one more listing made, if there is room for it.
    bool reserveListing(Worker& worker);
    /// Gives back the listings counted and not made.
    void returnReserved(Worker& worker);
    /// Whether the walk waits for the listing this thread makes next.
    bool walkWaitsFor(const Worker& worker) const;
    /// Whether the thread's piece has run too far ahead of the walk, as it
    /// stood when the thread last handed a batch over.
    bool overLimits(const Worker& worker) const;
    /// Whether the thread should give its unstarted work back and take other work.
    bool shouldStop(const Worker& worker) const;

    const std::string m_root;
    const std::vector<std::string> m_resumePath;
    const ReadAheadLimits m_limits;
    const CursorFactory m_makeCursor;
    const std::size_t m_fewestThreads;
    const std::size_t m_mostThreads;
    /// Grows (under the lock) while threads start; each Worker stays where it is.
    std::vector<std::unique_ptr<Worker>> m_workers;

    std::mutex m_mutex;
    std::condition_variable m_workersWake;
    std::condition_variable m_walkWake;
    std::condition_variable m_restingWake; ///< threads beyond the wanted count wait on it
    std::condition_variable m_endedWake; ///< a thread has ended
    std::size_t m_threadsRunning = 0; ///< threads started and not yet ended
    // Shared by the threads and the walk, as the locking rules above say.
    bool m_ready = false; ///< the resume path has been listed
    bool m_failed = false; ///< a thread could not go on: nothing more is handed over
    std::atomic<bool> m_stopping { false }; ///< the pool is going: every thread ends
    std::atomic<bool> m_walkWaits { false };
    /// Set with the lock held by a thread that handed the walk what it waits for.
    std::atomic<bool> m_walkToWake { false };
    std::atomic<bool> m_frontUnstarted { false }; ///< the walk waits for a piece nobody has started
    std::atomic<const Piece*> m_front { nullptr }; ///< the piece the walk reads now
    PieceList m_pieces;
    std::vector<std::unique_ptr<Batch>> m_spareBatches;
    std::size_t m_idleWorkers = 0;
    std::size_t m_waitingWorkers = 0; ///< threads too far ahead, waiting with their work
    std::size_t m_ownersAsked = 0; ///< threads asked to give work away, not yet answered
    std::atomic<std::size_t> m_piecesGivenAway { 0 };
    std::atomic<std::size_t> m_wantedThreads { 1 }; ///< written with the lock held
    std::atomic<std::size_t> m_threadsStarted { 0 };
    /// Listings made or counted to be made and not yet taken by the walk, and
    /// the bytes of those handed over.
    std::atomic<std::size_t> m_made { 0 };
    std::atomic<std::size_t> m_madeBytes { 0 };

    // The walk's thread's own.
    WaitHandler m_waitHandler;
    bool m_givenUp = false;
    std::unique_ptr<Batch> m_reading;
    std::size_t m_readIndex = 0;
    ReadAheadListing m_listing;
};

} // namespace vantorel::dirwalk
