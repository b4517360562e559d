// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/ReadAheadPool.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <chrono>
#include <ctime>
#include <limits>
#include <system_error>
#include <utility>

namespace vantorel::dirwalk
{

namespace
{

    /// A thread hands its listings over this many at a time, or at once when the
    /// walk waits for them: a lock per folder would cost more than listing it.
    constexpr std::size_t kBatchListings = 128;
    constexpr std::size_t kBatchBytes = std::size_t { 64 } << 10;
    constexpr std::size_t kSpareBatches = 16;
    /// A batch the walk waits for goes once it is this old: a wake-up per folder
    /// would cost the walk more than it gains, but on a slow disk it gets each
    /// listing as it comes.
    constexpr std::chrono::microseconds kWaitedBatchAge { 1000 };

    /// Each thread numbers its listings from its own range, without a lock.
    constexpr std::uint64_t kNumbersPerThread = std::uint64_t { 1 } << 40;

    /// A thread counts this many listings against the limits at a time.
    constexpr std::size_t kReservedAtOnce = 16;

    /// All the threads together stop at this many times the limits, however stale
    /// their views of each other. Twice, not once: at once, the threads further
    /// ahead fill the room and leave the piece the walk reads next to one thread.
    constexpr std::size_t kHeldAtMost = 2;

    /// A thread weighs the time its listings take every this many listings.
    constexpr std::size_t kPacedListings = 32;
    /// Listings that read the disk and take this many times the processor time
    /// they need wait on it: more threads keep more of them waiting at once.
    constexpr std::int64_t kSlowFromDisk = 2;
    /// Listings that take this many times their processor time without reading
    /// the disk, and this long each, wait on something else, a network share
    /// most likely. Shorter, and a thread that other programs keep off the
    /// processor for a moment would look slow.
    constexpr std::int64_t kSlowElsewhere = 16;
    constexpr std::chrono::nanoseconds kSlowListing = std::chrono::microseconds(500);

    /// The subfolders still to be started in a frame, counted up to `most`.
    std::size_t foldersLeft(const auto& frame, std::size_t most)
    {
        std::size_t count = 0;
        for (std::size_t i = frame.next; i < frame.end && count < most; ++i)
            count += frame.subfolders.kind(i) == FolderKind::Folder ? 1 : 0;
        return count;
    }

    /// The place in a frame just past its next `count` subfolders still to be started.
    std::size_t pastFolders(const auto& frame, std::size_t count)
    {
        std::size_t place = frame.next;
        for (; count > 0; ++place)
            count -= frame.subfolders.kind(place) == FolderKind::Folder ? 1 : 0;
        return place;
    }

    /// The depth of a thread's shallowest folder with subfolders still to be started, whose
    /// rest can be shared: `worker.depth` when there is none, or when its rest is one folder
    /// and nothing deeper is left to the thread, which would then only wait for work again.
    std::size_t folderToShare(const auto& worker)
    {
        const auto firstWithWork = [&worker](std::size_t depth) {
            while (depth < worker.depth && foldersLeft(worker.frames[depth], 1) == 0)
                ++depth;
            return depth;
        };
        const std::size_t depth = firstWithWork(0);
        if (depth < worker.depth && foldersLeft(worker.frames[depth], 2) < 2
            && firstWithWork(depth + 1) == worker.depth)
            return worker.depth;
        return depth;
    }

    /// What the calling thread has used of the machine.
    struct ThreadUsage {
        /// Of the processor; zero where the system cannot tell.
        std::chrono::nanoseconds time { 0 };
        long blocksRead = 0; ///< from the disk, past the page cache
    };

    ThreadUsage threadUsage()
    {
        ThreadUsage usage;
#if defined(RUSAGE_THREAD) && defined(CLOCK_THREAD_CPUTIME_ID)
        // The processor time getrusage() gives is counted in ticks: too coarse for a few listings.
        timespec time {};
        rusage own {};
        if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time) == 0
            && ::getrusage(RUSAGE_THREAD, &own) == 0) {
            usage.time = std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
            usage.blocksRead = own.ru_inblock;
        }
#endif
        return usage;
    }

} // namespace

