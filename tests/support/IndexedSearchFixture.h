// SPDX-License-Identifier: MIT
// Searches of one tree of a test's own with the folder index and without it,
// for comparing what the index gives with what a walk of the disk gives.
#pragma once

#include "platform/qt/files/SystemFolderService.h"
#include "platform/walk/index/IndexStore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace vantorel::test
{

class IndexedSearchFixture
{
protected:
    /// For the test's init(): an empty folder at m_root, and an index whose
    /// clock runs an hour ahead, so that the tree just made counts as old.
    void begin();
    void finish();
    /// An index store with these settings for the next searches.
    void useIndex(dirwalk::index::IndexSettings settings);

    /// Every folder below m_root with the index, in the walk's order: one row a
    /// folder (its path below the root), then one "could not be read: path:
    /// reason" line a folder that could not be listed.
    QStringList searchWithIndex() { return search(*m_indexed); }
    /// The same without an index: what the index must give.
    QStringList searchLive() { return search(*m_live); }
    QStringList search(FolderService& folders);
    /// Waits until the file system's clock has moved on from the search just
    /// made, so that a change now cannot share its times' tick.
    static void waitForNextTick();

    /// Makes folders (paths below the root, "/"-joined), and links "name>target".
    bool make(const QStringList& entries);
    QByteArray path(const QByteArray& relative) const { return m_root + '/' + relative; }
    dirwalk::index::IndexUse lastUse() const { return m_store->lastUse(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_root;
    std::shared_ptr<dirwalk::index::IndexStore> m_store;
    std::unique_ptr<SystemFolderService> m_indexed;
    std::unique_ptr<SystemFolderService> m_live;
    dirwalk::ReadAheadSettings m_readAhead { 2, 4 };
};

/// An hour: the clock offset under which every stamp of a tree just made is old.
inline constexpr std::int64_t kAnHourAhead = std::int64_t { 3600 } * 1000000000;

} // namespace vantorel::test
