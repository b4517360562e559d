// SPDX-License-Identifier: MIT
// Searches of one tree of a test's own with the folder index and without it,
// for comparing what the index gives with what a walk of the disk gives.
#pragma once

#include "platform/files/SystemFolderService.h"
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
    /// With `stopAtPump`, Stop is pressed in that pump of the search; of
    /// `location` when given, else of m_root.
    QStringList search(FolderService& folders, int stopAtPump = 0, QByteArray location = {});
    /// Waits until the file system's clock has moved on from the search just
    /// made, so that a change now cannot share its times' tick.
    static void waitForNextTick();
    /// What two searches' rows differ in; empty when they do not.
    static QString difference(const QStringList& indexed, const QStringList& live);

    /// One change of the tree; false when it could not be made.
    using Step = std::function<bool()>;
    /// Searches with the index, makes each step, and after each compares a
    /// search with the index with a walk of the disk. The differences, or why
    /// a step failed; empty when there was none.
    QString compareAfterSteps(const QList<Step>& steps);
    /// The same with the searches made by the unprivileged user "nobody" in a
    /// child process and the steps made here (as root): folder permissions do
    /// not hold for the superuser. kCannot when the child cannot become nobody.
    QString compareAfterStepsAsNobody(const QList<Step>& steps);
    static constexpr const char* kCannot = "cannot search as nobody";
    /// The child's side of compareAfterStepsAsNobody().
    QString compareAsNobodyInChild(int input, int output, int steps);

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
    dirwalk::index::IndexSettings m_settings;
};

/// An hour: the clock offset under which every stamp of a tree just made is old.
inline constexpr std::int64_t kAnHourAhead = std::int64_t { 3600 } * 1000000000;

} // namespace vantorel::test
