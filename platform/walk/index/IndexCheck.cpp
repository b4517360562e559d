// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexCheck.h"

#include "platform/walk/linux/FileDescriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace vantorel::dirwalk::index
{

namespace
{

    /// Runs are cut for this many threads each taking about this many of them,
    /// so that the most threads all have work and the last runs end together.
    constexpr std::uint32_t kRunsPerThread = 4;
    constexpr std::uint32_t kShortestRun = 64;
    constexpr std::uint32_t kLongestRun = 4096;

    /// The thread's usage, counting the time it was ready but waited for a
    /// processor as time used: stats that other programs keep off the
    /// processor are not slow stats, and more threads would not help them.
    readahead::ThreadUsage usageWhileRunnable()
    {
        readahead::ThreadUsage usage = readahead::threadUsage();
        FileDescriptor fd(::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC));
        char text[96] = {};
        const ssize_t got = fd.valid() ? ::read(fd.get(), text, sizeof text - 1) : -1;
        unsigned long long running = 0, waiting = 0;
        if (got > 0 && std::sscanf(text, "%llu %llu", &running, &waiting) == 2)
            usage.time = std::chrono::nanoseconds(running + waiting);
        return usage;
    }

} // namespace

struct IndexCheck::Worker {
    std::unique_ptr<LinuxDirectoryCursor> cursor;
    /// The folders the cursor has entered, the location first.
    std::vector<std::uint32_t> stack;
    std::vector<std::uint32_t> ancestors;
    readahead::PaceMeter meter;
    std::thread thread;
};

IndexCheck::IndexCheck(const FolderIndex& old, IndexRules& rules, CursorFactory makeCursor,
    unsigned threads, unsigned mostThreads)
    : m_old(old)
    , m_rules(rules)
    , m_makeCursor(std::move(makeCursor))
    , m_parents(old.size(), FolderIndex::kNone)
    , m_verdicts(new std::atomic<std::uint8_t>[old.size()])
    , m_pacing(
          std::max(1u, threads), std::max({ 1u, threads, mostThreads }), {}, usageWhileRunnable)
{
    const std::uint32_t size = old.size();
    for (std::uint32_t id = 0; id < size; ++id)
        m_verdicts[id].store(std::uint8_t(Verdict::Pending), std::memory_order_relaxed);
    // Each node's parent, from the nested subtrees of the pre-order.
    std::vector<std::uint32_t> open;
    for (std::uint32_t id = 0; id < size; ++id) {
        while (!open.empty() && m_old.after(open.back()) <= id)
            open.pop_back();
        m_parents[id] = open.empty() ? FolderIndex::kNone : open.back();
        open.push_back(id);
    }
    const std::uint32_t most = std::uint32_t(m_pacing.most());
    m_runLength = std::clamp(size / (most * kRunsPerThread), kShortestRun, kLongestRun);
    m_runs = (size + m_runLength - 1) / m_runLength;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (std::size_t i = 0; i < m_pacing.fewest(); ++i)
        startWorker();
}

IndexCheck::~IndexCheck()
{
    stopWithin(std::chrono::nanoseconds::max());
    for (auto& worker : m_workers)
        if (worker->thread.joinable())
            worker->thread.join();
}

void IndexCheck::startWorker()
{
    auto worker = std::make_unique<Worker>();
    Worker& started = *worker;
    m_workers.push_back(std::move(worker));
    ++m_running;
    try {
        started.thread = std::thread([this, &started] { run(started); });
    } catch (...) {
        --m_running;
        m_workers.pop_back();
        if (m_workers.empty())
            throw; // no thread at all: the walk goes without the index
    }
}

bool IndexCheck::stopWithin(std::chrono::nanoseconds wait)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_stopping.store(true, std::memory_order_relaxed);
    m_room.notify_all();
    m_decided.notify_all();
    const auto ended = [this] { return m_running == 0; };
    if (wait == std::chrono::nanoseconds::max()) {
        m_ended.wait(lock, ended);
        return true;
    }
    return m_ended.wait_for(lock, wait, ended);
}

CheckStatistics IndexCheck::statistics() const
{
    CheckStatistics statistics;
    statistics.same = m_same.load();
    statistics.changed = m_changed.load();
    statistics.live = m_live.load();
    statistics.links = m_links.load();
    std::lock_guard<std::mutex> lock(m_mutex);
    statistics.threads = m_workers.size();
    return statistics;
}