/// Consecutive listings of one piece. Each listing has a list of its own, which
/// the walk takes by exchanging it for the one it is done with: the listing is
/// not copied again, and the list given back keeps its memory for the next
/// batch made here.
struct ReadAheadPool::Batch {
    struct Record {
        std::uint64_t parent = 0;
        std::uint64_t number = 0;
        std::size_t nameOffset = 0; ///< of the folder's own name, in names
        std::size_t nameLength = 0;
        bool listed = false;
        SubfolderList subfolders;
    };
    /// A list that held more than this is let go when the batch is cleared,
    /// so that a spare batch does not keep the memory of one huge folder.
    static constexpr std::size_t kKeptListBytes = std::size_t { 64 } << 10;

    std::string names;
    std::vector<Record> records; ///< the first `count` are in use; the rest keep their memory
    std::size_t count = 0;
    std::size_t listBytes = 0;

    void add(std::uint64_t parent, std::uint64_t number, std::string_view name, bool listed,
        const SubfolderList& subfolders)
    {
        if (count == records.size())
            records.emplace_back();
        Record& record = records[count++];
        record.parent = parent;
        record.number = number;
        record.nameOffset = names.size();
        record.nameLength = name.size();
        names.append(name);
        record.listed = listed;
        if (listed) {
            record.subfolders.assign(subfolders.names(), subfolders.entries());
            listBytes += subfolders.bytes();
        } else {
            record.subfolders.clear();
        }
    }
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    std::size_t bytes() const { return names.size() + listBytes + count * sizeof(Record); }
    void clear()
    {
        for (std::size_t i = 0; i < count; ++i)
            if (records[i].subfolders.capacityBytes() > kKeptListBytes)
                records[i].subfolders = SubfolderList();
        names.clear();
        count = 0;
        listBytes = 0;
    }
};

/// A run of pre-order: sibling folders with everything below them.
struct ReadAheadPool::Piece {
    enum class State { Unstarted, Running, Finished };
    State state = State::Unstarted;
    Worker* owner = nullptr;
    // What an unstarted piece is: these subfolders of the folder at parentPath.
    std::uint64_t parentNumber = 0;
    std::string parentPath; ///< below the root: a separator and a name per level
    SubfolderList folders;
    // Listings written and not yet taken by the walk.
    std::deque<std::unique_ptr<Batch>> batches;
    Ahead ahead; ///< what those batches hold
};

struct ReadAheadPool::Worker {
    struct Frame {
        std::uint64_t number = 0;
        std::size_t pathLength = 0; ///< of path, up to this folder
        SubfolderList subfolders;
        std::size_t next = 0;
        std::size_t end = 0;
    };

    std::size_t index = 0;
    std::unique_ptr<DirectoryCursor> cursor;
    std::atomic<bool> giveAwayAsked { false };
    bool waiting = false; ///< for room, with its work (stopHere)
    std::condition_variable wake; ///< while waiting
    std::uint64_t nextNumber = 0;
    std::vector<Frame> frames; ///< the piece's parent, then each folder entered below it
    std::size_t depth = 0; ///< frames in use
    std::string path; ///< of the deepest frame, below the root
    PieceRef current;
    std::unique_ptr<Batch> batch = std::make_unique<Batch>();
    std::chrono::steady_clock::time_point batchStarted;
    Ahead aheadAtPublish; ///< listings before the batch, when it was last handed over
    std::size_t reserved = 0; ///< listings counted against the limits and not made yet
    // The run of listings weighed next, counted only while the thread lists.
    std::size_t pacedListings = 0;
    std::chrono::nanoseconds pacedTime { 0 };
    ThreadUsage pacedUsage;
    std::chrono::steady_clock::time_point listingSince;
    ThreadUsage usageSince; ///< the thread's, when it last went on listing
    std::thread thread;
};

