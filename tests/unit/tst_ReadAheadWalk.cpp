// SPDX-License-Identifier: MIT
// The read-ahead cursor against the plain one: the same folders, listings and
// failures in the same order, and nothing left open afterwards.
#include "platform/walk/readahead/ReadAheadCursor.h"
#include "support/DescriptorLimit.h"
#include "support/FolderTreeFixture.h"
#include "support/ReadAheadDoubles.h"
#include "support/ReadAheadScratch.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

#include <algorithm>

using namespace vantorel;
using namespace vantorel::dirwalk;
using namespace vantorel::test;

class TestReadAheadWalk : public QObject, private ReadAheadScratch
{
    Q_OBJECT

private slots:
    void init() { begin(); }
    void cleanup() { finish(); }

    void sameWalkAsThePlainCursor_data();
    void sameWalkAsThePlainCursor();
    void failuresOfBothAndOfTheWorkerAlone();
    void poolStartsFromTheWalksRootListing();
    void listingsMadeBeforeAPauseAreMadeAgain();
    void destroyedMidWalkLeavesNothingOpen();
    void sameWalkWithFewDescriptors_data();
    void sameWalkWithFewDescriptors();

private:
    /// One folder of 2,000 subfolders, one in ten holding "kid"; made once for every row.
    QByteArray wideTree();
};

QByteArray TestReadAheadWalk::wideTree()
{
    const QByteArray root = QFile::encodeName(m_dir.path()) + "/wide";
    if (QFile::exists(QFile::decodeName(root)))
        return root;
    QStringList paths;
    for (int i = 0; i < 2000; ++i)
        paths << QStringLiteral("w%1").arg(i) + (i % 10 == 0 ? QStringLiteral("/kid") : QString());
    return test::makeFolders(QFile::decodeName(root), paths) ? root : QByteArray();
}

void TestReadAheadWalk::sameWalkAsThePlainCursor_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("listings");
    QTest::addColumn<int>("threads");
    for (const char* shape : { "mixed", "deep", "wide", "links", "beyond PATH_MAX" }) {
        QTest::addRow("%s, wide window, one thread", shape)
            << QString::fromLatin1(shape) << 2048 << 1;
        QTest::addRow("%s, one listing ahead, one thread", shape)
            << QString::fromLatin1(shape) << 1 << 1;
        QTest::addRow("%s, wide window, two threads", shape)
            << QString::fromLatin1(shape) << 2048 << 2;
        QTest::addRow("%s, three listings ahead, two threads", shape)
            << QString::fromLatin1(shape) << 3 << 2;
        QTest::addRow("%s, wide window, four threads", shape)
            << QString::fromLatin1(shape) << 2048 << 4;
        QTest::addRow("%s, one listing ahead, four threads", shape)
            << QString::fromLatin1(shape) << 1 << 4;
        QTest::addRow("%s, wide window, sixteen threads", shape)
            << QString::fromLatin1(shape) << 2048 << 16;
        QTest::addRow("%s, three listings ahead, sixteen threads", shape)
            << QString::fromLatin1(shape) << 3 << 16;
    }
}

