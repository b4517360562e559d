// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/readahead/ListingBatch.h"
#include "platform/walk/readahead/Piece.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace vantorel::dirwalk
{

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

namespace readahead
{

    /// The walk's side of the pool: the batch it reads, its waits for the next,
    /// in slices with a wait handler, and the threads' wake-ups of it. The
    /// batch read and the listing given are the walk's thread's alone; the
    /// rest is changed with the pool's lock held.
    class WalkHandOver
    {
    public:
        /// From now on the walk waits in slices and calls `handler` between them;
        /// when it gives the wait up, givenUp() is true.
        void setWaitHandler(WaitHandler handler) { m_waitHandler = std::move(handler); }
        bool givenUp() const { return m_givenUp; }

        // The walk's thread.
        /// The next listing of the batch read, or null when it is read to its end.
        const ReadAheadListing* next();
        void pop() { ++m_readIndex; }
        /// Keeps the batch read as a spare. With the lock.
        void recycle();
        /// Reads the first batch of `front` next; returns it. With the lock.
        const ListingBatch& read(Piece& front);
        /// The walk is about to wait: the threads make what it waits for first.
        void beginWait() { m_walkWaits = true; }
        /// Waits for a thread's wake-up with `lock`, or a slice of it with the
        /// wait handler called after; false when the handler gives the wait up.
        bool wait(std::unique_lock<std::mutex>& lock);

        // The threads, with the lock held unless said otherwise.
        /// A batch to write listings into.
        std::unique_ptr<ListingBatch> freshBatch();
        /// The walk waits for a piece nobody has started; a thread takes it.
        void setFrontUnstarted(bool unstarted) { m_frontUnstarted = unstarted; }
        void setFront(const Piece& front) { m_front.store(&front, std::memory_order_relaxed); }
        bool walkWaits() const { return m_walkWaits.load(std::memory_order_relaxed); }
        /// Without the lock, as well.
        bool waitsForUnstarted() const
        {
            return m_walkWaits.load(std::memory_order_relaxed)
                && m_frontUnstarted.load(std::memory_order_relaxed);
        }
        /// Whether the walk reads `piece` now; without the lock, as well.
        bool reads(const Piece& piece) const
        {
            return m_front.load(std::memory_order_relaxed) == &piece;
        }
        /// Something the walk waits for was handed over: it is woken by
        /// wakeIfDue(), once the lock is let go.
        void markToWake() { m_toWake.store(true, std::memory_order_relaxed); }
        /// Without the lock.
        void wakeIfDue();
        void wakeNow() { m_wake.notify_all(); }

    private:
        std::condition_variable m_wake;
        std::atomic<bool> m_walkWaits { false };
        /// Set with the lock held by a thread that handed the walk what it waits for.
        std::atomic<bool> m_toWake { false };
        std::atomic<bool> m_frontUnstarted { false };
        std::atomic<const Piece*> m_front { nullptr }; ///< the piece the walk reads now
        std::vector<std::unique_ptr<ListingBatch>> m_spareBatches;

        // The walk's thread's own.
        WaitHandler m_waitHandler;
        bool m_givenUp = false;
        std::unique_ptr<ListingBatch> m_reading;
        std::size_t m_readIndex = 0;
        ReadAheadListing m_listing;
    };

} // namespace readahead
} // namespace vantorel::dirwalk
