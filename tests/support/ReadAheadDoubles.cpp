// SPDX-License-Identifier: MIT
#include "ReadAheadDoubles.h"

#include "platform/walk/readahead/Pacing.h"

#include <algorithm>

namespace vantorel::test
{

using namespace dirwalk;

AlteredCursor::AlteredCursor(QSet<QByteArray> failing, QByteArray reversed, WorkerPace pace,
    std::shared_ptr<OpenCounts> opens)
    : m_failing(std::move(failing))
    , m_reversed(std::move(reversed))
    , m_pace(std::move(pace))
    , m_opens(std::move(opens))
    , m_system(makeSystemDirectoryCursor())
{
}

bool AlteredCursor::openRoot(std::string_view path, SubfolderList& out, std::string& error)
{
    ++m_opens->listings;
    const std::size_t slash = path.rfind('/');
    if (refuses(slash == std::string_view::npos ? path : path.substr(slash + 1), out, error)
        || !m_system->openRoot(path, out, error))
        return false;
    reverseAt(path, out);
    return true;
}

bool AlteredCursor::enter(std::string_view name, SubfolderList& out, std::string& error)
{
    // Well over what the pool takes for a listing that waits on something
    // other than the disk, so that its pacing sees this one as slow; weighed
    // against the thread's last listing, so that the wait comes before the
    // folder is opened, as on a slow disk.
    constexpr int kSlowness = 64;
    if (m_pace.delay.count() > 0)
        std::this_thread::sleep_for(
            std::max<std::chrono::nanoseconds>(m_pace.delay, kSlowness * m_lastListingUsed));
    m_pace.listers->add(std::this_thread::get_id());
    ++*m_pace.listed;
    ++m_opens->listings;
    const auto usedBefore = readahead::threadUsage().time;
    const bool listed = !refuses(name, out, error) && m_system->enter(name, out, error);
    m_lastListingUsed = readahead::threadUsage().time - usedBefore;
    return listed;
}

bool AlteredCursor::openToEnter(std::string_view root, std::string_view below, std::string& error)
{
    m_opens->passedThrough += 1 + foldersIn(below);
    return m_system->openToEnter(root, below, error);
}

bool AlteredCursor::openToEnterFrom(std::shared_ptr<const HeldFolder> held, std::size_t heldLength,
    std::string_view root, std::string_view below, std::string& error)
{
    m_opens->passedThrough += foldersIn(below.substr(heldLength));
    return m_system->openToEnterFrom(std::move(held), heldLength, root, below, error);
}

int AlteredCursor::foldersIn(std::string_view path)
{
    const auto names = QByteArray(path.data(), qsizetype(path.size())).split('/');
    return int(std::count_if(
        names.begin(), names.end(), [](const QByteArray& name) { return !name.isEmpty(); }));
}

void AlteredCursor::reverseAt(std::string_view where, SubfolderList& out) const
{
    if (m_reversed != QByteArray(where.data(), qsizetype(where.size())))
        return;
    SubfolderList reversed;
    for (std::size_t i = out.size(); i-- > 0;)
        reversed.add(out.name(i), out.kind(i));
    out = reversed;
}

bool AlteredCursor::refuses(std::string_view name, SubfolderList& out, std::string& error) const
{
    if (!m_failing.contains(QByteArray(name.data(), qsizetype(name.size()))))
        return false;
    out.clear();
    error = "Permission denied";
    return true;
}

std::unique_ptr<DirectoryCursor> ReadAheadSetup::make() const
{
    auto made = std::make_shared<int>(0);
    const ReadAheadSetup setup = *this;
    auto cursor = std::make_unique<ReadAheadCursor>(
        [setup, made]() -> std::unique_ptr<DirectoryCursor> {
            const bool worker = (*made)++ > 0;
            if (!worker)
                return std::make_unique<AlteredCursor>(
                    setup.failingForBoth, QByteArray(), WorkerPace {}, setup.opens);
            return std::make_unique<AlteredCursor>(setup.failingForBoth + setup.failingForWorker,
                setup.reversedForWorker, setup.workerPace, setup.opens);
        },
        limits, statistics, threads, mostThreads);
    if (clock)
        cursor->setClock(clock);
    return cursor;
}

QStringList walkEvents(DirectoryCursor& cursor, const QByteArray& root, int stopAfter,
    const std::function<void(int step)>& beforeStep)
{
    QStringList events;
    struct Level {
        SubfolderList subfolders;
        std::size_t next = 0;
        QByteArray path;
    };
    std::vector<Level> levels(1);
    std::string error;
    if (!cursor.openRoot(root.toStdString(), levels[0].subfolders, error))
        return { "root failed: " + QString::fromStdString(error) };
    for (int step = 0; !levels.empty() && stopAfter-- != 0; ++step) {
        if (beforeStep)
            beforeStep(step);
        Level& level = levels.back();
        if (level.next == level.subfolders.size()) {
            levels.pop_back();
            if (!levels.empty())
                cursor.leave();
            continue;
        }
        const std::size_t index = level.next++;
        const std::string_view name = level.subfolders.name(index);
        const QByteArray path = level.path + '/' + QByteArray(name.data(), qsizetype(name.size()));
        if (level.subfolders.kind(index) == FolderKind::Link) {
            events << "link " + QString::fromUtf8(path);
            continue;
        }
        Level child;
        child.path = path;
        if (!cursor.enter(name, child.subfolders, error)) {
            events << QString::fromUtf8(path) + " failed: " + QString::fromStdString(error);
            continue;
        }
        QString event = QString::fromUtf8(path) + ":";
        for (std::size_t i = 0; i < child.subfolders.size(); ++i)
            event += ' '
                + QString::fromUtf8(
                    child.subfolders.name(i).data(), qsizetype(child.subfolders.name(i).size()));
        events << event;
        levels.push_back(std::move(child));
    }
    return events;
}

} // namespace vantorel::test
