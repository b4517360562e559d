// SPDX-License-Identifier: MIT
// The search over a tree that changes or fails under it: folders removed or
// swapped for links while it walks, folders it cannot list, and few descriptors.
#include "support/DescriptorLimit.h"
#include "support/FolderTreeFixture.h"
#include "support/ScriptedFolderService.h"
#include "support/SearchWalkFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSet>
#include <QTest>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

using namespace vantorel;

namespace
{

/// The system's folders, read ahead on `threads` threads (none: the plain walk).
SystemFolderService systemWithThreads(int threads)
{
    return SystemFolderService(dirwalk::ReadAheadSettings { unsigned(threads) });
}

/// Swaps folders of the chain c/c/c... below `location`, at random depths, for
/// links to the same place below `outside` and back, on a thread of its own
/// until destroyed.
class LinkSwapper
{
public:
    LinkSwapper(QByteArray location, QByteArray outside, int levels)
        : m_location(std::move(location))
        , m_outside(std::move(outside))
        , m_levels(levels)
        , m_thread([this] { run(); })
    {
    }
    ~LinkSwapper()
    {
        m_done = true;
        m_thread.join();
    }
    int swaps() const { return m_swaps.load(); }

private:
    void run()
    {
        std::minstd_rand random(7);
        while (!m_done.load()) {
            const int depth = 1 + int(random() % m_levels);
            QByteArray relative;
            for (int level = 0; level < depth; ++level)
                relative += "/c";
            const QByteArray folder = m_location + relative;
            const QByteArray away = folder + "-away";
            if (::rename(folder.constData(), away.constData()) != 0)
                continue;
            if (::symlink((m_outside + relative).constData(), folder.constData()) == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(300));
                ::unlink(folder.constData());
            }
            ::rename(away.constData(), folder.constData());
            ++m_swaps;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }

    const QByteArray m_location;
    const QByteArray m_outside;
    const int m_levels;
    std::atomic<bool> m_done { false };
    std::atomic<int> m_swaps { 0 };
    std::thread m_thread; ///< last, started once the rest is set
};

} // namespace

class TestFolderSearchFaults : public QObject, private test::SearchWalkFixture
{
    Q_OBJECT

private slots:
    void init() { begin(); }
    void cleanup() { finish(); }

    void folderRemovedDuringWalkIsReportedAndSkipped();
    void folderTheServiceCannotListIsReportedAndSkipped();
    void locationThatCannotBeListed();
    void deepTreeUnderLowDescriptorLimit();
    void everyFolderUnderAVeryLowDescriptorLimit_data();
    void everyFolderUnderAVeryLowDescriptorLimit();
    void foldersSwappedForLinksNeverLeadOutside_data();
    void foldersSwappedForLinksNeverLeadOutside();
};

void TestFolderSearchFaults::folderRemovedDuringWalkIsReportedAndSkipped()
{
    makeTree({ "a-alpha/alpha-in-a", "gone-alpha/alpha-lost", "z-alpha/alpha-in-z" });
    const QStringList expected
        = expectedRows(m_root, { "a-alpha", "alpha-in-a", "gone-alpha", "z-alpha", "alpha-in-z" });
    m_pump.onPump = [this](int pumpNumber) {
        // Removed in this process: a child process forked while the listing
        // thread runs leaves ThreadSanitizer blind to what orders its calls.
        if (pumpNumber == 1)
            QVERIFY(QDir(text(m_root + "/gone-alpha")).removeRecursively());
    };
    const WalkReport report = walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(), expected);
    QCOMPARE(report.unlisted.size(), std::size_t(1));
    QCOMPARE(report.unlisted[0].path, text(m_root + "/gone-alpha"));
    QCOMPARE(report.unlisted[0].reason, QStringLiteral("No such file or directory"));
    QVERIFY(!report.stopped);
}

void TestFolderSearchFaults::folderTheServiceCannotListIsReportedAndSkipped()
{
    makeTree({ "a/alpha-a", "alpha-locked/alpha-inside", "m/n/alpha-locked", "zeta/alpha-z" });
    test::ScriptedFolderService service;
    service.failingNames = { "alpha-locked" };
    const WalkReport report = walk(m_root, QStringLiteral("alpha"), 1, service);
    QCOMPARE(m_results->rows(),
        expectedRows(m_root, { "alpha-a", "alpha-locked", "alpha-z" }, { "alpha-locked" }));
    QCOMPARE(m_results->rows().size(), 4);
    QCOMPARE(report.unlisted.size(), std::size_t(2));
    QSet<QString> unlisted;
    for (const UnlistedFolder& folder : report.unlisted) {
        QCOMPARE(folder.reason, QStringLiteral("Permission denied"));
        unlisted.insert(folder.path);
    }
    QCOMPARE(unlisted,
        QSet<QString>({ text(m_root + "/alpha-locked"), text(m_root + "/m/n/alpha-locked") }));
}