void IndexCheck::run(Worker& worker)
{
    try {
        worker.cursor = m_makeCursor();
        m_pacing.resume(worker.meter);
        while (!stopping()) {
            const std::uint32_t run = m_nextRun.fetch_add(1);
            if (run >= m_runs)
                break;
            const std::uint32_t begin = run * m_runLength;
            checkRun(worker, begin, std::min(begin + m_runLength, m_old.size()));
        }
    } catch (...) {
        // Out of memory: what this thread did not decide is left to the walk.
        m_stopping.store(true);
    }
    worker.cursor.reset();
    std::lock_guard<std::mutex> lock(m_mutex);
    --m_running;
    m_ended.notify_all();
    m_decided.notify_all();
}

bool IndexCheck::openAncestors(Worker& worker, std::uint32_t first)
{
    LinuxDirectoryCursor& cursor = *worker.cursor;
    std::string error;
    worker.stack.clear();
    if (first == 0) {
        // The location itself, reached as the walk reaches it.
        const IndexNode& root = m_old.node(0);
        FolderStamp stamp;
        const std::int64_t now = m_rules.now();
        if (!cursor.openToEnter(m_old.location(), {}, error)
            || !cursor.stampEntry({}, false, stamp, error)) {
            decide(0, Verdict::Live);
            return false;
        }
        const bool same = root.trusted() && m_old.matches(0, stamp)
            && m_rules.indexes(stamp.fileSystem)
            && !m_rules.mountIsLive(stamp.device, stamp.mountId)
            && m_rules.oldEnough(root.modified, root.changed, root.born, stamp.fileSystem, now);
        if (same) {
            decide(0, Verdict::Same);
        } else {
            CheckedListing again;
            again.listed = cursor.openRoot(m_old.location(), again.listing, again.error);
            const bool listed = again.listed;
            hold(0, std::move(again));
            decide(0, Verdict::Changed);
            m_changed.fetch_add(1, std::memory_order_relaxed);
            if (!listed)
                return false;
        }
        worker.stack.push_back(0);
        return true;
    }
    worker.ancestors.clear();
    for (std::uint32_t id = m_parents[first]; id != FolderIndex::kNone; id = m_parents[id])
        worker.ancestors.push_back(id);
    if (!cursor.openToEnter(m_old.location(), {}, error))
        return false;
    worker.stack.push_back(0);
    for (std::size_t i = worker.ancestors.size() - 1; i-- > 0;) {
        const std::uint32_t id = worker.ancestors[i];
        if (!cursor.pass(m_old.name(id), error))
            return false;
        worker.stack.push_back(id);
    }
    return true;
}

void IndexCheck::checkRun(Worker& worker, std::uint32_t begin, std::uint32_t end)
{
    if (openAncestors(worker, begin)) {
        std::uint32_t id = begin == 0 ? 1 : begin;
        while (id < end && !stopping()) {
            while (worker.stack.size() > 1 && m_old.after(worker.stack.back()) <= id) {
                worker.cursor->leave();
                worker.stack.pop_back();
            }
            id = checkNode(worker, id, end) ? id + 1 : m_old.after(id);
        }
    }
    // Whatever is left undecided (a parent that could not be opened, a folder
    // below one that could not be read) the walk lists itself if it comes to it.
    markRange(begin, end, Verdict::Live);
}

