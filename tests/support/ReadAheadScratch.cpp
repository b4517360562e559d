// SPDX-License-Identifier: MIT
#include "ReadAheadScratch.h"

#include "FolderTreeFixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace vantorel::test
{

int ReadAheadScratch::entriesIn(const char* folder)
{
    return int(QDir(QString::fromLatin1(folder))
                   .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                   .size());
}

void ReadAheadScratch::begin()
{
    QVERIFY(m_dir.isValid());
    m_root = QFile::encodeName(m_dir.path()) + "/case-" + QByteArray::number(++m_case);
    QVERIFY(QDir().mkpath(QFile::decodeName(m_root)));
    m_threadsBefore = entriesIn("/proc/self/task");
    m_descriptorsBefore = entriesIn("/proc/self/fd");
}

void ReadAheadScratch::finish()
{
    // A joined thread may linger in /proc for a moment after it has ended.
    QTRY_COMPARE(entriesIn("/proc/self/task"), m_threadsBefore);
    QCOMPARE(entriesIn("/proc/self/fd"), m_descriptorsBefore);
    QVERIFY(removeTree(QFile::decodeName(m_root)));
}

void ReadAheadScratch::makeMixedTree(int folders, int seed)
{
    // Bushy and deep by turns, from a fixed seed.
    QStringList paths { "alpha" };
    std::uint32_t state = std::uint32_t(seed);
    const auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    while (paths.size() < folders) {
        const QString parent
            = next(4) == 0 ? QString() : paths.at(int(next(std::uint32_t(paths.size()))));
        const QString name
            = (next(5) == 0 ? QStringLiteral("Alpha-%1") : QStringLiteral("n%1")).arg(paths.size());
        paths << (parent.isEmpty() ? name : parent + '/' + name);
    }
    QVERIFY(makeFolders(QFile::decodeName(m_root), paths));
}

} // namespace vantorel::test
