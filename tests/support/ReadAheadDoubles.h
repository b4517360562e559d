// SPDX-License-Identifier: MIT
// Read-ahead cursors over the system's, with cursors for the pool that may
// fail, reorder or slow down where the walk's own do not, and the walk that
// records everything a cursor gives, to hold against the plain cursor's.
#pragma once

#include "platform/walk/readahead/ReadAheadCursor.h"

#include <QByteArray>
#include <QSet>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace vantorel::test
{

/// The threads that have listed a folder.
class Listers
{
public:
    void add(std::thread::id thread)
    {
        const std::lock_guard lock(m_mutex);
        m_threads.insert(thread);
    }
    int count() const
    {
        const std::lock_guard lock(m_mutex);
        return int(m_threads.size());
    }

private:
    mutable std::mutex m_mutex;
    std::set<std::thread::id> m_threads;
};

/// How a pool thread's cursor is slowed down and watched.
struct WorkerPace {
    /// A subfolder's listing takes at least this long, and many times the
    /// processor time it needs, the rest waited with the processor idle: a
    /// cold disk or a share, as slow against the listing's own work on a busy
    /// machine or under a sanitizer as on an idle one.
    std::chrono::microseconds delay { 0 };
    std::shared_ptr<std::atomic<int>> listed = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<Listers> listers = std::make_shared<Listers>();
};

/// What all the cursors of a walk opened: folders to list them, and folders
/// only passed through on the way to one.
struct OpenCounts {
    std::atomic<int> listings { 0 };
    std::atomic<int> passedThrough { 0 };
};

/// The system's cursor, refusing to list the folders named in `failing`, and
/// giving the subfolders of the folder at `reversed` in reverse order.
class AlteredCursor : public dirwalk::DirectoryCursor
{
public:
    AlteredCursor(QSet<QByteArray> failing, QByteArray reversed, WorkerPace pace = {},
        std::shared_ptr<OpenCounts> opens = std::make_shared<OpenCounts>());
    bool openRoot(std::string_view path, dirwalk::SubfolderList& out, std::string& error) override;
    bool enter(std::string_view name, dirwalk::SubfolderList& out, std::string& error) override;
    void leave() override { m_system->leave(); }
    bool openToEnter(std::string_view root, std::string_view below, std::string& error) override;
    std::shared_ptr<const dirwalk::HeldFolder> hold(std::size_t level) override
    {
        return m_system->hold(level);
    }
    bool openToEnterFrom(std::shared_ptr<const dirwalk::HeldFolder> held, std::size_t heldLength,
        std::string_view root, std::string_view below, std::string& error) override;
    void listAhead() override { m_system->listAhead(); }
    bool outOfDescriptors() const override { return m_system->outOfDescriptors(); }
    bool roomToList() const override { return m_system->roomToList(); }
    std::size_t listersAtOnce() const override { return m_system->listersAtOnce(); }

private:
    static int foldersIn(std::string_view path);
    void reverseAt(std::string_view where, dirwalk::SubfolderList& out) const;
    bool refuses(std::string_view name, dirwalk::SubfolderList& out, std::string& error) const;

    QSet<QByteArray> m_failing;
    QByteArray m_reversed;
    WorkerPace m_pace;
    std::shared_ptr<OpenCounts> m_opens;
    std::unique_ptr<dirwalk::DirectoryCursor> m_system;
    std::chrono::nanoseconds m_lastListingUsed { 0 }; ///< of the processor
};

/// Makes read-ahead cursors with the given limits and threads, and cursors for
/// them that may differ between the walk's thread (the first made) and the pool's.
struct ReadAheadSetup {
    dirwalk::ReadAheadLimits limits;
    QSet<QByteArray> failingForBoth;
    QSet<QByteArray> failingForWorker;
    QByteArray reversedForWorker;
    unsigned threads = 2;
    unsigned mostThreads = 0; ///< more threads while listings wait; 0: never more
    WorkerPace workerPace;
    std::shared_ptr<dirwalk::ReadAheadStatistics> statistics
        = std::make_shared<dirwalk::ReadAheadStatistics>();
    std::shared_ptr<OpenCounts> opens = std::make_shared<OpenCounts>();
    dirwalk::ReadAheadCursor::Clock clock;

    std::unique_ptr<dirwalk::DirectoryCursor> make() const;
};

/// Every event of a whole walk with `cursor`: each folder entered with its
/// subfolders, each link, each failure; pre-order, as the search walks.
QStringList walkEvents(dirwalk::DirectoryCursor& cursor, const QByteArray& root, int stopAfter = -1,
    const std::function<void(int step)>& beforeStep = {});

} // namespace vantorel::test