bool IndexCheck::checkNode(Worker& worker, std::uint32_t id, std::uint32_t end)
{
    LinuxDirectoryCursor& cursor = *worker.cursor;
    const IndexNode& node = m_old.node(id);
    const std::string_view name = m_old.name(id);
    std::string error;
    FolderStamp stamp;
    if (node.isLink()) {
        // Whether a link is listed depends on its target, which no stamp covers.
        const bool folder = cursor.stampEntry(name, true, stamp, error);
        decide(id, folder ? Verdict::LinkToFolder : Verdict::LinkToOther);
        m_links.fetch_add(1, std::memory_order_relaxed);
        pace(worker);
        return false;
    }
    if (node.trusted()) {
        const std::int64_t now = m_rules.now();
        const bool read = cursor.stampEntry(name, false, stamp, error);
        pace(worker);
        if (!read) {
            decide(id, Verdict::Live);
            m_live.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        const bool same = m_old.matches(id, stamp) && m_rules.indexes(stamp.fileSystem)
            && !m_rules.mountIsLive(stamp.device, stamp.mountId)
            && m_rules.oldEnough(node.modified, node.changed, node.born, stamp.fileSystem, now);
        if (same) {
            decide(id, Verdict::Same);
            m_same.fetch_add(1, std::memory_order_relaxed);
            if (node.subtree == 1 || id + 1 >= end)
                return false;
            if (cursor.pass(name, error)) {
                worker.stack.push_back(id);
                return true;
            }
            markRange(id + 1, std::min(m_old.after(id), end), Verdict::Live);
            return false;
        }
    }
    return listAgain(worker, id, end);
}

bool IndexCheck::listAgain(Worker& worker, std::uint32_t id, std::uint32_t end)
{
    LinuxDirectoryCursor& cursor = *worker.cursor;
    const IndexNode& node = m_old.node(id);
    CheckedListing again;
    again.listed = cursor.enter(m_old.name(id), again.listing, again.error);
    pace(worker);
    const bool listed = again.listed;
    hold(id, std::move(again));
    decide(id, Verdict::Changed);
    m_changed.fetch_add(1, std::memory_order_relaxed);
    // Its remembered subfolders are checked too: most are still there.
    const bool goesIn = listed && node.subtree > 1 && id + 1 < end;
    if (goesIn)
        worker.stack.push_back(id);
    else if (listed)
        cursor.leave();
    return goesIn;
}

void IndexCheck::hold(std::uint32_t id, CheckedListing listing)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    // Ahead of the walk, the listings made again are held within limits.
    if (id > m_walkAt.load() && overLimits()) {
        ++m_roomWaiters;
        m_room.wait(lock, [&] { return stopping() || id <= m_walkAt.load() || !overLimits(); });
        --m_roomWaiters;
    }
    m_heldBytes += listing.listing.bytes();
    m_listings.emplace(id, std::move(listing));
}

void IndexCheck::markRange(std::uint32_t begin, std::uint32_t end, Verdict verdict)
{
    for (std::uint32_t id = begin; id < end; ++id) {
        std::uint8_t pending = std::uint8_t(Verdict::Pending);
        if (m_verdicts[id].compare_exchange_strong(pending, std::uint8_t(verdict))
            && m_walkWaitsFor.load() == id) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_decided.notify_all();
        }
    }
}

void IndexCheck::decide(std::uint32_t id, Verdict verdict)
{
    m_verdicts[id].store(std::uint8_t(verdict));
    if (m_walkWaitsFor.load() == id) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_decided.notify_all();
    }
}

void IndexCheck::pace(Worker& worker)
{
    if (m_pacing.count(worker.meter) != readahead::Pacing::Step::Grow)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::size_t wanted = m_pacing.grow();
    try {
        while (m_workers.size() < wanted && !stopping()
            && m_nextRun.load() + m_workers.size() < m_runs)
            startWorker();
    } catch (...) {
        // No more threads to be had: those there are go on.
    }
}

Verdict IndexCheck::await(std::uint32_t id, const WaitHandler& handler)
{
    auto verdict = Verdict(m_verdicts[id].load(std::memory_order_acquire));
    if (verdict != Verdict::Pending)
        return verdict;
    m_walkWaitsFor.store(id);
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto decided = [&] {
        verdict = Verdict(m_verdicts[id].load(std::memory_order_acquire));
        return verdict != Verdict::Pending || m_running == 0;
    };
    while (!decided()) {
        if (!handler) {
            m_decided.wait(lock, decided);
            break;
        }
        if (m_decided.wait_for(lock, kWaitSlice, decided))
            break;
        lock.unlock();
        const bool keepWaiting = handler();
        lock.lock();
        if (!keepWaiting)
            break;
    }
    m_walkWaitsFor.store(FolderIndex::kNone);
    // Threads that all ended (stopped, or out of memory) leave the rest to the walk.
    if (verdict == Verdict::Pending && m_running == 0)
        verdict = Verdict::Live;
    return verdict;
}

CheckedListing IndexCheck::take(std::uint32_t id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    CheckedListing taken;
    const auto found = m_listings.find(id);
    if (found == m_listings.end())
        return taken;
    taken = std::move(found->second);
    m_listings.erase(found);
    m_heldBytes -= taken.listing.bytes();
    m_room.notify_all();
    return taken;
}

void IndexCheck::walkAt(std::uint32_t id)
{
    m_walkAt.store(id);
    if (m_roomWaiters.load() > 0) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_room.notify_all();
    }
}

} // namespace vantorel::dirwalk::index
