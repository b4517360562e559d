// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/readahead/Piece.h"

#include <atomic>
#include <chrono>
#include <cstddef>

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

namespace readahead
{

    /// The listings held ahead of the walk, against the limits: the count of all
    /// made and not taken, which each thread reserves a few at a time without a
    /// lock, and the threads held back with their work until there is room.
    class ListingBudget
    {
    public:
        explicit ListingBudget(ReadAheadLimits limits)
            : m_limits(limits)
        {
        }

        /// What the pieces before `piece` (and `piece` itself, if `inclusive`)
        /// hold, counting one listing for each of them not yet finished.
        static Ahead aheadOf(
            const PieceList& pieces, PieceList::const_iterator piece, bool inclusive);
        bool withinLimits(const Ahead& ahead) const;
        /// Whether a thread stopped for the limits, with `ahead` before it, may go on.
        bool roomToGoOn(const Ahead& ahead) const;

        // Without the lock: all the threads together stay within kHeldAtMost
        // times the limits however stale their views.
        /// Whether there is room enough under the limits to start work.
        bool roomLeft() const;
        /// Counts one more listing made, if there is room for it.
        bool reserve(std::size_t& reserved);
        /// Counts a few listings whatever the limits: the walk reads them next.
        void reserveRegardless(std::size_t& reserved);
        /// Gives back the listings counted and not made.
        void giveBack(std::size_t& reserved);
        void handedOver(std::size_t bytes);
        void taken(std::size_t listings, std::size_t bytes);

        // With the lock held.
        /// A thread waits with its work for room.
        void holdBack(Worker& worker);
        void letGo(Worker& worker);
        /// Wakes the threads held back that may go on now: all if `everyone`;
        /// the owner of the first piece if the walk waits for it.
        void wakeHeldBack(const PieceList& pieces, bool everyone, bool walkWaits) const;

    private:
        const ReadAheadLimits m_limits;
        /// Listings made or counted to be made and not yet taken by the walk, and
        /// the bytes of those handed over.
        std::atomic<std::size_t> m_made { 0 };
        std::atomic<std::size_t> m_madeBytes { 0 };
        std::size_t m_heldBack = 0;
    };

} // namespace readahead
} // namespace vantorel::dirwalk
