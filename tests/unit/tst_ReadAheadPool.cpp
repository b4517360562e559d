// SPDX-License-Identifier: MIT
// The read-ahead's pool of threads: how its threads share the work, how many
// it starts, and how far ahead of a walk that stands still they read.
#include "platform/walk/readahead/ReadAheadCursor.h"
#include "platform/walk/readahead/WorkSharing.h"
#include "support/FolderTreeFixture.h"
#include "support/ReadAheadDoubles.h"
#include "support/ReadAheadScratch.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

using namespace vantorel;
using namespace vantorel::dirwalk;
using namespace vantorel::test;

class TestReadAheadPool : public QObject, private ReadAheadScratch
{
    Q_OBJECT

private slots:
    void init() { begin(); }
    void cleanup() { finish(); }

    void threadsShareTheWorkInPreOrder_data();
    void threadsShareTheWorkInPreOrder();
    void poolGrowsWhileListingsWait_data();
    void poolGrowsWhileListingsWait();
    void pausedWalkBoundsWhatIsReadAhead();
    void idleThreadsAreFedAtOnceInPreOrder();
    void aFolderCutFinelyKeepsOneListingAndAShortList();
};

void TestReadAheadPool::threadsShareTheWorkInPreOrder_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("threads");
    for (const char* shape : { "mixed", "chains" })
        for (int threads : { 2, 4, 16 })
            QTest::addRow("%s, %d threads", shape, threads)
                << QString::fromLatin1(shape) << threads;
}

void TestReadAheadPool::threadsShareTheWorkInPreOrder()
{
    // Slow pool threads, so that each runs out of work while the others still
    // have some and is given part of theirs, at every depth. The slowness
    // stays a wait, not a gate: a thread gives work away only between its own
    // listings, so holding one until another lists would wait forever. Without
    // it, one thread listed a tree of chains whole before the others had asked
    // for work in 2 runs of 90.
    QFETCH(QString, shape);
    QFETCH(int, threads);
    if (shape == "mixed") {
        makeMixedTree(600, 5);
    } else {
        QStringList paths;
        for (int top = 0; top < 6; ++top)
            for (int leaf = 0; leaf < 12; ++leaf)
                paths << QStringLiteral("t%1/a/b/c%2/d/e%2").arg(top).arg(leaf % 4)
                        + QStringLiteral("/f%1").arg(leaf);
        QVERIFY(test::makeFolders(QFile::decodeName(m_root), paths));
    }
    const std::unique_ptr<DirectoryCursor> plain = makeSystemDirectoryCursor();
    const QStringList expected = walkEvents(*plain, m_root);

    ReadAheadSetup setup;
    setup.threads = unsigned(threads);
    setup.workerPace.delay = std::chrono::microseconds(300);
    std::unique_ptr<DirectoryCursor> ahead = setup.make();
    QCOMPARE(walkEvents(*ahead, m_root), expected);
    ahead.reset(); // the pool's figures are counted when it stops
    QVERIFY(setup.statistics->piecesGivenAway > 0);
    QCOMPARE(setup.statistics->direct, std::size_t(1));
    QCOMPARE(setup.statistics->prefetched, std::size_t(expected.size()));
    // Each folder is opened to be listed once, the root included; starting a piece opens
    // only the root, once, without listing it, and what lies deeper than a thread keeps open.
    QCOMPARE(setup.opens->listings.load(), int(expected.size()) + 1);
    QVERIFY2(setup.opens->passedThrough.load() <= 1 + int(expected.size()) / 50,
        qPrintable(QString::number(setup.opens->passedThrough)));
}

void TestReadAheadPool::poolGrowsWhileListingsWait_data()
{
    QTest::addColumn<int>("listings");
    QTest::addColumn<int>("threads");
    QTest::addRow("wide window, one thread") << 2048 << 1;
    QTest::addRow("wide window, two threads") << 2048 << 2;
    QTest::addRow("eight listings ahead, two threads") << 8 << 2;
    QTest::addRow("one listing ahead, one thread") << 1 << 1;
}

void TestReadAheadPool::poolGrowsWhileListingsWait()
{
    // Each listing of the pool's threads waits 3 ms with the processor idle,
    // as on a cold disk or a network share: more threads are started and list,
    // and the walk still sees exactly what the plain walk sees. The wait stays
    // a wait: the pool grows only on the time its listings took, weighed once
    // they are done, so nothing could open a gate for it. It is many times a
    // listing's own processor time however slow the machine, which a fixed
    // 1 ms under AddressSanitizer on a busy machine was not.
    QFETCH(int, listings);
    QFETCH(int, threads);
    makeMixedTree(500, 13);
    const std::unique_ptr<DirectoryCursor> plain = makeSystemDirectoryCursor();
    const QStringList expected = walkEvents(*plain, m_root);

    ReadAheadSetup setup;
    setup.threads = unsigned(threads);
    setup.mostThreads = 16;
    setup.limits.listings = std::size_t(listings);
    setup.workerPace.delay = std::chrono::milliseconds(3);
    std::unique_ptr<DirectoryCursor> ahead = setup.make();
    QCOMPARE(walkEvents(*ahead, m_root), expected);
    ahead.reset(); // the pool's figures are counted when it stops
    QVERIFY2(setup.statistics->mostThreads > std::size_t(threads),
        qPrintable(QString::number(setup.statistics->mostThreads)));
    QVERIFY2(setup.workerPace.listers->count() > threads,
        qPrintable(QString::number(setup.workerPace.listers->count())));
    QVERIFY(setup.statistics->mostThreads <= 16);
    QCOMPARE(setup.statistics->direct, std::size_t(1));
    QCOMPARE(setup.statistics->restarts, std::size_t(0));
}