ReadAheadPool::ReadAheadPool(const CursorFactory& makeCursor, std::string root,
    std::vector<std::string> resumePath, ReadAheadLimits limits, unsigned threads,
    unsigned mostThreads)
    : m_root(std::move(root))
    , m_resumePath(std::move(resumePath))
    , m_limits(limits)
    , m_makeCursor(makeCursor)
    , m_fewestThreads(std::max(threads, 1u))
    , m_mostThreads(std::max<std::size_t>(m_fewestThreads, mostThreads))
{
    m_workers.reserve(m_mostThreads);
    m_wantedThreads = m_fewestThreads;
    bool started = true;
    {
        // The threads wait for the lock until all of them are started.
        const std::lock_guard lock(m_mutex);
        while (started && m_workers.size() < m_fewestThreads)
            started = startWorker();
    }
    if (!started) {
        stopAll();
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
}

bool ReadAheadPool::startWorker()
{
    // The factory is called with the lock held, or on the walk's thread
    // before any pool thread runs: it need not be thread-safe.
    auto worker = std::make_unique<Worker>();
    worker->index = m_workers.size();
    worker->cursor = m_makeCursor();
    worker->nextNumber = (worker->index + 1) * kNumbersPerThread;
    Worker& started = *worker;
    m_workers.push_back(std::move(worker));
    try {
        started.thread = std::thread([this, &started] { run(started); });
    } catch (const std::system_error&) {
        m_workers.pop_back();
        return false;
    }
    m_threadsStarted.store(m_workers.size(), std::memory_order_relaxed);
    ++m_threadsRunning;
    return true;
}

bool ReadAheadPool::wanted(const Worker& worker) const
{
    return worker.index < m_wantedThreads.load(std::memory_order_relaxed);
}

void ReadAheadPool::resumePace(Worker& worker) const
{
    if (m_mostThreads == m_fewestThreads)
        return;
    worker.listingSince = std::chrono::steady_clock::now();
    worker.usageSince = threadUsage();
}

void ReadAheadPool::pausePace(Worker& worker) const
{
    if (m_mostThreads == m_fewestThreads)
        return;
    const ThreadUsage used = threadUsage();
    worker.pacedTime += std::chrono::steady_clock::now() - worker.listingSince;
    worker.pacedUsage.time += used.time - worker.usageSince.time;
    worker.pacedUsage.blocksRead += used.blocksRead - worker.usageSince.blocksRead;
}

void ReadAheadPool::paceListing(Worker& worker)
{
    if (m_mostThreads == m_fewestThreads || ++worker.pacedListings < kPacedListings)
        return;
    pausePace(worker);
    const std::int64_t took = worker.pacedTime.count();
    const std::int64_t needed = worker.pacedUsage.time.count();
    const bool fromDisk = worker.pacedUsage.blocksRead > 0;
    worker.pacedListings = 0;
    worker.pacedTime = {};
    worker.pacedUsage = {};
    resumePace(worker);
    if (needed <= 0)
        return; // the system cannot tell
    const std::size_t wantedNow = m_wantedThreads.load(std::memory_order_relaxed);
    const bool slow = fromDisk ? took > kSlowFromDisk * needed
                               : took > kSlowElsewhere * needed
            && took > std::int64_t(kPacedListings) * kSlowListing.count();
    if (slow && wantedNow < m_mostThreads) {
        const std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        const std::size_t more = std::min(m_mostThreads, 2 * m_wantedThreads.load());
        m_wantedThreads = more;
        while (m_workers.size() < more && startWorker()) { }
        m_restingWake.notify_all();
    } else if (!slow && !fromDisk && wantedNow > m_fewestThreads) {
        // One at a time: a thread resting while the disk is slow costs more than one too many.
        const std::lock_guard lock(m_mutex);
        if (m_wantedThreads > m_fewestThreads)
            --m_wantedThreads;
    }
}

ReadAheadPool::~ReadAheadPool()
{
    stopAll();
}

void ReadAheadPool::stopAll()
{
    askToStop();
    // No thread is started once m_stopping is set.
    for (const std::unique_ptr<Worker>& worker : m_workers)
        if (worker->thread.joinable())
            worker->thread.join();
}

void ReadAheadPool::askToStop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        wakeWaiting();
    }
    m_workersWake.notify_all();
    m_walkWake.notify_all();
    m_restingWake.notify_all();
}

bool ReadAheadPool::stopWithin(std::chrono::nanoseconds wait)
{
    askToStop();
    std::unique_lock lock(m_mutex);
    return m_endedWake.wait_for(lock, wait, [this] { return m_threadsRunning == 0; });
}

