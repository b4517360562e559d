// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/readahead/ListingBudget.h"
#include "platform/walk/readahead/Piece.h"
#include "platform/walk/readahead/Worker.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace vantorel::dirwalk::readahead
{

/// The pieces of the tree, in pre-order, and how the threads share them: a
/// thread starts the first piece nobody has started, when what the pieces
/// before it hold is within the limits; a thread left without work asks the
/// owner of the first running piece not asked yet to give some of it away.
/// All but the pieces' first making is done with the pool's lock held.
class WorkSharing
{
public:
    explicit WorkSharing(const ListingBudget& budget)
        : m_budget(budget)
    {
    }

    /// Lists `root`, unless `rootListing` is its listing already, and goes
    /// down through `resumePath` with `cursor`; `pieces` gets the rest of each
    /// folder on the way, deepest first, as pre-order has them, and `rootHeld`
    /// the root kept open, when the cursor can. False when the path cannot be
    /// followed.
    static bool piecesAfter(DirectoryCursor& cursor, const std::string& root,
        std::shared_ptr<const SubfolderList> rootListing,
        const std::vector<std::string>& resumePath, PieceList& pieces,
        std::shared_ptr<const HeldFolder>& rootHeld);

    PieceList& pieces() { return m_pieces; }
    const PieceList& pieces() const { return m_pieces; }

    /// Makes the first piece nobody has started `worker`'s own, if it is within
    /// the limits; when there is none, asks a running piece for work. The list's
    /// end when nothing was taken.
    PieceRef take(Worker& worker);
    PieceRef firstUnfinished();
    /// Answers the thread's request to give work away, if it was asked, and
    /// feeds the idle threads while the pool is `grown`. False when it gave nothing.
    bool shareWork(Worker& worker, bool grown);
    /// Answers the thread's request to give work away: far ahead of the walk
    /// while the pool is `grown`, just ahead of it otherwise. False when it
    /// had too little to give.
    bool answerRequest(Worker& worker, bool grown);
    /// The thread was given work or has none left to give: it is asked no more.
    void answered(Worker& worker);
    /// Gives every idle thread a piece of `worker`'s unstarted work, far ahead
    /// of the walk, if it has enough: while listings wait on a share, the
    /// first thread to finish a listing feeds them, at once. False when it
    /// gave nothing.
    bool feedIdle(Worker& worker);
    /// More threads wait for work than there are pieces for them to start.
    bool hungry() const { return m_hungry.load(std::memory_order_relaxed); }
    /// Marks a piece finished, and makes it one with a finished neighbour.
    void finish(PieceRef piece);
    /// Appends pieces nobody has started.
    void addPieces(PieceList& pieces);
    /// Gives all the thread's unstarted work back to the list.
    void giveEverythingBack(Worker& worker);

    /// An idle thread waits for work with `lock`.
    void waitForWork(std::unique_lock<std::mutex>& lock);
    bool anyIdle() const { return m_idle > 0; }
    /// Pieces threads are running now.
    std::size_t running() const { return m_running; }
    std::size_t idleThreads() const { return m_idle; }
    void wakeOneIdle();
    void wakeAllIdle();
    void wakeAll() { m_wake.notify_all(); }

    std::size_t piecesGivenAway() const
    {
        return m_piecesGivenAway.load(std::memory_order_relaxed);
    }

private:
    bool mayStart(PieceRef piece) const;
    /// Asks the owner of the first running piece before `before` not asked
    /// yet to give work away, if what lies up to it is within the limits.
    void askForWork(PieceRef before);
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
    void updateHunger();
    /// Moves the listings of `later`, the piece right after `into`, to the end of `into`'s.
    void absorb(Piece& into, PieceRef later);

    const ListingBudget& m_budget;
    PieceList m_pieces;
    std::condition_variable m_wake; ///< idle threads wait on it
    std::size_t m_idle = 0;
    std::size_t m_unstarted = 0; ///< pieces in the list nobody has started
    std::size_t m_running = 0;
    std::atomic<bool> m_hungry { false }; ///< m_idle > m_unstarted, for a look without the lock
    std::size_t m_ownersAsked = 0; ///< threads asked to give work away, not yet answered
    std::atomic<std::size_t> m_piecesGivenAway { 0 };
};

} // namespace vantorel::dirwalk::readahead
