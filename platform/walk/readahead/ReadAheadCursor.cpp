// SPDX-License-Identifier: MIT
#include "platform/walk/readahead/ReadAheadCursor.h"

#include "platform/walk/StrandedCalls.h"

#include <algorithm>
#include <ctime>
#include <system_error>
#include <thread>

namespace vantorel::dirwalk
{

namespace
{

    /// After the pool has lost the walk (the tree changed under it), this many
    /// folders are listed here before it is started again from the walk's place:
    /// a restart lists every folder above that place once more.
    constexpr std::size_t kRestartAfter = 64;

    enum class Taken { Listing, Failure, Missing };

} // namespace

ReadAheadCursor::ReadAheadCursor(CursorFactory makeCursor, ReadAheadLimits limits,
    std::shared_ptr<ReadAheadStatistics> statistics, unsigned threads, unsigned mostThreads)
    : m_makeCursor(std::move(makeCursor))
    , m_limits(limits)
    , m_statistics(statistics ? std::move(statistics) : std::make_shared<ReadAheadStatistics>())
    , m_threads(threads)
    , m_mostThreads(mostThreads)
    , m_own(std::make_unique<OffThreadCursor>(m_makeCursor()))
{
}

void ReadAheadCursor::setWaitHandler(WaitHandler handler)
{
    m_handler = std::move(handler);
    m_own->setWaitHandler(m_handler);
    if (m_pool)
        m_pool->setWaitHandler(poolWaitHandler());
}

WaitHandler ReadAheadCursor::poolWaitHandler()
{
    if (!m_handler)
        return {};
    return [this] {
        const auto before = now();
        const bool keepWaiting = m_handler();
        // The handler may have held the walk for long (a message box): what
        // the pool listed before that is as stale as after a pause between folders.
        if (now() - before > m_limits.staleAfter)
            m_pausedInWait = true;
        return keepWaiting;
    };
}

ReadAheadCursor::~ReadAheadCursor()
{
    dropPool();
}

void ReadAheadCursor::dropPool()
{
    if (!m_pool)
        return;
    const std::size_t givenAway = m_pool->piecesGivenAway();
    const std::size_t threadsStarted = m_pool->threadsStarted();
    if (m_handler && !m_pool->stopWithin(kWaitSlice))
        dropInBackground(std::move(m_pool), StrandedCalls::pools().strand(m_root));
    m_pool.reset(); // joins the threads first
    m_statistics->piecesGivenAway += givenAway;
    m_statistics->mostThreads = std::max(m_statistics->mostThreads, threadsStarted);
}

void ReadAheadCursor::dropInBackground(
    std::unique_ptr<ReadAheadPool> pool, std::unique_ptr<StrandedCalls::Mark> leftBehind)
{
    // A thread still in a listing may never come back (a hung network share):
    // the pool is joined where nobody waits for it. Without a thread to be had,
    // it is joined here after all, as the lambda goes.
    try {
        std::thread([pool = std::move(pool), leftBehind = std::move(leftBehind)]() mutable {
            pool.reset();
            leftBehind.reset();
        }).detach();
    } catch (const std::system_error&) {
    }
}

bool ReadAheadCursor::givenUp(std::string& error) const
{
    if (!m_givenUp && !m_own->givenUp())
        return false;
    error = OffThreadCursor::kGivenUp;
    return true;
}

bool ReadAheadCursor::openRoot(std::string_view path, SubfolderList& out, std::string& error)
{
    if (givenUp(error))
        return false;
    dropPool();
    m_poolStarted = false;
    m_restartNow = false;
    m_levels.clear();
    m_path.clear();
    m_ownPath.clear();
    m_ownLengths.clear();
    m_root = path;
    ++m_statistics->direct;
    m_rootListing.reset();
    if (!m_own->openRoot(path, out, error))
        return false;
    m_rootListing = std::make_shared<const SubfolderList>(out);
    m_ownLengths.push_back(0);
    m_levels.push_back({ 0, 0 });
    return true;
}

std::vector<std::string> ReadAheadCursor::namesOf(
    const std::vector<Level>& levels, const std::string& path) const
{
    std::vector<std::string> names;
    for (std::size_t i = 1; i < levels.size(); ++i) {
        const std::size_t start = levels[i - 1].pathLength + 1;
        names.push_back(path.substr(start, levels[i].pathLength - start));
    }
    return names;
}

void ReadAheadCursor::startPool(std::uint64_t& deepestNumber)
{
    dropPool();
    if (m_poolStarted)
        ++m_statistics->restarts;
    m_poolStarted = true;
    m_restartNow = false;
    m_directSinceStart = 0;
    // Only the first start may use the root's listing: a later one lists what is there then.
    std::shared_ptr<const SubfolderList> rootListing = std::move(m_rootListing);
    // A pool of this tree left in a listing that never came back (a dead
    // share) would have a second one stuck beside it: the walk lists here,
    // as without a thread, until that one has ended.
    if (StrandedCalls::pools().holds(m_root))
        return;
    try {
        m_pool = std::make_unique<ReadAheadPool>(m_makeCursor, m_root, namesOf(m_levels, m_path),
            m_limits, m_threads, m_mostThreads, std::move(rootListing));
    } catch (const std::system_error&) {
        return; // no thread to be had: every folder is listed here
    }
    m_pool->setWaitHandler(poolWaitHandler());
    for (std::size_t i = 0; i < m_levels.size(); ++i)
        m_levels[i].number = i;
    deepestNumber = m_levels.back().number;
}

std::chrono::steady_clock::time_point ReadAheadCursor::now() const
{
    if (m_clock)
        return m_clock();
#ifdef CLOCK_MONOTONIC_COARSE
    // Read twice per folder: the precise clock would cost the walk more than a
    // pause of a second needs.
    timespec coarse {};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &coarse);
    return std::chrono::steady_clock::time_point(
        std::chrono::seconds(coarse.tv_sec) + std::chrono::nanoseconds(coarse.tv_nsec));
#else
    return std::chrono::steady_clock::now();
#endif
}