void ReadAheadPool::run(Worker& worker)
{
    try {
        if (worker.index == 0) {
            const bool resumed = resume(worker);
            {
                const std::lock_guard lock(m_mutex);
                m_ready = true;
                m_failed = m_failed || !resumed;
            }
            m_workersWake.notify_all();
            m_walkWake.notify_all();
        }
        std::unique_lock lock(m_mutex);
        for (PieceRef piece = takePiece(worker, lock); piece != m_pieces.end();
             piece = takePiece(worker, lock)) {
            lock.unlock();
            walkPiece(worker, piece);
            lock.lock();
        }
    } catch (...) {
        // Out of memory, most likely: the walk lists whatever is left itself.
        {
            const std::lock_guard lock(m_mutex);
            m_failed = true;
            wakeWaiting();
        }
        m_walkWake.notify_all();
        m_workersWake.notify_all();
    }
    // Nothing stays open while the pool waits to be dropped.
    worker.cursor.reset();
    const std::lock_guard lock(m_mutex);
    --m_threadsRunning;
    m_endedWake.notify_all();
}

bool ReadAheadPool::resume(Worker& worker)
{
    DirectoryCursor& cursor = *worker.cursor;
    std::string error;
    struct Step {
        SubfolderList subfolders;
        std::string path;
        std::size_t from = 0; ///< the first subfolder after the resume path's
    };
    std::vector<Step> chain(1);
    if (!cursor.openRoot(m_root, chain[0].subfolders, error))
        return false;
    for (const std::string& name : m_resumePath) {
        Step& parent = chain.back();
        std::size_t index = 0;
        while (index < parent.subfolders.size()
            && (parent.subfolders.name(index) != name
                || parent.subfolders.kind(index) != FolderKind::Folder))
            ++index;
        if (index == parent.subfolders.size())
            return false; // the tree has changed: the walk goes on without help
        parent.from = index + 1;
        Step child;
        if (!cursor.enter(name, child.subfolders, error))
            return false;
        child.path = parent.path + kPathSeparator + name;
        chain.push_back(std::move(child));
    }
    // Each piece is opened by its own path: the chain's descriptors go.
    for (std::size_t i = 0; i < chain.size(); ++i)
        cursor.leave();

    const std::lock_guard lock(m_mutex);
    // The rest of the deepest folder comes first in pre-order, the rest of the root last.
    for (std::size_t i = chain.size(); i-- > 0;) {
        Piece piece;
        piece.parentNumber = i;
        piece.parentPath = std::move(chain[i].path);
        for (std::size_t j = chain[i].from; j < chain[i].subfolders.size(); ++j)
            if (chain[i].subfolders.kind(j) == FolderKind::Folder)
                piece.folders.add(chain[i].subfolders.name(j), FolderKind::Folder);
        if (!piece.folders.empty())
            m_pieces.push_back(std::move(piece));
    }
    return true;
}

ReadAheadPool::PieceRef ReadAheadPool::firstUnfinished()
{
    for (auto piece = m_pieces.begin(); piece != m_pieces.end(); ++piece)
        if (piece->state != Piece::State::Finished)
            return piece;
    return m_pieces.end();
}