void TestReadAheadPool::pausedWalkBoundsWhatIsReadAhead()
{
    makeMixedTree(1500, 9);
    const std::size_t limit = 40;
    struct Pool {
        unsigned threads;
        unsigned mostThreads;
        /// Milliseconds each listing takes: a share, for the pool to grow on. Long enough that
        /// a thread weighs its pace after a few listings, within the room a paused walk leaves.
        int delay;
    };
    for (const Pool pool :
        { Pool { 1, 0, 0 }, Pool { 2, 0, 0 }, Pool { 4, 0, 0 }, Pool { 8, 0, 0 }, Pool { 8, 0, 0 },
            Pool { 16, 0, 0 }, Pool { 32, 0, 0 }, Pool { 64, 0, 0 }, Pool { 2, 64, 10 } }) {
        const unsigned threads = pool.mostThreads > 0 ? pool.mostThreads : pool.threads;
        ReadAheadSetup setup;
        setup.threads = pool.threads;
        setup.mostThreads = pool.mostThreads;
        setup.workerPace.delay = std::chrono::milliseconds(pool.delay);
        setup.limits.listings = limit;
        const std::unique_ptr<DirectoryCursor> ahead = setup.make();
        SubfolderList root;
        SubfolderList first;
        std::string error;
        QVERIFY(ahead->openRoot(m_root.toStdString(), root, error));
        std::size_t index = 0;
        while (root.kind(index) != FolderKind::Folder)
            ++index;
        QVERIFY(ahead->enter(root.name(index), first, error));
        // The walk stops here for a while, as it does behind a message box, and
        // the threads fill the room they have: the thread that makes the next
        // listings up to the limit with all before them, the others up to twice
        // the limit in all, and the batch the walk took was made within the
        // limit: four times the limit at most, however many threads.
        const auto figures = [&] {
            return QStringLiteral("up to %1 threads: %2 listed")
                .arg(threads)
                .arg(setup.workerPace.listed->load());
        };
        QTRY_VERIFY2_WITH_TIMEOUT(
            *setup.workerPace.listed >= int(limit), qPrintable(figures()), 20000);
        // Where the pool may grow, the bound holds for the threads it grows by.
        if (pool.mostThreads > pool.threads)
            QTRY_VERIFY2_WITH_TIMEOUT(setup.workerPace.listers->count() > int(pool.threads),
                qPrintable(figures()), 20000);
        auto settled = [listed = setup.workerPace.listed, last = -1]() mutable {
            return std::exchange(last, listed->load()) == last;
        };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 20000);
        QVERIFY2(*setup.workerPace.listed <= int(4 * limit), qPrintable(figures()));
        // However long the pause: a wait, as nothing is to happen in it.
        QTest::qWait(200);
        QVERIFY2(*setup.workerPace.listed <= int(4 * limit), qPrintable(figures()));
    }
}

namespace
{

/// Threads waiting for work on `sharing`, woken and joined however a test ends.
struct IdleThreads {
    readahead::WorkSharing& sharing;
    std::mutex& mutex;
    std::vector<std::thread> threads;
    bool done = false;

    void start(int count)
    {
        for (int i = 0; i < count; ++i)
            threads.emplace_back([this] {
                std::unique_lock lock(mutex);
                if (!done)
                    sharing.waitForWork(lock);
            });
    }
    std::size_t waiting()
    {
        const std::lock_guard lock(mutex);
        return sharing.idleThreads();
    }
    ~IdleThreads()
    {
        {
            const std::lock_guard lock(mutex);
            done = true;
            sharing.wakeAll();
        }
        for (std::thread& thread : threads)
            thread.join();
    }
};

std::shared_ptr<const SubfolderList> listingOf(std::initializer_list<const char*> names)
{
    auto folders = std::make_shared<SubfolderList>();
    for (const char* name : names)
        folders->add(name, FolderKind::Folder);
    return folders;
}

/// The folders `worker` has still to list in its frames, deepest first, then
/// those of the pieces after its own, in the list's order.
QStringList workLeft(const readahead::Worker& worker, const readahead::WorkSharing& sharing)
{
    const auto pathOf = [](const std::string& parent, std::string_view name) {
        return QString::fromStdString(parent + '/' + std::string(name));
    };
    QStringList work;
    for (std::size_t depth = worker.depth; depth-- > 0;) {
        const readahead::Worker::Frame& frame = worker.frames[depth];
        for (std::size_t i = frame.next; i < frame.end; ++i)
            work << pathOf(worker.path.substr(0, frame.pathLength), frame.subfolders->name(i));
    }
    for (auto piece = std::next(worker.current); piece != sharing.pieces().end(); ++piece)
        for (std::size_t i = piece->from; i < piece->end; ++i)
            work << pathOf(piece->parentPath, piece->listing->name(i));
    return work;
}

} // namespace