void TestFolderSearchFaults::locationThatCannotBeListed()
{
    makeTree({ "vanishing/alpha" });
    const Folder folder = m_system.getFolder(text(m_root + "/vanishing"));
    QVERIFY(test::removeTree(folder.path));
    const SearchEngineContext context { m_state, m_option, *m_locations, m_pump, m_system };
    const WalkReport report
        = GetSubDirectories2016(folder, QStringLiteral("alpha"), 1, *m_results, context);
    QCOMPARE(m_results->rows(), QStringList {});
    QCOMPARE(report.unlisted.size(), std::size_t(1));
    QCOMPARE(report.unlisted[0].path, folder.path);
    QCOMPARE(report.unlisted[0].reason, QStringLiteral("No such file or directory"));
}

void TestFolderSearchFaults::deepTreeUnderLowDescriptorLimit()
{
    const QByteArray leaf = test::makeFolderChain(m_root, "d", 3000, "alpha-bottom");
    QVERIFY(!leaf.isEmpty());
    test::DescriptorLimit limit(256);
    QVERIFY(limit.active());
    const WalkReport report = walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(), QStringList { text(leaf) });
    QVERIFY(report.unlisted.empty());
}

void TestFolderSearchFaults::everyFolderUnderAVeryLowDescriptorLimit_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("plain walk") << 0;
    QTest::newRow("read-ahead, 2 threads") << 2;
    QTest::newRow("read-ahead, 4 threads") << 4;
}

void TestFolderSearchFaults::everyFolderUnderAVeryLowDescriptorLimit()
{
    // Deep enough that every thread of the walk would keep a descriptor per
    // level for more levels than the limit allows all of them together.
    QFETCH(int, threads);
    QStringList paths;
    QString chain;
    for (int level = 0; level < 60; ++level) {
        chain += QStringLiteral("/d%1").arg(level);
        for (int side = 0; side < 3; ++side)
            paths << chain.mid(1) + QStringLiteral("/s%1/alpha-%2-%1").arg(side).arg(level);
    }
    makeTree(paths);
    QSet<QByteArray> all;
    for (const test::ReferenceEntry& entry : test::referenceWalk(m_root))
        if (entry.name.startsWith("alpha"))
            all.insert(entry.name);
    const QStringList expected = expectedRows(m_root, all);
    QCOMPARE(expected.size(), 180);

    SystemFolderService system = systemWithThreads(threads);
    // As low as a limit of 64 is once the descriptors of the window are taken.
    test::DescriptorLimit limit(32);
    QVERIFY(limit.active());
    const WalkReport report = walk(m_root, QStringLiteral("alpha"), 1, system);
    QCOMPARE(report.unlisted.size(), std::size_t(0));
    QCOMPARE(m_results->rows(), expected);
}

void TestFolderSearchFaults::foldersSwappedForLinksNeverLeadOutside_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("plain walk") << 0;
    QTest::newRow("read-ahead, 2 threads") << 2;
}

void TestFolderSearchFaults::foldersSwappedForLinksNeverLeadOutside()
{
    // A chain deeper than the folders the walk keeps open, with folders to
    // match beside it; elsewhere a copy whose every folder holds one more.
    // Another thread swaps folders of the chain, at every depth, for links to
    // the copy and back while the location is searched again and again.
    QFETCH(int, threads);
    constexpr int kLevels = 44;
    QStringList inside;
    QStringList outside;
    QString chain;
    for (int level = 0; level < kLevels; ++level) {
        chain += QStringLiteral("/c");
        for (int side = 0; side < 3; ++side)
            inside << chain.mid(1) + QStringLiteral("/alpha-%1").arg(side);
        outside << chain.mid(1) + QStringLiteral("/alpha-outside");
    }
    QVERIFY(test::makeFolders(text(m_root + "/in"), inside));
    QVERIFY(test::makeFolders(text(m_root + "/out"), outside + inside));
    const QByteArray location = m_root + "/in";
    const LinkSwapper swapper(location, m_root + "/out", kLevels);

    SystemFolderService system = systemWithThreads(threads);
    int walks = 0;
    QStringList outsideRows;
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 1500 || walks < 20) {
        m_results->clear();
        walk(location, QStringLiteral("alpha"), 1, system);
        ++walks;
        for (const QString& row : m_results->rows())
            if (row.contains(QStringLiteral("outside")))
                outsideRows << row;
    }
    QCOMPARE(outsideRows.mid(0, 3), QStringList());
    QVERIFY2(swapper.swaps() > 100,
        qPrintable(QStringLiteral("%1 swaps, %2 walks").arg(swapper.swaps()).arg(walks)));
}

QTEST_GUILESS_MAIN(TestFolderSearchFaults)
#include "tst_FolderSearchFaults.moc"