ReadAheadPool::Ahead ReadAheadPool::aheadOf(PieceRef piece, bool inclusive) const
{
    Ahead ahead;
    for (auto before = m_pieces.begin(); before != m_pieces.end(); ++before) {
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

bool ReadAheadPool::withinLimits(const Ahead& ahead) const
{
    return ahead.listings < m_limits.listings && ahead.bytes < m_limits.bytes;
}

bool ReadAheadPool::roomToGoOn(const Ahead& ahead) const
{
    // A quarter of the limits: woken at the first listing taken, a thread would stop again at
    // its next, and every listing would cost two hand-overs.
    return ahead.listings + m_limits.listings / 4 < m_limits.listings
        && ahead.bytes + m_limits.bytes / 4 < m_limits.bytes;
}

bool ReadAheadPool::mayStart(PieceRef piece) const
{
    // The walk reads the first piece next, whatever the limits.
    return piece == m_pieces.begin() || withinLimits(aheadOf(piece, false));
}

ReadAheadPool::PieceRef ReadAheadPool::takePiece(Worker& worker, std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        if (m_stopping || m_failed)
            return m_pieces.end();
        if (!wanted(worker)) {
            m_restingWake.wait(lock);
            continue;
        }
        if (m_ready) {
            // The first piece nobody has started is taken, if it is within the limits; when
            // there is none, a running piece is asked for work. The pieces are large and handed
            // over rarely: threads that traded small pieces near the walk spent more on waking
            // each other than on listing.
            const auto unstarted = std::find_if(m_pieces.begin(), m_pieces.end(),
                [](const Piece& piece) { return piece.state == Piece::State::Unstarted; });
            if (unstarted != m_pieces.end() && mayStart(unstarted)) {
                if (unstarted == m_pieces.begin())
                    m_frontUnstarted = false;
                unstarted->state = Piece::State::Running;
                unstarted->owner = &worker;
                if (m_idleWorkers > 0)
                    m_workersWake.notify_one();
                worker.aheadAtPublish = aheadOf(unstarted, true);
                return unstarted;
            }
            if (roomLeft())
                askForWork(unstarted);
        }
        ++m_idleWorkers;
        m_workersWake.wait(lock);
        --m_idleWorkers;
    }
}

void ReadAheadPool::askForWork(PieceRef before)
{
    // One owner asked per idle thread: every piece given away is one more to count through.
    if (m_ownersAsked > m_idleWorkers)
        return;
    Ahead ahead;
    const auto end = before == m_pieces.end() ? before : std::next(before);
    for (auto piece = m_pieces.begin(); piece != end; ++piece) {
        ahead.listings += piece->ahead.listings;
        ahead.bytes += piece->ahead.bytes;
        if (!withinLimits(ahead))
            return;
        if (piece->state == Piece::State::Running && piece->owner
            && !piece->owner->giveAwayAsked.load(std::memory_order_relaxed)) {
            piece->owner->giveAwayAsked.store(true, std::memory_order_relaxed);
            ++m_ownersAsked;
            return;
        }
        if (piece->state != Piece::State::Finished)
            ++ahead.listings;
    }
}

void ReadAheadPool::answered(Worker& worker)
{
    if (worker.giveAwayAsked.exchange(false, std::memory_order_relaxed))
        --m_ownersAsked;
}

bool ReadAheadPool::roomLeft() const
{
    return m_made.load(std::memory_order_relaxed) < kHeldAtMost * m_limits.listings
        && m_madeBytes.load(std::memory_order_relaxed) < kHeldAtMost * m_limits.bytes;
}

bool ReadAheadPool::reserveListing(Worker& worker)
{
    if (worker.reserved > 0) {
        --worker.reserved;
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
            worker.reserved = taken - 1;
            return true;
        }
    }
}

void ReadAheadPool::returnReserved(Worker& worker)
{
    m_made.fetch_sub(worker.reserved, std::memory_order_relaxed);
    worker.reserved = 0;
}

bool ReadAheadPool::walkWaitsFor(const Worker& worker) const
{
    return m_walkWaits && worker.current == m_pieces.begin() && worker.current->batches.empty();
}

bool ReadAheadPool::overLimits(const Worker& worker) const
{
    const Ahead ahead { worker.aheadAtPublish.listings + worker.batch->size(),
        worker.aheadAtPublish.bytes + worker.batch->bytes() };
    return !withinLimits(ahead);
}

bool ReadAheadPool::shouldStop(const Worker& worker) const
{
    // The walk waits for a piece nobody has started: this thread takes it.
    if (m_walkWaits.load(std::memory_order_relaxed)
        && m_frontUnstarted.load(std::memory_order_relaxed)
        && m_front.load(std::memory_order_relaxed) != &*worker.current)
        return true;
    return overLimits(worker);
}

void ReadAheadPool::publish(Worker& worker)
{
    if (worker.batch->empty()) {
        worker.aheadAtPublish = aheadOf(worker.current, true);
        return;
    }
    worker.current->ahead.listings += worker.batch->size();
    worker.current->ahead.bytes += worker.batch->bytes();
    m_madeBytes.fetch_add(worker.batch->bytes(), std::memory_order_relaxed);
    worker.current->batches.push_back(std::move(worker.batch));
    worker.aheadAtPublish = aheadOf(worker.current, true);
    if (m_spareBatches.empty()) {
        worker.batch = std::make_unique<Batch>();
    } else {
        worker.batch = std::move(m_spareBatches.back());
        m_spareBatches.pop_back();
    }
    if (m_walkWaits && worker.current == m_pieces.begin())
        m_walkToWake.store(true, std::memory_order_relaxed);
}

void ReadAheadPool::wakeWalkIfDue()
{
    // Woken after the lock is let go: woken while it is held, the walk would only wait for
    // the lock next, and every hand-over would cost it two sleeps.
    if (m_walkToWake.load(std::memory_order_relaxed)
        && m_walkToWake.exchange(false, std::memory_order_relaxed))
        m_walkWake.notify_one();
}

