// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/WalkHandOver.h"

#include <utility>

namespace vantorel::dirwalk::readahead
{

namespace
{

    constexpr std::size_t kSpareBatches = 16;

} // namespace

const ReadAheadListing* WalkHandOver::next()
{
    if (!m_reading || m_readIndex == m_reading->size())
        return nullptr;
    ListingBatch& batch = *m_reading;
    ListingBatch::Record& record = batch.records[m_readIndex];
    m_listing.parent = record.parent;
    m_listing.number = record.number;
    m_listing.name = std::string_view(batch.names).substr(record.nameOffset, record.nameLength);
    m_listing.listed = record.listed;
    m_listing.subfolders = &record.subfolders;
    return &m_listing;
}

void WalkHandOver::recycle()
{
    if (!m_reading)
        return;
    if (m_spareBatches.size() < kSpareBatches) {
        m_reading->clear();
        m_spareBatches.push_back(std::move(m_reading));
    }
    m_reading.reset();
}

const ListingBatch& WalkHandOver::read(Piece& front)
{
    m_reading = std::move(front.batches.front());
    front.batches.pop_front();
    front.ahead.listings -= m_reading->size();
    front.ahead.bytes -= m_reading->bytes();
    m_readIndex = 0;
    return *m_reading;
}

bool WalkHandOver::wait(std::unique_lock<std::mutex>& lock)
{
    bool keepWaiting = true;
    if (!m_waitHandler) {
        m_wake.wait(lock);
    } else if (m_wake.wait_for(lock, kWaitSlice) == std::cv_status::timeout) {
        lock.unlock();
        keepWaiting = m_waitHandler();
        lock.lock();
    }
    m_walkWaits = false;
    m_frontUnstarted = false;
    if (!keepWaiting)
        m_givenUp = true;
    return keepWaiting;
}

std::unique_ptr<ListingBatch> WalkHandOver::freshBatch()
{
    if (m_spareBatches.empty())
        return std::make_unique<ListingBatch>();
    std::unique_ptr<ListingBatch> batch = std::move(m_spareBatches.back());
    m_spareBatches.pop_back();
    return batch;
}

void WalkHandOver::wakeIfDue()
{
    // Woken after the lock is let go: woken while it is held, the walk would only wait for
    // the lock next, and every hand-over would cost it two sleeps.
    if (m_toWake.load(std::memory_order_relaxed)
        && m_toWake.exchange(false, std::memory_order_relaxed))
        m_wake.notify_one();
}

} // namespace vantorel::dirwalk::readahead
