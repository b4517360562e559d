// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexedWalkCursor.h"

#include "platform/walk/OffThreadCursor.h"
#include "platform/walk/linux/LinuxDirectoryCursor.h"
#include "platform/walk/readahead/ReadAheadCursor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

namespace vantorel::dirwalk::index
{

namespace
{

    std::unique_ptr<LinuxDirectoryCursor> stampingCursor(const std::string& location)
    {
        auto cursor = std::make_unique<LinuxDirectoryCursor>();
        cursor->setStamping(true);
        cursor->setLocation(location);
        return cursor;
    }

    /// A check whose threads may still be in a call that never comes back (a
    /// hung network share) is let go where nobody waits for it, with the index
    /// it reads.
    void dropInBackground(std::unique_ptr<IndexCheck> check, std::shared_ptr<FolderIndex> old)
    {
        try {
            std::thread([check = std::move(check), old = std::move(old)]() mutable {
                check.reset();
                old.reset();
            }).detach();
        } catch (const std::system_error&) {
            check.reset(); // no thread to be had: waited for here after all
        }
    }

} // namespace

IndexedWalkCursor::IndexedWalkCursor(std::shared_ptr<IndexStore> store, ReadAheadSettings readAhead)
    : m_store(std::move(store))
    , m_readAhead(readAhead)
{
}

IndexedWalkCursor::~IndexedWalkCursor()
{
    finish();
}

void IndexedWalkCursor::setWaitHandler(WaitHandler handler)
{
    m_handler = std::move(handler);
    if (m_disk)
        m_disk->setWaitHandler(m_handler);
}

bool IndexedWalkCursor::givenUp(std::string& error) const
{
    if (!m_givenUp)
        return false;
    error = OffThreadCursor::kGivenUp;
    return true;
}

std::unique_ptr<DirectoryCursor> IndexedWalkCursor::makeDiskCursor()
{
    const std::string location = m_location;
    std::unique_ptr<DirectoryCursor> disk;
    if (m_readAhead.threads == 0) {
        disk = std::make_unique<OffThreadCursor>(stampingCursor(location));
    } else {
        disk = std::make_unique<ReadAheadCursor>(
            [location]() -> std::unique_ptr<DirectoryCursor> { return stampingCursor(location); },
            ReadAheadLimits {}, nullptr, m_readAhead.threads, m_readAhead.mostThreads);
    }
    if (m_handler)
        disk->setWaitHandler(m_handler);
    return disk;
}

void IndexedWalkCursor::push(From from, std::uint32_t old)
{
    m_levels.push_back({ from, old, m_relative.size() });
}

bool IndexedWalkCursor::enteredOnDisk(std::string_view name, std::uint32_t old,
    std::size_t parentLength, const SubfolderList* listing)
{
    const RecordedListing recorded { old, listing };
    m_writer->entered(name, listing ? &recorded : nullptr);
    if (!listing)
        return false;
    if (!m_relative.empty())
        m_relative.push_back('/');
    m_relative.append(name);
    ++m_use.walkedLive;
    m_levels.push_back({ From::Disk, old, parentLength });
    return true;
}

bool IndexedWalkCursor::openRoot(std::string_view path, SubfolderList& out, std::string& error)
{
    if (givenUp(error))
        return false;
    finish();
    m_location.assign(path);
    m_relative.clear();
    m_levels.clear();
    m_use = {};
    m_disk = makeDiskCursor();
    m_old = m_store->take(m_location, m_handler, m_use.loaded);
    m_use.hadIndex = m_old != nullptr;
    m_writer = std::make_unique<IndexWriter>(m_store->rules(), m_location, m_old.get());
    if (m_old) {
        const std::string location = m_location;
        try {
            m_check = std::make_unique<IndexCheck>(
                *m_old, m_store->rules(), [location] { return stampingCursor(location); },
                std::max(1u, m_readAhead.threads), std::max(1u, m_readAhead.mostThreads));
        } catch (const std::exception&) {
            m_check.reset(); // no thread to check with: the walk reads the disk
        }
    }
    if (m_check) {
        switch (await(0, error)) {
        case Verdict::Pending:
            return false;
        case Verdict::Same:
            if (listFromIndex(0, out, error)) {
                const RecordedListing recorded { 0, nullptr };
                m_writer->openRoot(&recorded);
                ++m_use.fromIndex;
                push(From::Index, 0);
                return true;
            }
            if (m_givenUp)
                return false;
            break;
        case Verdict::Changed:
            return takeChecked(0, true, {}, out, error);
        default:
            break;
        }
    }
    const bool listed = m_disk->openRoot(m_location, out, error);
    const RecordedListing recorded { m_old ? 0 : FolderIndex::kNone, &out };
    m_writer->openRoot(listed ? &recorded : nullptr);
    if (!listed)
        return false;
    ++m_use.walkedLive;
    push(From::Disk, recorded.old);
    return true;
}

Verdict IndexedWalkCursor::await(std::uint32_t old, std::string& error)
{
    const Verdict verdict = m_check->await(old, m_handler);
    if (verdict == Verdict::Pending) {
        m_givenUp = true;
        error = OffThreadCursor::kGivenUp;
    }
    return verdict;
}

bool IndexedWalkCursor::listFromIndex(std::uint32_t old, SubfolderList& out, std::string& error)
{
    out.clear();
    const FolderIndex& index = *m_old;
    const std::uint32_t end = index.after(old);
    for (std::uint32_t id = old + 1; id < end; id = index.after(id)) {
        if (!index.node(id).isLink()) {
            out.add(index.name(id), FolderKind::Folder);
            continue;
        }
        switch (await(id, error)) {
        case Verdict::LinkToFolder:
            out.add(index.name(id), FolderKind::Link);
            break;
        case Verdict::LinkToOther:
            break;
        default:
            out.clear();
            return false; // not known: the folder is read from the disk
        }
    }
    return true;
}

bool IndexedWalkCursor::takeChecked(
    std::uint32_t old, bool root, std::string_view name, SubfolderList& out, std::string& error)
{
    CheckedListing checked = m_check->take(old);
    if (!checked.listed) {
        error = std::move(checked.error);
        if (root)
            m_writer->openRoot(nullptr);
        else
            m_writer->entered(name, nullptr);
        return false;
    }
    out.swap(checked.listing);
    const RecordedListing recorded { old, &out };
    if (root) {
        m_writer->openRoot(&recorded);
    } else {
        m_writer->entered(name, &recorded);
        if (!m_relative.empty())
            m_relative.push_back('/');
        m_relative.append(name);
    }
    ++m_use.listedAgain;
    m_levels.push_back({ From::CheckedAgain, old, 0 });
    return true;
}

bool IndexedWalkCursor::enter(std::string_view name, SubfolderList& out, std::string& error)
{
    if (givenUp(error))
        return false;
    if (m_levels.empty()) {
        error = std::strerror(EBADF);
        return false;
    }
    const std::size_t parentLength = m_relative.size();
    const Level top = m_levels.back();
    if (top.from == From::Disk) {
        const std::uint32_t old = m_writer->oldChild(name);
        const bool listed = m_disk->enter(name, out, error);
        return enteredOnDisk(name, old, parentLength, listed ? &out : nullptr);
    }

    const std::uint32_t old = m_writer->oldChild(name);
    if (old == FolderIndex::kNone || !m_check)
        return walkOnDisk(name, old, out, error);
    m_check->walkAt(old);
    switch (await(old, error)) {
    case Verdict::Pending:
        return false;
    case Verdict::Same:
        if (listFromIndex(old, out, error)) {
            const RecordedListing recorded { old, nullptr };
            m_writer->entered(name, &recorded);
            if (!m_relative.empty())
                m_relative.push_back('/');
            m_relative.append(name);
            ++m_use.fromIndex;
            m_levels.push_back({ From::Index, old, parentLength });
            return true;
        }
        if (m_givenUp)
            return false;
        return walkOnDisk(name, old, out, error);
    case Verdict::Changed:
        if (!takeChecked(old, false, name, out, error))
            return false;
        m_levels.back().pathLength = parentLength;
        return true;
    default:
        return walkOnDisk(name, old, out, error);
    }
}

bool IndexedWalkCursor::walkOnDisk(
    std::string_view name, std::uint32_t old, SubfolderList& out, std::string& error)
{
    const std::size_t parentLength = m_relative.size();
    std::string path = m_location;
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    if (!m_relative.empty()) {
        path.append(m_relative);
        path.push_back('/');
    }
    path.append(name);
    const bool listed = m_disk->openRoot(path, out, error);
    return enteredOnDisk(name, old, parentLength, listed ? &out : nullptr);
}

void IndexedWalkCursor::leave()
{
    if (m_levels.empty())
        return;
    const Level level = m_levels.back();
    m_levels.pop_back();
    if (level.from == From::Disk)
        m_disk->leave();
    m_writer->left();
    m_relative.resize(level.pathLength);
}

void IndexedWalkCursor::finish()
{
    if (!m_writer)
        return;
    std::shared_ptr<FolderIndex> made = m_writer->finish();
    // The walk found it as it was, or gave up before its first folder: it holds as it is.
    if (m_writer->unchanged() || (!made && m_givenUp))
        made = m_old;
    m_writer.reset();
    if (m_check) {
        m_use.check = m_check->statistics();
        // A thread may be in a call that waits on a hung share: not waited for then.
        const bool ended = m_check->stopWithin(
            m_handler ? std::chrono::nanoseconds(kWaitSlice) : std::chrono::nanoseconds::max());
        if (ended)
            m_check.reset();
        else
            dropInBackground(std::move(m_check), m_old);
    }
    m_old.reset();
    m_levels.clear();
    m_use.folders = made ? made->size() : 0;
    m_use.memory = made ? made->memoryBytes() : 0;
    m_store->setLastUse(m_use);
    m_store->put(std::move(made));
}

std::unique_ptr<DirectoryCursor> makeIndexedWalkCursor(
    const std::shared_ptr<IndexStore>& store, ReadAheadSettings readAhead)
{
    if (!store || !store->on())
        return makeWalkCursor(readAhead);
    return std::make_unique<IndexedWalkCursor>(store, readAhead);
}

} // namespace vantorel::dirwalk::index