ReadAheadPool::PieceRef ReadAheadPool::giveAway(
    Worker& worker, std::size_t depth, std::size_t from, PieceRef where)
{
    Worker::Frame& frame = worker.frames[depth];
    Piece piece;
    piece.parentNumber = frame.number;
    piece.parentPath.assign(worker.path, 0, frame.pathLength);
    for (std::size_t i = from; i < frame.end; ++i)
        if (frame.subfolders.kind(i) == FolderKind::Folder)
            piece.folders.add(frame.subfolders.name(i), FolderKind::Folder);
    frame.end = from;
    if (piece.folders.empty())
        return where;
    return std::next(m_pieces.insert(where, std::move(piece)));
}

bool ReadAheadPool::giveAwayLast(Worker& worker)
{
    // The thread's last work in pre-order is the rest of its shallowest folder that has any.
    const std::size_t depth = folderToShare(worker);
    if (depth == worker.depth)
        return false;
    const Worker::Frame& frame = worker.frames[depth];
    const std::size_t left = foldersLeft(frame, std::numeric_limits<std::size_t>::max());
    // The last half of it; all of it when that is one folder and the thread keeps deeper work.
    // Nothing the thread lists from now on comes after it: it follows the thread's piece.
    giveAway(worker, depth, pastFolders(frame, left / 2), std::next(worker.current));
    ++m_piecesGivenAway;
    if (m_idleWorkers > 0)
        m_workersWake.notify_one(); // one piece: more would only wake to sleep again
    return true;
}

bool ReadAheadPool::giveAwayNextHalf(Worker& worker)
{
    // The rest of the thread's shallowest folder that has any comes after all its deeper work.
    const std::size_t depth = folderToShare(worker);
    if (depth == worker.depth)
        return false;
    const Worker::Frame& frame = worker.frames[depth];
    const std::size_t left = foldersLeft(frame, std::numeric_limits<std::size_t>::max());
    // The first half follows the thread's piece, for the idle thread; the second half follows
    // that, for whichever thread is free first. This thread ends its piece with its deeper work.
    giveAway(worker, depth, pastFolders(frame, (left + 1) / 2), std::next(worker.current));
    giveAway(worker, depth, frame.next, std::next(worker.current));
    ++m_piecesGivenAway;
    if (m_idleWorkers > 0)
        m_workersWake.notify_one(); // the second half waits for the first thread free
    return true;
}

void ReadAheadPool::stopHere(Worker& worker, std::unique_lock<std::mutex>& lock)
{
    const bool walkWaitsForPiece = m_walkWaits && m_frontUnstarted;
    if (walkWaitsForPiece || m_wantedThreads.load(std::memory_order_relaxed) == m_fewestThreads) {
        giveEverythingBack(worker); // every folder has nothing left: the loop leaves them all
        return;
    }
    // While the threads wait on the disk, one too far ahead waits where it is: giving its work
    // back, and all of them taking pieces of it again a moment later, costs more than listing.
    returnReserved(worker);
    // Woken by wakeWaiting(), alone: a wake-up for every thread at every batch would cost more
    // than the listings.
    ++m_waitingWorkers;
    worker.waiting = true;
    pausePace(worker);
    wakeWalkIfDue(); // this thread hands nothing more over for a while
    worker.wake.wait(lock, [this, &worker] {
        return m_stopping || m_failed || walkWaitsFor(worker) || (m_walkWaits && m_frontUnstarted)
            || (roomToGoOn(aheadOf(worker.current, true)) && roomLeft());
    });
    worker.waiting = false;
    --m_waitingWorkers;
    resumePace(worker);
    worker.aheadAtPublish = aheadOf(worker.current, true);
}

void ReadAheadPool::wakeWaiting()
{
    if (m_waitingWorkers == 0)
        return;
    const bool everyone = m_stopping || m_failed || (m_walkWaits && m_frontUnstarted);
    Ahead ahead;
    for (auto piece = m_pieces.begin(); piece != m_pieces.end(); ++piece) {
        ahead.listings += piece->ahead.listings;
        ahead.bytes += piece->ahead.bytes;
        Worker* owner = piece->owner;
        if (owner && owner->waiting
            && (everyone || (roomToGoOn(ahead) && roomLeft())
                || (m_walkWaits && piece == m_pieces.begin() && piece->batches.empty())))
            owner->wake.notify_one();
        if (piece->state != Piece::State::Finished)
            ++ahead.listings;
    }
}

