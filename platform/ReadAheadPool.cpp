// SPDX-License-Identifier: MIT
#include "platform/ReadAheadPool.h"

#include <chrono>
#include <deque>
#include <new>
#include <system_error>
#include <utility>

namespace vantorel::dirwalk {

namespace {

constexpr std::size_t kWakeBatch = 32;
constexpr std::size_t kTakeBatch = 256;
constexpr std::chrono::nanoseconds kWakeDelay = std::chrono::microseconds(100);

std::int64_t nowNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

/// A folder of the tree, from the moment a thread is given it until every
/// subfolder below it has been handed over.
struct ReadAheadPool::Node
{
    std::string path; ///< below the root: a separator and a name per level
    std::string name;
    Key key;          ///< the index of each folder on the way down: pre-order is key order
    std::uint64_t number = 0;
    bool done = false;
    bool listed = false;
    SubfolderList subfolders;
    std::size_t bytes = 0;
    std::size_t nextTask = 0;   ///< the first subfolder not yet given to a thread
    std::size_t nextHanded = 0; ///< the first subfolder not yet handed over
    std::size_t index = 0;      ///< its own place in its parent's subfolders
    /// Subfolders given to threads and not yet handed over, in order.
    std::deque<std::unique_ptr<Node>> started;
};

ReadAheadPool::ReadAheadPool(const CursorFactory& makeCursor, std::string root,
                             std::vector<std::string> resumePath, ReadAheadLimits limits, unsigned threads)
    : m_root(std::move(root))
    , m_resumePath(std::move(resumePath))
    , m_limits(limits)
{
    threads = threads == 0 ? 1 : threads;
    // Made here, on the walk's thread: the factory need not be thread-safe.
    for (unsigned i = 0; i < threads; ++i)
        m_cursors.push_back(makeCursor());
    m_threads.reserve(threads);
    try {
        for (unsigned i = 0; i < threads; ++i)
            m_threads.emplace_back([this, i] { run(i); });
    } catch (const std::system_error&) {
        stopAll();
        throw;
    }
}

ReadAheadPool::~ReadAheadPool()
{
    stopAll();
}

void ReadAheadPool::stopAll()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_workers.notify_all();
    m_walk.notify_all();
    for (std::thread& thread : m_threads)
        if (thread.joinable())
            thread.join();
}

std::size_t ReadAheadPool::bytesOf(const Node& node)
{
    std::size_t bytes = sizeof(Node) + node.path.size() + node.name.size()
                        + node.key.size() * sizeof(std::uint32_t);
    for (std::size_t i = 0; i < node.subfolders.size(); ++i)
        bytes += node.subfolders.name(i).size() + 3 * sizeof(std::size_t);
    return bytes;
}

void ReadAheadPool::run(std::size_t thread)
{
    try {
        if (thread == 0) {
            const bool resumed = resume(*m_cursors[0]);
            {
                const std::lock_guard lock(m_mutex);
                m_ready = true;
                m_failed = m_failed || !resumed;
            }
            m_workers.notify_all();
            m_walk.notify_all();
        }
        work(*m_cursors[thread]);
    } catch (...) {
        // Out of memory, most likely: the walk lists whatever is left itself.
        {
            const std::lock_guard lock(m_mutex);
            m_failed = true;
        }
        m_walk.notify_all();
    }
    // Nothing stays open while the pool waits to be dropped.
    m_cursors[thread].reset();
}

bool ReadAheadPool::resume(DirectoryCursor& cursor)
{
    std::string error;
    std::vector<std::unique_ptr<Node>> chain;
    chain.push_back(std::make_unique<Node>());
    if (!cursor.openRoot(m_root, chain[0]->subfolders, error))
        return false;
    for (const std::string& name : m_resumePath) {
        Node& parent = *chain.back();
        std::size_t index = 0;
        while (index < parent.subfolders.size()
               && (parent.subfolders.name(index) != name
                   || parent.subfolders.kind(index) != FolderKind::Folder))
            ++index;
        if (index == parent.subfolders.size())
            return false; // the tree has changed: the walk goes on without help
        parent.nextTask = parent.nextHanded = index + 1;
        auto child = std::make_unique<Node>();
        if (!cursor.enter(name, child->subfolders, error))
            return false;
        child->name = name;
        child->path = parent.path + kPathSeparator + name;
        child->key = parent.key;
        child->key.push_back(std::uint32_t(index));
        child->index = index;
        chain.push_back(std::move(child));
    }
    // The threads open each folder by its path: the chain's descriptors go.
    for (std::size_t i = 0; i < chain.size(); ++i)
        cursor.leave();
    const std::lock_guard lock(m_mutex);
    for (std::unique_ptr<Node>& node : chain) {
        node->number = m_made++;
        node->done = node->listed = true;
        offerNextTask(*node);
        m_handed.push_back(std::move(node));
    }
    return true;
}

void ReadAheadPool::offerNextTask(Node& node)
{
    while (node.nextTask < node.subfolders.size() && node.subfolders.kind(node.nextTask) != FolderKind::Folder)
        ++node.nextTask;
    if (node.nextTask == node.subfolders.size())
        return;
    Key key = node.key;
    key.push_back(std::uint32_t(node.nextTask));
    m_tasks.emplace(std::move(key), &node);
}

ReadAheadPool::Node* ReadAheadPool::takeTask()
{
    if (!m_ready || m_failed || m_tasks.empty())
        return nullptr;
    const auto first = m_tasks.begin();
    Node& parent = *first->second;
    const bool withinLimits = m_aheadListings < m_limits.listings && m_aheadBytes < m_limits.bytes;
    // The walk may wait for a folder no thread has yet: the first task then,
    // as everything before it in pre-order has been handed over.
    const bool walkNeedsIt = m_walkWaits && !m_handed.empty() && m_handed.back().get() == &parent
                             && parent.started.empty();
    if (!withinLimits && !walkNeedsIt)
        return nullptr;
    m_tasks.erase(first);

    auto child = std::make_unique<Node>();
    child->index = parent.nextTask++;
    child->name = parent.subfolders.name(child->index);
    child->path.reserve(parent.path.size() + 1 + child->name.size());
    child->path.append(parent.path).append(1, kPathSeparator).append(child->name);
    child->key.reserve(parent.key.size() + 1);
    child->key = parent.key;
    child->key.push_back(std::uint32_t(child->index));
    child->number = m_made++;
    offerNextTask(parent);
    Node* const task = child.get();
    parent.started.push_back(std::move(child));
    ++m_aheadListings;
    return task;
}

void ReadAheadPool::finishTask(Node& node, bool listed, SubfolderList&& subfolders)
{
    node.listed = listed;
    node.subfolders = std::move(subfolders);
    node.done = true;
    node.bytes = bytesOf(node);
    m_aheadBytes += node.bytes;
    if (listed)
        offerNextTask(node);
}

bool ReadAheadPool::walkCanGo() const
{
    if (!m_walkWaits || m_handed.empty())
        return false;
    const Node& top = *m_handed.back();
    return !top.started.empty() && top.started.front()->done;
}

void ReadAheadPool::work(DirectoryCursor& cursor)
{
    std::string base = m_root;
    while (!base.empty() && base.back() == kPathSeparator)
        base.pop_back();
    std::string path;
    std::string error;
    std::unique_lock lock(m_mutex);
    Node* task = nullptr;
    while (!m_stop) {
        if (!task)
            task = takeTask();
        if (!task) {
            if (walkCanGo())
                m_walk.notify_one();
            ++m_waitingWorkers;
            m_workers.wait(lock);
            --m_waitingWorkers;
            continue;
        }
        ++m_inProgress;
        path.assign(base).append(task->path);
        lock.unlock();
        SubfolderList subfolders;
        bool listed = false;
        try {
            listed = cursor.openRoot(path, subfolders, error);
            if (listed)
                cursor.leave();
        } catch (const std::bad_alloc&) {
            subfolders.clear(); // the walk lists this one itself
        }
        lock.lock();
        --m_inProgress;
        finishTask(*task, listed, std::move(subfolders));
        task = takeTask();
        // A wake-up for every folder would cost more than listing it: the
        // walk is woken for a batch, after a short wait, or when this thread
        // has nothing more to do.
        if (walkCanGo()
            && (!task || m_aheadListings - m_inProgress >= kWakeBatch
                || nowNanoseconds() - m_walkWaitingSince >= kWakeDelay.count()))
            m_walk.notify_one();
        if (m_waitingWorkers > 0 && !m_tasks.empty())
            m_workers.notify_one();
    }
}

bool ReadAheadPool::takeListings()
{
    std::unique_lock lock(m_mutex);
    const std::size_t before = m_taken.size();
    while (m_taken.size() - before < kTakeBatch) {
        if (m_failed)
            break;
        if (!m_ready || m_handed.empty()) {
            if (m_ready || m_taken.size() > before)
                break;
            m_walkWaits = true;
            m_walk.wait(lock);
            m_walkWaits = false;
            continue;
        }
        Node& top = *m_handed.back();
        while (top.nextHanded < top.subfolders.size() && top.subfolders.kind(top.nextHanded) != FolderKind::Folder)
            ++top.nextHanded;
        if (top.nextHanded == top.subfolders.size()) {
            m_handed.pop_back();
            continue;
        }
        if (top.started.empty() || !top.started.front()->done) {
            if (m_taken.size() > before)
                break;
            m_walkWaits = true;
            m_walkWaitingSince = nowNanoseconds();
            if (top.started.empty() && m_waitingWorkers > 0)
                m_workers.notify_one();
            // Bounded: a listing made while every thread is busy with a big
            // folder is not left waiting for the next wake-up.
            m_walk.wait_for(lock, 2 * kWakeDelay);
            m_walkWaits = false;
            continue;
        }
        std::unique_ptr<Node> child = std::move(top.started.front());
        top.started.pop_front();
        top.nextHanded = child->index + 1;
        --m_aheadListings;
        m_aheadBytes -= child->bytes;
        ReadAheadListing& listing = m_taken.emplace_back();
        listing.parent = top.number;
        listing.number = child->number;
        listing.name = std::move(child->name);
        listing.listed = child->listed;
        if (child->listed && !child->subfolders.empty()) {
            listing.subfolders = child->subfolders;
            m_handed.push_back(std::move(child));
        } else {
            listing.subfolders = std::move(child->subfolders);
        }
    }
    if (m_taken.size() > before && m_waitingWorkers > 0 && !m_tasks.empty())
        m_workers.notify_one();
    return m_taken.size() > before;
}

ReadAheadListing* ReadAheadPool::peek()
{
    if (m_taken.empty() && !takeListings())
        return nullptr;
    return &m_taken.front();
}

void ReadAheadPool::pop()
{
    m_taken.pop_front();
}

} // namespace vantorel::dirwalk
