// SPDX-License-Identifier: MIT
#pragma once

#include "platform/DirectoryCursor.h"

#include <condition_variable>
#include <deque>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantorel::dirwalk {

/// How far a read-ahead may run before the walk: listings made (or being
/// made) but not yet taken, by count and by bytes. The listing the walk waits
/// for is always made, whatever the limits.
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
    bool listed = false; ///< false: the folder could not be listed
    SubfolderList subfolders;
};

/// Threads that list the folders of one tree, each with a cursor of its own,
/// and hand the listings over in the search's depth-first pre-order. A folder
/// becomes a task once its parent is listed; an idle thread always takes the
/// first task in pre-order, so the threads stay just ahead of the walk and
/// the folder the walk waits for is never behind another task. Listings are
/// numbered as their tasks are made: the root is 0, and the folders on the
/// resume path 1, 2, ... Every thread is stopped and joined when the pool goes.
class ReadAheadPool
{
public:
    using CursorFactory = std::function<std::unique_ptr<DirectoryCursor>()>;

    /// Starts `threads` threads (at least one). The first lists `root` and
    /// goes down through the folders named in `resumePath` (each a subfolder
    /// of the one before); then every folder after the last of them in
    /// pre-order is listed and handed over.
    ReadAheadPool(const CursorFactory& makeCursor, std::string root, std::vector<std::string> resumePath,
                  ReadAheadLimits limits, unsigned threads);
    ~ReadAheadPool();
    ReadAheadPool(const ReadAheadPool&) = delete;
    ReadAheadPool& operator=(const ReadAheadPool&) = delete;

    /// The next listing in pre-order, waiting for it when it is not made yet;
    /// null when there is none (the whole tree was handed over, or the pool
    /// could not follow the resume path).
    ReadAheadListing* peek();
    /// Drops the listing peek() gave.
    void pop();

private:
    struct Node;
    using Key = std::vector<std::uint32_t>;

    void stopAll();
    void run(std::size_t thread);
    void work(DirectoryCursor& cursor);
    bool resume(DirectoryCursor& cursor);
    /// The first task in pre-order, if the limits (or a waiting walk) allow.
    Node* takeTask();
    /// Whether the walk waits for a listing that is made now.
    bool walkCanGo() const;
    void finishTask(Node& node, bool listed, SubfolderList&& subfolders);
    /// Queues the next subfolder of `node` still to be listed, if any.
    void offerNextTask(Node& node);
    /// Moves the next listings in pre-order to m_taken, waiting for the
    /// first; false when there is none.
    bool takeListings();
    static std::size_t bytesOf(const Node& node);

    const std::string m_root;
    const std::vector<std::string> m_resumePath;
    const ReadAheadLimits m_limits;
    std::vector<std::unique_ptr<DirectoryCursor>> m_cursors;

    std::mutex m_mutex;
    std::condition_variable m_workers;
    std::condition_variable m_walk;
    // Everything below is guarded by m_mutex.
    bool m_stop = false;
    bool m_ready = false;  ///< the resume path has been listed
    bool m_failed = false; ///< a thread could not go on: nothing more is handed over
    std::uint64_t m_made = 0;
    /// Folders with a subfolder not yet given to a thread, by that subfolder's place in pre-order.
    std::map<Key, Node*> m_tasks;
    std::size_t m_aheadListings = 0; ///< made or being made, not yet handed over
    std::size_t m_aheadBytes = 0;
    std::size_t m_waitingWorkers = 0;
    std::size_t m_inProgress = 0;
    bool m_walkWaits = false;
    std::int64_t m_walkWaitingSince = 0; ///< steady-clock nanoseconds
    /// The folders handed over whose subfolders are still to be handed over, root first.
    std::vector<std::unique_ptr<Node>> m_handed;

    /// Listings handed over in one go, used by the walk's thread alone.
    std::deque<ReadAheadListing> m_taken;

    std::vector<std::thread> m_threads; // last: started when everything above is ready
};

} // namespace vantorel::dirwalk