void ReadAheadPool::giveEverythingBack(Worker& worker)
{
    publish(worker);
    returnReserved(worker);
    // The deepest folder's rest first: that is pre-order.
    PieceRef where = std::next(worker.current);
    for (std::size_t depth = worker.depth; depth-- > 0;)
        where = giveAway(worker, depth, worker.frames[depth].next, where);
    if (m_idleWorkers > 0)
        m_workersWake.notify_all();
}

void ReadAheadPool::finishCurrent(Worker& worker)
{
    worker.current->state = Piece::State::Finished;
    worker.current->owner = nullptr;
    if (m_walkWaits && worker.current == m_pieces.begin())
        m_walkToWake.store(true, std::memory_order_relaxed);
}

void ReadAheadPool::walkPiece(Worker& worker, PieceRef piece)
{
    DirectoryCursor& cursor = *worker.cursor;
    worker.current = piece;
    if (worker.frames.empty())
        worker.frames.emplace_back();
    Worker::Frame& first = worker.frames[0];
    first.number = piece->parentNumber;
    first.subfolders = std::move(piece->folders);
    first.next = 0;
    first.end = first.subfolders.size();
    worker.path = std::move(piece->parentPath);
    first.pathLength = worker.path.size();
    worker.depth = 1;
    resumePace(worker);

    std::string error;
    // The root may be a link; a folder inside the tree is one only if it was swapped for one
    // since, and then the piece is not opened: the walk lists those folders itself.
    const bool open = cursor.openToEnter(
        m_root, std::string_view(worker.path).substr(worker.path.empty() ? 0 : 1), error);

    while (worker.depth > 0) {
        wakeWalkIfDue();
        if (m_stopping.load(std::memory_order_relaxed))
            return;
        Worker::Frame& top = worker.frames[worker.depth - 1];
        while (top.next < top.end && top.subfolders.kind(top.next) != FolderKind::Folder)
            ++top.next;
        if (top.next == top.end) {
            if (open)
                cursor.leave();
            --worker.depth;
            worker.path.resize(worker.depth > 0 ? worker.frames[worker.depth - 1].pathLength : 0);
            continue;
        }

        if (worker.giveAwayAsked.load(std::memory_order_relaxed)) {
            const std::lock_guard lock(m_mutex);
            const bool given = m_wantedThreads.load(std::memory_order_relaxed) > m_fewestThreads
                ? giveAwayLast(worker)
                : giveAwayNextHalf(worker);
            // Asked again by the next idle thread that wakes, not at every folder: the lock
            // for each would cost more than the listing.
            answered(worker);
            if (given)
                continue; // the deepest folder may have nothing left now
        }
        if (shouldStop(worker)) {
            std::unique_lock lock(m_mutex);
            publish(worker); // and learns how far ahead it is now
            // The listing the walk waits for is made whatever the limits.
            if (!walkWaitsFor(worker) && shouldStop(worker))
                stopHere(worker, lock);
            continue;
        }

        // However stale the threads' views of each other, all of them together
        // stop at kHeldAtMost times the limits; the thread on the first piece
        // not finished may go on, up to the limits with everything before it
        // as it sees them now, for the walk reads its listings next.
        if (!reserveListing(worker)) {
            std::unique_lock lock(m_mutex);
            publish(worker); // and learns how far ahead it is now
            if (!walkWaitsFor(worker)
                && (worker.current != firstUnfinished() || overLimits(worker))) {
                stopHere(worker, lock);
                continue;
            }
            // Counted a few at a time, as reserveListing() does: a lock per listing would
            // keep the other threads waiting for it.
            const std::size_t counted
                = std::clamp(m_limits.listings, std::size_t { 1 }, kReservedAtOnce);
            m_made.fetch_add(counted, std::memory_order_relaxed);
            worker.reserved = counted - 1;
        }

        const std::size_t parentDepth = worker.depth - 1;
        const std::size_t index = top.next++;
        if (worker.frames.size() == worker.depth)
            worker.frames.emplace_back(); // moves the frames: `top` is not used below
        const Worker::Frame& parentFrame = worker.frames[parentDepth];
        Worker::Frame& child = worker.frames[worker.depth];
        const std::string_view name = parentFrame.subfolders.name(index);
        const std::uint64_t number = worker.nextNumber++;
        const bool listed = open && cursor.enter(name, child.subfolders, error);
        worker.batch->add(parentFrame.number, number, name, listed, child.subfolders);
        if (listed) {
            worker.path.push_back(kPathSeparator);
            worker.path.append(name);
            child.number = number;
            child.pathLength = worker.path.size();
            child.next = 0;
            child.end = child.subfolders.size();
            ++worker.depth;
        }
        paceListing(worker);

        if (worker.batch->size() == 1)
            worker.batchStarted = std::chrono::steady_clock::now();
        if (worker.batch->size() >= kBatchListings || worker.batch->bytes() >= kBatchBytes
            || (m_walkWaits.load(std::memory_order_relaxed)
                && m_front.load(std::memory_order_relaxed) == &*worker.current
                && std::chrono::steady_clock::now() - worker.batchStarted >= kWaitedBatchAge)) {
            const std::lock_guard lock(m_mutex);
            publish(worker);
        }
    }

    pausePace(worker);
    {
        const std::lock_guard lock(m_mutex);
        publish(worker);
        returnReserved(worker);
        finishCurrent(worker);
        answered(worker);
        if (m_idleWorkers > 0)
            m_workersWake.notify_one();
    }
    wakeWalkIfDue();
}