void TestReadAheadWalk::sameWalkAsThePlainCursor()
{
    QFETCH(QString, shape);
    QFETCH(int, listings);
    QFETCH(int, threads);
    const QString root = QFile::decodeName(m_root);
    if (shape == "mixed") {
        makeMixedTree(1500, 7);
    } else if (shape == "deep") {
        QString chain;
        for (int i = 0; i < 120; ++i)
            chain += QStringLiteral("/level-%1").arg(i);
        QVERIFY(test::makeFolders(
            root, { chain.mid(1), "side/a/b", chain.mid(1, 300) + "/branch/leaf" }));
    } else if (shape == "wide") {
        QStringList paths;
        for (int i = 0; i < 3000; ++i)
            paths << QStringLiteral("w%1").arg(i)
                    + (i % 7 == 0 ? QStringLiteral("/inner") : QString());
        QVERIFY(test::makeFolders(root, paths));
    } else if (shape == "links") {
        QVERIFY(test::makeFolders(root, { "a/real/inner", "b/c" }));
        QVERIFY(::symlink("..", (m_root + "/a/loop").constData()) == 0);
        QVERIFY(::symlink(m_root.constData(), (m_root + "/b/root-link").constData()) == 0);
        QVERIFY(::symlink("missing", (m_root + "/broken").constData()) == 0);
    } else {
        QVERIFY(!test::makeFolderChain(m_root, "long-folder-name-here", 300, "bottom").isEmpty());
    }

    const std::unique_ptr<DirectoryCursor> plain = makeSystemDirectoryCursor();
    const QStringList expected = walkEvents(*plain, m_root);
    QVERIFY(expected.size() > 3);

    ReadAheadSetup setup;
    setup.limits.listings = std::size_t(listings);
    setup.threads = unsigned(threads);
    const std::unique_ptr<DirectoryCursor> ahead = setup.make();
    QCOMPARE(walkEvents(*ahead, m_root), expected);
    // Every folder below the root came from the pool.
    const auto entered = std::size_t(std::count_if(
        expected.begin(), expected.end(), [](const QString& e) { return !e.startsWith("link "); }));
    QCOMPARE(setup.statistics->direct, std::size_t(1));
    QCOMPARE(setup.statistics->prefetched, entered);
    QCOMPARE(setup.statistics->restarts, std::size_t(0));
}

void TestReadAheadWalk::failuresOfBothAndOfTheWorkerAlone()
{
    QVERIFY(test::makeFolders(QFile::decodeName(m_root),
        { "a/locked/x/y", "a/b", "locked/z", "m/worker-only/p/q", "m/r", "s/t" }));
    const QStringList expected = [&] {
        AlteredCursor plain({ "locked" }, {});
        return walkEvents(plain, m_root);
    }();
    QVERIFY(expected.contains("/a/locked failed: Permission denied"));

    for (unsigned threads : { 1u, 2u, 3u }) {
        ReadAheadSetup setup;
        setup.threads = threads;
        setup.failingForBoth = { "locked" };
        // Where only the pool fails, the walk lists the folder and what lies
        // below it itself, and takes the pool's listings again after it.
        setup.failingForWorker = { "worker-only" };
        const std::unique_ptr<DirectoryCursor> ahead = setup.make();
        QCOMPARE(walkEvents(*ahead, m_root), expected);
        QCOMPARE(setup.statistics->direct,
            std::size_t(1 + 2 + 3)); // root, both "locked", worker-only/p/q
        QCOMPARE(setup.statistics->restarts, std::size_t(0));
        QCOMPARE(setup.statistics->prefetched, std::size_t(6)); // a, a/b, m, m/r, s, s/t
    }
}

void TestReadAheadWalk::poolStartsFromTheWalksRootListing()
{
    QStringList paths;
    for (int i = 0; i < 200; ++i)
        paths << QStringLiteral("t%1/u").arg(i);
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), paths));
    const std::unique_ptr<DirectoryCursor> plain = makeSystemDirectoryCursor();
    const QStringList expected = walkEvents(*plain, m_root);

    for (unsigned threads : { 1u, 2u, 4u }) {
        ReadAheadSetup setup;
        setup.threads = threads;
        // The pool's threads would list the root in another order: the pool
        // starts from the walk's own listing of it instead, and never loses the walk.
        setup.reversedForWorker = m_root;
        const std::unique_ptr<DirectoryCursor> ahead = setup.make();
        QCOMPARE(walkEvents(*ahead, m_root), expected);
        QCOMPARE(setup.statistics->restarts, std::size_t(0));
        QCOMPARE(setup.statistics->direct, std::size_t(1));
    }
}

