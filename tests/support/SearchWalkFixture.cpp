// SPDX-License-Identifier: MIT
#include "SearchWalkFixture.h"

#include "FolderTreeFixture.h"

#include <QTest>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace vantorel::test
{

void SearchWalkFixture::begin()
{
    QVERIFY(m_dir.isValid());
    m_root = QFile::encodeName(m_dir.path()) + "/case-" + QByteArray::number(++m_case);
    QVERIFY(::mkdir(m_root.constData(), 0755) == 0);
    m_state = SearchState();
    m_option.select();
    m_locations = std::make_unique<FakeListControl>(QStringLiteral("Folder(s)"));
    m_results = std::make_unique<FakeListControl>(QStringLiteral("Results"));
    m_pump.pumps = 0;
    m_pump.onPump = nullptr;
}

void SearchWalkFixture::finish()
{
    QVERIFY(removeTree(text(m_root)));
}

WalkReport SearchWalkFixture::walk(
    const QByteArray& location, const QString& phrase, qint16 mode, FolderService& service)
{
    const Folder folder = service.getFolder(text(location));
    const SearchEngineContext context { m_state, m_option, *m_locations, m_pump, service };
    return GetSubDirectories2016(folder, phrase, mode, *m_results, context);
}

QStringList SearchWalkFixture::expectedRows(const QByteArray& location,
    const QSet<QByteArray>& matches, const QSet<QByteArray>& skippedBelow) const
{
    QStringList rows;
    for (const ReferenceEntry& entry : referenceWalk(location)) {
        const bool skipped = std::any_of(skippedBelow.begin(), skippedBelow.end(),
            [&](const QByteArray& s) { return entry.relativePath.startsWith(s + '/'); });
        if (!skipped && matches.contains(entry.name))
            rows.append(text(location + '/' + entry.relativePath));
    }
    return rows;
}

void SearchWalkFixture::makeTree(const QStringList& relativePaths)
{
    QVERIFY(makeFolders(text(m_root), relativePaths));
}

void SearchWalkFixture::slowFirstAppend()
{
    auto slept = std::make_shared<bool>(false);
    m_results->beforeOperation = [slept](const char* operation) {
        if (*slept || qstrcmp(operation, "append") != 0)
            return;
        *slept = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(45));
    };
}

} // namespace vantorel::test
