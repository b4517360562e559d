// SPDX-License-Identifier: MIT
#include "IndexedSearchFixture.h"

#include "FakeControls.h"
#include "FakeListControl.h"
#include "FolderTreeFixture.h"
#include "search/FolderSearchEngine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace vantorel::test
{

void IndexedSearchFixture::begin()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Reachable by another user, for the tests that search as one.
    QCOMPARE(::chmod(QFile::encodeName(m_dir->path()).constData(), 0755), 0);
    m_root = QFile::encodeName(m_dir->path()) + "/tree";
    QCOMPARE(::mkdir(m_root.constData(), 0755), 0);
    dirwalk::index::IndexSettings settings;
    settings.clockOffset = kAnHourAhead;
    useIndex(settings);
}

void IndexedSearchFixture::finish()
{
    m_indexed.reset();
    m_live.reset();
    m_store.reset();
    // Folders a test left locked: opened again so that the folder can go.
    QProcess::execute(QStringLiteral("chmod"), { "-R", "u+rwx", m_dir->path() });
    removeTree(m_dir->path());
    m_dir.reset();
}

void IndexedSearchFixture::useIndex(dirwalk::index::IndexSettings settings)
{
    m_store = std::make_shared<dirwalk::index::IndexStore>(std::move(settings));
    m_indexed = std::make_unique<SystemFolderService>(m_readAhead, m_store);
    m_live = std::make_unique<SystemFolderService>(m_readAhead);
}

QStringList IndexedSearchFixture::search(FolderService& folders)
{
    SearchState state;
    FakeOption fullPath { true };
    FakeListControl locations;
    FakeListControl results;
    ScriptedEventPump pump;
    const SearchEngineContext context { state, fullPath, locations, pump, folders };
    const Folder folder = folders.getNativeFolder(m_root);
    // Match Case with an empty phrase: every folder is a row.
    const WalkReport report = GetSubDirectories2016(folder, QString(), 0, results, context);
    QStringList rows;
    const QString root = QFile::decodeName(m_root);
    for (const QString& row : results.rows())
        rows << row.mid(root.size() + 1);
    for (const UnlistedFolder& unlisted : report.unlisted)
        rows << QStringLiteral("could not be read: %1: %2")
                    .arg(unlisted.path.mid(root.size()), unlisted.reason);
    return rows;
}

void IndexedSearchFixture::waitForNextTick()
{
    // File systems stamp with the coarse clock: a change is in a later tick
    // once that clock has passed the moment the search ended.
    timespec ended {};
    ::clock_gettime(CLOCK_REALTIME, &ended);
    const auto passed = [&] {
        timespec coarse {};
        ::clock_gettime(CLOCK_REALTIME_COARSE, &coarse);
        return coarse.tv_sec > ended.tv_sec
            || (coarse.tv_sec == ended.tv_sec && coarse.tv_nsec > ended.tv_nsec);
    };
    QTRY_VERIFY_WITH_TIMEOUT(passed(), 1000);
}

bool IndexedSearchFixture::make(const QStringList& entries)
{
    for (const QString& entry : entries) {
        const qsizetype arrow = entry.indexOf(QLatin1Char('>'));
        if (arrow < 0) {
            if (!QDir().mkpath(QFile::decodeName(m_root) + '/' + entry))
                return false;
            continue;
        }
        const QByteArray link = path(QFile::encodeName(entry.left(arrow)));
        const QByteArray target = QFile::encodeName(entry.mid(arrow + 1));
        if (::symlink(target.constData(), link.constData()) != 0)
            return false;
    }
    return true;
}

} // namespace vantorel::test
