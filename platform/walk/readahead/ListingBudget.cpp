// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/ListingBudget.h"

#include "platform/walk/readahead/Worker.h"

#include <algorithm>

namespace vantorel::dirwalk::readahead
{

namespace
{

    /// A thread counts this many listings against the limits at a time.
    constexpr std::size_t kReservedAtOnce = 16;

    /// All the threads together stop at this many times the limits, however stale
    /// their views of each other. Twice, not once: at once, the threads further
    /// ahead fill the room and leave the piece the walk reads next to one thread.
    constexpr std::size_t kHeldAtMost = 2;

} // namespace

Ahead ListingBudget::aheadOf(
    const PieceList& pieces, PieceList::const_iterator piece, bool inclusive)
{
    Ahead ahead;
    for (auto before = pieces.begin(); before != pieces.end(); ++before) {
        if (before == piece && !inclusive)
            break;
        ahead.listings += before->ahead.listings;
        ahead.bytes += before->ahead.bytes;
        if (before == piece)
            break;
        // A piece still to be made holds at least one listing the walk reads first.
        if (before->state != Piece::State::Finished)
            ++ahead.listings;
    }
    return ahead;
}

bool ListingBudget::withinLimits(const Ahead& ahead) const
{
    return ahead.listings < m_limits.listings && ahead.bytes < m_limits.bytes;
}

bool ListingBudget::roomToGoOn(const Ahead& ahead) const
{
    // A quarter of the limits: woken at the first listing taken, a thread would stop again at
    // its next, and every listing would cost two hand-overs.
    return ahead.listings + m_limits.listings / 4 < m_limits.listings
        && ahead.bytes + m_limits.bytes / 4 < m_limits.bytes;
}

bool ListingBudget::roomLeft() const
{
    return m_made.load(std::memory_order_relaxed) < kHeldAtMost * m_limits.listings
        && m_madeBytes.load(std::memory_order_relaxed) < kHeldAtMost * m_limits.bytes;
}

bool ListingBudget::reserve(std::size_t& reserved)
{
    if (reserved > 0) {
        --reserved;
        return true;
    }
    if (m_madeBytes.load(std::memory_order_relaxed) >= kHeldAtMost * m_limits.bytes)
        return false;
    // A few at a time: one shared count per listing would cost the threads more than the listing.
    std::size_t made = m_made.load(std::memory_order_relaxed);
    for (;;) {
        if (made >= kHeldAtMost * m_limits.listings)
            return false;
        const std::size_t taken = std::min(kReservedAtOnce, kHeldAtMost * m_limits.listings - made);
        if (m_made.compare_exchange_weak(made, made + taken, std::memory_order_relaxed)) {
            reserved = taken - 1;
            return true;
        }
    }
}

void ListingBudget::reserveRegardless(std::size_t& reserved)
{
    // Counted a few at a time, as reserve() does: a lock per listing would keep the other
    // threads waiting for it.
    const std::size_t counted = std::clamp(m_limits.listings, std::size_t { 1 }, kReservedAtOnce);
    m_made.fetch_add(counted, std::memory_order_relaxed);
    reserved = counted - 1;
}

void ListingBudget::giveBack(std::size_t& reserved)
{
    m_made.fetch_sub(reserved, std::memory_order_relaxed);
    reserved = 0;
}

void ListingBudget::handedOver(std::size_t bytes)
{
    m_madeBytes.fetch_add(bytes, std::memory_order_relaxed);
}

void ListingBudget::taken(std::size_t listings, std::size_t bytes)
{
    m_made.fetch_sub(listings, std::memory_order_relaxed);
    m_madeBytes.fetch_sub(bytes, std::memory_order_relaxed);
}

void ListingBudget::holdBack(Worker& worker)
{
    ++m_heldBack;
    worker.waiting = true;
}

void ListingBudget::letGo(Worker& worker)
{
    worker.waiting = false;
    --m_heldBack;
}

void ListingBudget::wakeHeldBack(const PieceList& pieces, bool everyone, bool walkWaits) const
{
    if (m_heldBack == 0)
        return;
    Ahead ahead;
    for (auto piece = pieces.begin(); piece != pieces.end(); ++piece) {
        ahead.listings += piece->ahead.listings;
        ahead.bytes += piece->ahead.bytes;
        Worker* owner = piece->owner;
        if (owner && owner->waiting
            && (everyone || (roomToGoOn(ahead) && roomLeft())
                || (walkWaits && piece == pieces.begin() && piece->batches.empty())))
            owner->wake.notify_one();
        if (piece->state != Piece::State::Finished)
            ++ahead.listings;
    }
}

} // namespace vantorel::dirwalk::readahead