bool ReadAheadCursor::enter(std::string_view name, SubfolderList& out, std::string& error)
{
    if (givenUp(error))
        return false;
    if (m_levels.empty())
        return m_own->enter(name, out, error);

    // After a long pause the tree may have changed below what the pool listed
    // before it: the pool is started again from here, as if it had lost the walk.
    if (m_pool && now() - m_lastEntered > m_limits.staleAfter) {
        dropPool();
        m_restartNow = true;
    }
    const bool entered = enterFolder(name, out, error);
    if (m_pool)
        m_lastEntered = now();
    return entered;
}

bool ReadAheadCursor::enterFolder(std::string_view name, SubfolderList& out, std::string& error)
{
    std::uint64_t parent = m_levels.back().number;
    if (!m_poolStarted && parent != kOwnListing)
        startPool(parent);

    Taken taken = Taken::Missing;
    std::uint64_t number = kOwnListing;
    const ReadAheadListing* head = m_pool && parent != kOwnListing ? m_pool->peek() : nullptr;
    if (m_pool && m_pool->givenUp()) {
        m_givenUp = true;
        dropPool();
        error = OffThreadCursor::kGivenUp;
        return false;
    }
    if (m_pausedInWait) {
        // Listed before the pause: listed again here, and the pool started
        // again from here.
        m_pausedInWait = false;
        head = nullptr;
        dropPool();
        m_restartNow = true;
    }
    if (head && head->parent == parent && head->name == name) {
        taken = head->listed ? Taken::Listing : Taken::Failure;
        if (head->listed) {
            out.swap(*head->subfolders);
            number = head->number;
        }
        m_pool->pop();
    }

    const std::size_t parentLength = m_path.size();
    m_path.push_back('/');
    m_path.append(name);
    if (taken == Taken::Listing) {
        ++m_statistics->prefetched;
        m_levels.push_back({ m_path.size(), number });
        return true;
    }

    // A folder the pool could not list is listed again here: the walk gets
    // the system's own answer, at the moment the plain walk would ask.
    ++m_statistics->direct;
    ++m_directSinceStart;
    if (!listDirectly(out, error)) {
        m_path.resize(parentLength);
        return false;
    }
    m_levels.push_back({ m_path.size(), kOwnListing });
    if (m_restartNow
        || (taken == Taken::Missing && parent != kOwnListing
            && m_directSinceStart >= kRestartAfter)) {
        std::uint64_t deepest = kOwnListing;
        startPool(deepest);
    }
    return true;
}

bool ReadAheadCursor::listDirectly(SubfolderList& out, std::string& error)
{
    // m_path ends with the folder wanted; the own cursor is first brought to
    // its parent, the deepest folder both stacks share kept open.
    const std::size_t depth = m_levels.size(); // levels of the parent's stack
    std::size_t common = 1;
    while (common < depth && common < m_ownLengths.size()
        && m_ownLengths[common] == m_levels[common].pathLength)
        ++common;
    while (common > 1
        && m_ownPath.compare(0, m_ownLengths[common - 1], m_path, 0, m_ownLengths[common - 1]) != 0)
        --common;
    while (m_ownLengths.size() > common) {
        m_own->leave();
        m_ownLengths.pop_back();
    }
    m_ownPath.assign(m_path, 0, m_ownLengths.back());

    SubfolderList passing;
    for (std::size_t level = common; level <= depth; ++level) {
        const std::size_t start = m_ownLengths.back() + 1;
        const std::size_t end = level < depth ? m_levels[level].pathLength : m_path.size();
        const std::string_view step = std::string_view(m_path).substr(start, end - start);
        SubfolderList& listing = level < depth ? passing : out;
        if (!m_own->enter(step, listing, error)) {
            out.clear();
            return false;
        }
        m_ownLengths.push_back(end);
        m_ownPath.assign(m_path, 0, end);
    }
    return true;
}

void ReadAheadCursor::leave()
{
    if (m_levels.empty())
        return;
    m_levels.pop_back();
    if (m_levels.empty()) {
        dropPool();
        m_path.clear();
    } else {
        m_path.resize(m_levels.back().pathLength);
    }
}

std::unique_ptr<DirectoryCursor> makeWalkCursor(ReadAheadSettings settings)
{
    if (settings.threads == 0)
        return std::make_unique<OffThreadCursor>(makeSystemDirectoryCursor());
    return std::make_unique<ReadAheadCursor>(&makeSystemDirectoryCursor, ReadAheadLimits {},
        nullptr, settings.threads, settings.mostThreads);
}

} // namespace vantorel::dirwalk