bool ReadAheadPool::takeBatch()
{
    std::unique_lock lock(m_mutex);
    if (m_reading) {
        if (m_spareBatches.size() < kSpareBatches) {
            m_reading->clear();
            m_spareBatches.push_back(std::move(m_reading));
        }
        m_reading.reset();
    }
    for (;;) {
        if (m_failed || m_stopping)
            return false;
        if (m_ready && m_pieces.empty())
            return false; // everything was handed over
        if (m_ready) {
            Piece& front = m_pieces.front();
            m_front.store(&front, std::memory_order_relaxed);
            if (!front.batches.empty()) {
                m_reading = std::move(front.batches.front());
                front.batches.pop_front();
                front.ahead.listings -= m_reading->size();
                front.ahead.bytes -= m_reading->bytes();
                m_made.fetch_sub(m_reading->size(), std::memory_order_relaxed);
                m_madeBytes.fetch_sub(m_reading->bytes(), std::memory_order_relaxed);
                m_readIndex = 0;
                // A thread held back by the limits may go on now; it wakes the next if there is
                // more to start.
                if (m_idleWorkers > 0)
                    m_workersWake.notify_one();
                wakeWaiting();
                return true;
            }
            if (front.state == Piece::State::Finished) {
                m_pieces.pop_front();
                continue;
            }
            // An idle thread takes a piece nobody has started; when none is idle, a busy one does.
            if (front.state == Piece::State::Unstarted) {
                if (m_idleWorkers > 0) {
                    m_workersWake.notify_all();
                } else {
                    m_frontUnstarted = true;
                }
            }
        }
        m_walkWaits = true;
        // The thread on the piece the walk reads may wait for room: it goes on now.
        wakeWaiting();
        const bool keepWaiting = waitForWalkWake(lock);
        m_walkWaits = false;
        m_frontUnstarted = false;
        if (!keepWaiting) {
            m_givenUp = true;
            return false;
        }
    }
}

bool ReadAheadPool::waitForWalkWake(std::unique_lock<std::mutex>& lock)
{
    if (!m_waitHandler) {
        m_walkWake.wait(lock);
        return true;
    }
    if (m_walkWake.wait_for(lock, kWaitSlice) == std::cv_status::no_timeout)
        return true;
    lock.unlock();
    const bool keepWaiting = m_waitHandler();
    lock.lock();
    return keepWaiting;
}

const ReadAheadListing* ReadAheadPool::peek()
{
    if ((!m_reading || m_readIndex == m_reading->size()) && !takeBatch())
        return nullptr;
    Batch& batch = *m_reading;
    Batch::Record& record = batch.records[m_readIndex];
    m_listing.parent = record.parent;
    m_listing.number = record.number;
    m_listing.name = std::string_view(batch.names).substr(record.nameOffset, record.nameLength);
    m_listing.listed = record.listed;
    m_listing.subfolders = &record.subfolders;
    return &m_listing;
}

void ReadAheadPool::pop()
{
    ++m_readIndex;
}

} // namespace vantorel::dirwalk
