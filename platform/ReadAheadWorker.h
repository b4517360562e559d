// SPDX-License-Identifier: MIT
#pragma once

#include "platform/DirectoryCursor.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::dirwalk {

/// How far a read-ahead may run before the walk: listings handed over but
/// not yet taken, by count and by bytes (at least one listing always fits).
struct ReadAheadLimits
{
    std::size_t listings = 2048;
    std::size_t bytes = std::size_t{4} << 20;
};

/// One folder listed ahead of the walk.
struct ReadAheadListing
{
    std::uint64_t parent = 0; ///< number of the listing of the folder it is in
    std::uint64_t number = 0; ///< its own number, for the listings of its subfolders
    std::string name;
    bool listed = false; ///< false: the worker could not list it
    SubfolderList subfolders;
};

/// A thread that walks one tree in the same depth-first pre-order as the
/// search, with its own cursor, and queues each folder's listing. Listings are
/// numbered in the order made: the root is 0, and the folders on the resume
/// path 1, 2, ... The thread is stopped and joined when the worker goes.
class ReadAheadWorker
{
public:
    /// Starts the thread. It lists `root`, goes down through the folders named
    /// in `resumePath` (each a subfolder of the one before), and queues the
    /// listings of every folder after the last of them in pre-order.
    ReadAheadWorker(std::unique_ptr<DirectoryCursor> cursor, std::string root,
                    std::vector<std::string> resumePath, ReadAheadLimits limits);
    ~ReadAheadWorker();
    ReadAheadWorker(const ReadAheadWorker&) = delete;
    ReadAheadWorker& operator=(const ReadAheadWorker&) = delete;

    /// The oldest listing not yet taken, waiting for the thread when it has
    /// none yet; null when the thread has ended and every listing was taken.
    ReadAheadListing* peek();
    /// Drops the listing peek() gave.
    void pop();

private:
    struct Level
    {
        SubfolderList subfolders;
        std::size_t next = 0;
        std::uint64_t number = 0;
    };

    void run();
    void walk();
    bool resume(std::vector<Level>& levels);
    /// Adds a listing to the batch, and hands the batch over when it is full
    /// or the walk has waited long enough; false when told to stop.
    bool hand(ReadAheadListing&& listing);
    /// Moves the batch to the queue, waiting for room; false when told to stop.
    bool publish();
    static std::size_t bytesOf(const ReadAheadListing& listing);

    std::unique_ptr<DirectoryCursor> m_cursor;
    const std::string m_root;
    const std::vector<std::string> m_resumePath;
    const ReadAheadLimits m_limits;
    std::uint64_t m_made = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<ReadAheadListing> m_queue; ///< guarded by m_mutex
    std::size_t m_queuedBytes = 0;        ///< guarded by m_mutex
    bool m_ended = false;                 ///< guarded by m_mutex
    bool m_workerWaits = false;           ///< guarded by m_mutex
    std::atomic<bool> m_stop = false;     ///< set under m_mutex, read by the worker without
    /// When the walk began to wait for the worker, in steady-clock nanoseconds;
    /// 0 while it does not wait. Set under m_mutex, read by the worker without.
    std::atomic<std::int64_t> m_waitingSince = 0;

    /// Listings made but not yet in m_queue, used by the worker's thread alone.
    std::deque<ReadAheadListing> m_batch;
    std::size_t m_batchBytes = 0;

    /// Listings taken from m_queue in one go, used by the walk's thread alone.
    std::deque<ReadAheadListing> m_taken;

    std::thread m_thread; // last: started when everything above is ready
};

} // namespace vantorel::dirwalk