// The interleaving this test pins down, one step at a time, each under the pool's lock:
//
//   pool thread                   idle threads 1..3              pieces (list order)
//   ----------------------------  -----------------------------  ---------------------------
//   takes piece P of /p, is in    .                              P running
//   /p/a, b..h left there
//   and y, z in /p/a
//   .                             each: waitForWork()            P running
//   .                             idle 3 > unstarted 0: hungry
//   feedIdle(): the last half of  .                              P, [e-h]
//   its shallowest work, put      .                              P, [c-d], [e-h]
//   right after P, three times    .                              P, [b], [c-d], [e-h]
//   keeps y, z in /p/a            woken: each may take a piece   not hungry
//
// Read in list order, the pool thread's frames (deepest first) and the pieces are the rest of
// its work in pre-order: a walk that takes pieces in that order lists nothing twice and
// nothing out of turn, however the threads run after this point.
void TestReadAheadPool::idleThreadsAreFedAtOnceInPreOrder()
{
    // A thread two folders deep, with "b".."h" left in its piece's parent and
    // "y", "z" in the folder it is in, while three threads wait for work: one
    // call gives each of them a piece, and what the thread keeps followed by
    // the pieces, in the list's order, is the rest of its work in pre-order.
    using namespace readahead;
    const ListingBudget budget { ReadAheadLimits {} };
    WorkSharing sharing(budget);
    std::mutex mutex;
    Worker worker;
    worker.frames.resize(2);
    worker.path = "/p/a";
    worker.depth = 2;
    worker.frames[0]
        = { 1, 2, listingOf({ "a", "b", "c", "d", "e", "f", "g", "h" }), 1, 8, {}, {} };
    worker.frames[1] = { 2, 4, listingOf({ "x", "y", "z" }), 1, 3, {}, {} };
    PieceList first(1);
    sharing.addPieces(first);
    worker.current = sharing.take(worker);
    QVERIFY(worker.current == sharing.pieces().begin());

    IdleThreads idle { sharing, mutex, {} };
    idle.start(3);
    QTRY_COMPARE(idle.waiting(), std::size_t(3));
    QVERIFY(sharing.hungry());
    const std::lock_guard lock(mutex);
    QVERIFY(sharing.feedIdle(worker));
    QVERIFY(!sharing.hungry());
    QCOMPARE(std::count_if(sharing.pieces().begin(), sharing.pieces().end(),
                 [](const Piece& piece) { return piece.state == Piece::State::Unstarted; }),
        3);
    QCOMPARE(workLeft(worker, sharing),
        QStringList(
            { "/p/a/y", "/p/a/z", "/p/b", "/p/c", "/p/d", "/p/e", "/p/f", "/p/g", "/p/h" }));
}

void TestReadAheadPool::aFolderCutFinelyKeepsOneListingAndAShortList()
{
    // A thread in a folder of 100,000 subfolders gives half of what is left of it away, 16
    // times, and another thread takes and finishes each half: every part refers to the one
    // listing of the folder, and the parts finished one after another become one piece, so
    // the list, which the threads count through under the lock, stays as short as the work
    // still to be made.
    using namespace readahead;
    const ListingBudget budget { ReadAheadLimits {} };
    WorkSharing sharing(budget);
    auto large = std::make_shared<SubfolderList>();
    for (int i = 0; i < 100000; ++i)
        large->add("folder-" + std::to_string(i), FolderKind::Folder);
    Worker worker;
    worker.frames.resize(1);
    worker.frames[0] = { 0, 0, large, 0, large->size(), {}, {} };
    worker.depth = 1;
    PieceList first(1);
    sharing.addPieces(first);
    worker.current = sharing.take(worker);

    Worker other;
    for (int part = 0; part < 16; ++part) {
        QVERIFY(sharing.answerRequest(worker, true));
        const PieceRef taken = sharing.take(other);
        QVERIFY(taken != sharing.pieces().end());
        QCOMPARE(taken->listing.get(), large.get());
        QVERIFY(taken->from < taken->end);
        QCOMPARE(taken->end, part == 0 ? large->size() : std::next(taken)->from);
        sharing.finish(taken);
    }
    QCOMPARE(sharing.pieces().size(), std::size_t(2));
    QCOMPARE(sharing.running(), std::size_t(1));
}

QTEST_GUILESS_MAIN(TestReadAheadPool)
#include "tst_ReadAheadPool.moc"
