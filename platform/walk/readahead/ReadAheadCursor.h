// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/OffThreadCursor.h"
#include "platform/walk/StrandedCalls.h"
#include "platform/walk/readahead/ReadAheadPool.h"
#include "platform/walk/readahead/ReadAheadSettings.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantorel::dirwalk
{

/// What a read-ahead cursor did, for tests and benchmarks.
struct ReadAheadStatistics {
    std::size_t prefetched = 0; ///< folders whose listing came from the pool
    std::size_t direct = 0; ///< folders listed on the walk's own thread, the root included
    std::size_t restarts = 0; ///< pools started again after the tree changed under them, or a pause
    std::size_t piecesGivenAway = 0; ///< work one pool thread gave to another
    std::size_t mostThreads = 0; ///< the most threads one pool started
};

/// A cursor whose listings are made ahead of the walk by other threads, so
/// that the walk's thread only matches names and shows rows while they wait
/// on the disk. The walk sees exactly what it would see with the plain
/// cursor: a folder is taken from the pool only when the pool listed that
/// very folder (the same name in the same listing of its parent); any other
/// folder is listed here, with a cursor of its own, as the plain walk would.
///
/// A walk that stood still longer than ReadAheadLimits::staleAfter (behind a
/// message box) starts the pool again from its place: what was listed before
/// the pause is listed again, as the plain walk would list it then.
///
/// The pool starts at the first enter(), so that nothing is read before the
/// walk's first look at its commands, and it is stopped and joined by
/// openRoot(), at the end of the walk and by the destructor: no thread or
/// descriptor outlives the walk, unless a wait for it was given up while a
/// listing never came back. Such a pool ends in the background, and until it
/// has, no pool of the same tree is started: the walk lists it alone.
class ReadAheadCursor final : public DirectoryCursor
{
public:
    using CursorFactory = std::function<std::unique_ptr<DirectoryCursor>()>;

    explicit ReadAheadCursor(CursorFactory makeCursor, ReadAheadLimits limits = {},
        std::shared_ptr<ReadAheadStatistics> statistics = {}, unsigned threads = 2,
        unsigned mostThreads = 0);
    ~ReadAheadCursor() override;

    bool openRoot(std::string_view path, SubfolderList& out, std::string& error) override;
    bool enter(std::string_view name, SubfolderList& out, std::string& error) override;
    void leave() override;
    /// Listings of its own are made on a thread of their own, and waits for
    /// the pool are served in slices. Once a wait is given up, the pool is
    /// dropped without waiting for a thread that is still in a listing.
    void setWaitHandler(WaitHandler handler) override;

    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    /// The clock that measures the walk's pauses; the steady clock unless set.
    void setClock(Clock clock) { m_clock = std::move(clock); }

private:
    struct Level {
        std::size_t pathLength; ///< of m_path, up to and including this folder's name
        std::uint64_t number; ///< the pool's number for its listing, or kOwnListing
    };
    static constexpr std::uint64_t kOwnListing = ~std::uint64_t { 0 };

    /// enter() with the pool as it stands.
    bool enterFolder(std::string_view name, SubfolderList& out, std::string& error);
    /// Lists the folder m_path names, whose parent is the deepest level, with
    /// the walk thread's own cursor.
    bool listDirectly(SubfolderList& out, std::string& error);
    void startPool(std::uint64_t& deepestNumber);
    /// Stops the pool, if any, and counts what it did.
    void dropPool();
    static void dropInBackground(
        std::unique_ptr<ReadAheadPool> pool, std::unique_ptr<StrandedCalls::Mark> leftBehind);
    /// The handler the pool calls: the walk's, noting a long pause in it.
    WaitHandler poolWaitHandler();
    /// Whether a wait was given up, for the pool or for a listing of its own,
    /// with the error every call then gives.
    bool givenUp(std::string& error) const;
    std::vector<std::string> namesOf(
        const std::vector<Level>& levels, const std::string& path) const;

    std::chrono::steady_clock::time_point now() const;

    CursorFactory m_makeCursor;
    const ReadAheadLimits m_limits;
    std::shared_ptr<ReadAheadStatistics> m_statistics;
    std::string m_root;
    /// The root's listing, for the pool's first start: it is not made again.
    std::shared_ptr<const SubfolderList> m_rootListing;
    /// "/"-joined names below the root of the deepest folder, for resuming.
    std::string m_path;
    std::vector<Level> m_levels;
    const unsigned m_threads;
    const unsigned m_mostThreads;
    std::unique_ptr<ReadAheadPool> m_pool;
    bool m_poolStarted = false;
    std::size_t m_directSinceStart = 0;
    /// The pool was dropped for a pause: it starts again below the next folder entered.
    bool m_restartNow = false;
    Clock m_clock;
    WaitHandler m_handler;
    /// The handler held the walk longer than the listings stay fresh.
    bool m_pausedInWait = false;
    /// A wait for the pool was given up: every call fails from then on.
    bool m_givenUp = false;
    /// When the walk last came back from enter() while the pool ran.
    std::chrono::steady_clock::time_point m_lastEntered;

    /// The cursor for listing here, and the folders its stack holds now.
    std::unique_ptr<OffThreadCursor> m_own;
    std::string m_ownPath;
    std::vector<std::size_t> m_ownLengths;
};

/// The system's cursor, reading ahead as `settings` say.
std::unique_ptr<DirectoryCursor> makeWalkCursor(ReadAheadSettings settings);

} // namespace vantorel::dirwalk