void TestReadAheadWalk::listingsMadeBeforeAPauseAreMadeAgain()
{
    // The walk stands still after its first folders; the pool has listed the
    // whole tree by then. The tree changes, and the walk goes on after a pause
    // longer than the limit: it sees the tree as the plain walk sees it then.
    const auto makeTree = [](const QByteArray& root) {
        QStringList paths;
        for (int i = 0; i < 30; ++i)
            paths << QStringLiteral("t%1/u").arg(i, 2, 10, QLatin1Char('0'));
        return test::makeFolders(QFile::decodeName(root), paths);
    };
    const auto change = [](const QByteArray& root) {
        QVERIFY(QDir().mkpath(QFile::decodeName(root + "/t25/new")));
        QVERIFY(QDir().rmdir(QFile::decodeName(root + "/t20/u")));
        QVERIFY(QDir().rename(
            QFile::decodeName(root + "/t22/u"), QFile::decodeName(root + "/t22/renamed")));
    };
    constexpr int kPauseAt = 3;
    const QByteArray plainRoot = m_root + "/plain";
    QVERIFY(makeTree(plainRoot));
    const std::unique_ptr<DirectoryCursor> plain = makeSystemDirectoryCursor();
    const QStringList expected = walkEvents(*plain, plainRoot, -1, [&](int step) {
        if (step == kPauseAt)
            change(plainRoot);
    });
    QVERIFY(expected.contains(QStringLiteral("/t25/u:")));
    QVERIFY(expected.contains(QStringLiteral("/t25/new:")));

    for (unsigned threads : { 1u, 2u }) {
        const QByteArray root = m_root + "/ahead-" + QByteArray::number(threads);
        QVERIFY(makeTree(root));
        auto time = std::make_shared<std::atomic<std::int64_t>>(0);
        ReadAheadSetup setup;
        setup.threads = threads;
        setup.clock = [time] {
            return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(time->load()));
        };
        const std::unique_ptr<DirectoryCursor> ahead = setup.make();
        const QStringList events = walkEvents(*ahead, root, -1, [&](int step) {
            if (step != kPauseAt)
                return;
            QTRY_VERIFY(*setup.workerPace.listed >= 60);
            change(root);
            *time += std::chrono::nanoseconds(setup.limits.staleAfter).count() + 1;
        });
        QCOMPARE(events, expected);
        QCOMPARE(setup.statistics->restarts, std::size_t(1));
    }
}

void TestReadAheadWalk::destroyedMidWalkLeavesNothingOpen()
{
    makeMixedTree(600, 11);
    for (int stopAfter : { 1, 5, 50, 400 }) {
        for (unsigned threads : { 1u, 2u, 4u }) {
            ReadAheadSetup setup;
            setup.threads = threads;
            setup.limits.listings = stopAfter == 400 ? 2048 : 4;
            const std::unique_ptr<DirectoryCursor> ahead = setup.make();
            const std::unique_ptr<DirectoryCursor> plain = makeSystemDirectoryCursor();
            QCOMPARE(walkEvents(*ahead, m_root, stopAfter), walkEvents(*plain, m_root, stopAfter));
            QVERIFY(entriesIn("/proc/self/task") > m_threadsBefore);
        }
    }
    // cleanup() counts the threads and descriptors left.
}

void TestReadAheadWalk::sameWalkWithFewDescriptors_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("mostThreads");
    for (const int limit : { 16, 24, 32, 64 })
        for (const int threads : { 16, 64 })
            QTest::addRow("%d open files, up to %d threads", limit, threads) << limit << threads;
}

void TestReadAheadWalk::sameWalkWithFewDescriptors()
{
    // A wide folder listed slowly, so that the pool grows and its threads, held back by a
    // narrow window ahead of the walk, wait with their folders open: the walk still lists
    // every folder, and none fails for want of a descriptor of the walk's own.
    QFETCH(int, limit);
    QFETCH(int, mostThreads);
    const QByteArray root = wideTree();
    QVERIFY(!root.isEmpty());
    const QStringList expected = [&] {
        const std::unique_ptr<DirectoryCursor> plain = makeSystemDirectoryCursor();
        return walkEvents(*plain, root);
    }();
    ReadAheadSetup setup;
    setup.threads = 2;
    setup.mostThreads = unsigned(mostThreads);
    setup.limits.listings = 64;
    setup.workerPace.delay = std::chrono::microseconds(500);
    const std::unique_ptr<DirectoryCursor> ahead = setup.make();
    const DescriptorLimit lowered { rlim_t(limit) };
    QVERIFY(lowered.active());
    QCOMPARE(walkEvents(*ahead, root), expected);
}

QTEST_GUILESS_MAIN(TestReadAheadWalk)
#include "tst_ReadAheadWalk.moc"
