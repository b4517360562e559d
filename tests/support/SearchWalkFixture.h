// SPDX-License-Identifier: MIT
// The search's walk of a real folder tree of each test's own, with doubles
// for the window's lists, the Path option and the event pump.
#pragma once

#include "FakeControls.h"
#include "FakeListControl.h"
#include "platform/files/SystemFolderService.h"
#include "search/FolderSearchEngine.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <memory>

namespace vantorel::test
{

class SearchWalkFixture
{
protected:
    /// For the test's init(): a new folder at m_root and fresh doubles.
    void begin();
    /// For the test's cleanup(): the folder removed.
    void finish();

    WalkReport walk(
        const QByteArray& location, const QString& phrase, qint16 mode, FolderService& service);
    WalkReport walk(const QByteArray& location, const QString& phrase, qint16 mode = 1)
    {
        return walk(location, phrase, mode, m_system);
    }
    /// Rows the walk of `location` must give: the reference walk's order, kept
    /// to the names in `matches`.
    QStringList expectedRows(const QByteArray& location, const QSet<QByteArray>& matches,
        const QSet<QByteArray>& skippedBelow = {}) const;
    void makeTree(const QStringList& relativePaths);
    /// Makes the next subfolder after the first row come after a pump.
    void slowFirstAppend();
    QString text(const QByteArray& bytes) const { return QFile::decodeName(bytes); }

    QTemporaryDir m_dir;
    QByteArray m_root;
    int m_case = 0;
    SearchState m_state;
    FakeOption m_option;
    std::unique_ptr<FakeListControl> m_locations;
    std::unique_ptr<FakeListControl> m_results;
    ScriptedEventPump m_pump;
    SystemFolderService m_system;
};

} // namespace vantorel::test
