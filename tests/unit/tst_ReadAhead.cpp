// SPDX-License-Identifier: MIT
// The read-ahead cursor against the plain one: the same folders, listings and
// failures in the same order, and nothing left open afterwards.
#include "platform/qt/files/SystemFolderService.h"
#include "platform/walk/readahead/Pacing.h"
#include "platform/walk/readahead/ReadAheadCursor.h"
#include "search/FolderSearchEngine.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"
#include "support/FolderTreeFixture.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

using namespace vantorel;
using namespace vantorel::dirwalk;
using vantorel::test::FakeListControl;
using vantorel::test::FakeOption;
using vantorel::test::ScriptedEventPump;

namespace
{

int entriesIn(const char* folder)
{
    return int(QDir(QString::fromLatin1(folder))
                   .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                   .size());
}

/// How a pool thread's cursor is slowed down and watched.
struct WorkerPace {
    std::chrono::microseconds delay { 0 }; ///< before each subfolder is listed
    std::shared_ptr<std::atomic<int>> listed = std::make_shared<std::atomic<int>>(0);
};

/// What all the cursors of a walk opened: folders to list them, and folders
/// only passed through on the way to one.
struct OpenCounts {
    std::atomic<int> listings { 0 };
    std::atomic<int> passedThrough { 0 };
};

/// The system's cursor, refusing to list the folders named in `failing`, and
/// giving the subfolders of the folder at `reversed` in reverse order.
class AlteredCursor : public DirectoryCursor
{
public:
    AlteredCursor(QSet<QByteArray> failing, QByteArray reversed, WorkerPace pace = {},
        std::shared_ptr<OpenCounts> opens = std::make_shared<OpenCounts>())
        : m_failing(std::move(failing))
        , m_reversed(std::move(reversed))
        , m_pace(std::move(pace))
        , m_opens(std::move(opens))
        , m_system(makeSystemDirectoryCursor())
    {
    }
    bool openRoot(std::string_view path, SubfolderList& out, std::string& error) override
    {
        ++m_opens->listings;
        const std::size_t slash = path.rfind('/');
        if (refuses(slash == std::string_view::npos ? path : path.substr(slash + 1), out, error)
            || !m_system->openRoot(path, out, error))
            return false;
        reverseAt(path, out);
        return true;
    }
    bool enter(std::string_view name, SubfolderList& out, std::string& error) override
    {
        if (m_pace.delay.count() > 0)
            std::this_thread::sleep_for(m_pace.delay);
        ++*m_pace.listed;
        ++m_opens->listings;
        return !refuses(name, out, error) && m_system->enter(name, out, error);
    }
    void leave() override { m_system->leave(); }
    bool openToEnter(std::string_view root, std::string_view below, std::string& error) override
    {
        m_opens->passedThrough += 1 + foldersIn(below);
        return m_system->openToEnter(root, below, error);
    }
    std::shared_ptr<const HeldFolder> hold(std::size_t level) override
    {
        return m_system->hold(level);
    }
    bool openToEnterFrom(const HeldFolder& held, std::size_t heldLength, std::string_view root,
        std::string_view below, std::string& error) override
    {
        m_opens->passedThrough += foldersIn(below.substr(heldLength));
        return m_system->openToEnterFrom(held, heldLength, root, below, error);
    }

private:
    static int foldersIn(std::string_view path)
    {
        const auto names = QByteArray(path.data(), qsizetype(path.size())).split('/');
        return int(std::count_if(
            names.begin(), names.end(), [](const QByteArray& name) { return !name.isEmpty(); }));
    }
    void reverseAt(std::string_view where, SubfolderList& out) const
    {
        if (m_reversed != QByteArray(where.data(), qsizetype(where.size())))
            return;
        SubfolderList reversed;
        for (std::size_t i = out.size(); i-- > 0;)
            reversed.add(out.name(i), out.kind(i));
        out = reversed;
    }

    bool refuses(std::string_view name, SubfolderList& out, std::string& error) const
    {
        if (!m_failing.contains(QByteArray(name.data(), qsizetype(name.size()))))
            return false;
        out.clear();
        error = "Permission denied";
        return true;
    }

    QSet<QByteArray> m_failing;
    QByteArray m_reversed;
    WorkerPace m_pace;
    std::shared_ptr<OpenCounts> m_opens;
    std::unique_ptr<DirectoryCursor> m_system;
};

/// Makes read-ahead cursors with the given limits and threads, and cursors for
/// them that may differ between the walk's thread (the first made) and the pool's.
struct ReadAheadSetup {
    ReadAheadLimits limits;
    QSet<QByteArray> failingForBoth;
    QSet<QByteArray> failingForWorker;
    QByteArray reversedForWorker;
    unsigned threads = 2;
    unsigned mostThreads = 0; ///< more threads while listings wait; 0: never more
    WorkerPace workerPace;
    std::shared_ptr<ReadAheadStatistics> statistics = std::make_shared<ReadAheadStatistics>();
    std::shared_ptr<OpenCounts> opens = std::make_shared<OpenCounts>();
    ReadAheadCursor::Clock clock;

    std::unique_ptr<DirectoryCursor> make() const
    {
        auto made = std::make_shared<int>(0);
        const ReadAheadSetup setup = *this;
        auto cursor = std::make_unique<ReadAheadCursor>(
            [setup, made]() -> std::unique_ptr<DirectoryCursor> {
                const bool worker = (*made)++ > 0;
                if (!worker)
                    return std::make_unique<AlteredCursor>(
                        setup.failingForBoth, QByteArray(), WorkerPace {}, setup.opens);
                return std::make_unique<AlteredCursor>(
                    setup.failingForBoth + setup.failingForWorker, setup.reversedForWorker,
                    setup.workerPace, setup.opens);
            },
            limits, statistics, threads, mostThreads);
        if (clock)
            cursor->setClock(clock);
        return cursor;
    }
};

/// Every event of a whole walk with `cursor`: each folder entered with its
/// subfolders, each link, each failure; pre-order, as the search walks.
QStringList walkEvents(DirectoryCursor& cursor, const QByteArray& root, int stopAfter = -1,
    const std::function<void(int step)>& beforeStep = {})
{
    QStringList events;
    struct Level {
        SubfolderList subfolders;
        std::size_t next = 0;
        QByteArray path;
    };
    std::vector<Level> levels(1);
    std::string error;
    if (!cursor.openRoot(root.toStdString(), levels[0].subfolders, error))
        return { "root failed: " + QString::fromStdString(error) };
    for (int step = 0; !levels.empty() && stopAfter-- != 0; ++step) {
        if (beforeStep)
            beforeStep(step);
        Level& level = levels.back();
        if (level.next == level.subfolders.size()) {
            levels.pop_back();
            if (!levels.empty())
                cursor.leave();
            continue;
        }
        const std::size_t index = level.next++;
        const std::string_view name = level.subfolders.name(index);
        const QByteArray path = level.path + '/' + QByteArray(name.data(), qsizetype(name.size()));
        if (level.subfolders.kind(index) == FolderKind::Link) {
            events << "link " + QString::fromUtf8(path);
            continue;
        }
        Level child;
        child.path = path;
        if (!cursor.enter(name, child.subfolders, error)) {
            events << QString::fromUtf8(path) + " failed: " + QString::fromStdString(error);
            continue;
        }
        QString event = QString::fromUtf8(path) + ":";
        for (std::size_t i = 0; i < child.subfolders.size(); ++i)
            event += ' '
                + QString::fromUtf8(
                    child.subfolders.name(i).data(), qsizetype(child.subfolders.name(i).size()));
        events << event;
        levels.push_back(std::move(child));
    }
    return events;
}

/// A folder service whose cursors read ahead as `setup` says.
class ReadAheadFolderService : public FolderService
{
public:
    explicit ReadAheadFolderService(const ReadAheadSetup& setup)
        : m_setup(setup)
    {
    }
    Folder getFolder(const QString& path) override { return m_system.getFolder(path); }
    std::unique_ptr<DirectoryCursor> cursor() override { return m_setup.make(); }

private:
    const ReadAheadSetup& m_setup;
    SystemFolderService m_system;
};

class PlainFolderService : public FolderService
{
public:
    Folder getFolder(const QString& path) override { return m_system.getFolder(path); }
    std::unique_ptr<DirectoryCursor> cursor() override { return makeSystemDirectoryCursor(); }

private:
    SystemFolderService m_system;
};

/// A clock and a processor-usage source for the pacing, moved on by hand.
struct FakeMachine {
    using Pacing = readahead::Pacing;
    std::chrono::steady_clock::time_point now {};
    readahead::ThreadUsage usage;

    Pacing pacing(std::size_t fewest, std::size_t most)
    {
        return Pacing(
            fewest, most, [this] { return now; }, [this] { return usage; });
    }
    /// `count` listings, each taking `took`, `processor` of it on the processor,
    /// reading `blocks` from the disk: the steps the pacing asks for, applied
    /// as the pool applies them.
    QList<Pacing::Step> list(Pacing& pacing, readahead::PaceMeter& meter, int took, int processor,
        long blocks, std::size_t count = Pacing::kRunListings)
    {
        QList<Pacing::Step> steps;
        for (std::size_t i = 0; i < count; ++i) {
            now += std::chrono::microseconds(took);
            usage.time += std::chrono::microseconds(processor);
            usage.blocksRead += blocks;
            const Pacing::Step step = pacing.count(meter);
            if (step == Pacing::Step::Grow)
                pacing.grow();
            if (step == Pacing::Step::StepBack)
                pacing.stepBack();
            if (step != Pacing::Step::Keep)
                steps << step;
        }
        return steps;
    }
};

} // namespace

class TestReadAhead : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_root;
    int m_case = 0;
    int m_threadsBefore = 0;
    int m_descriptorsBefore = 0;

    void makeMixedTree(int folders, int seed);
    /// Rows and unlisted folders of a search with `service`, the pump acting as told.
    QStringList search(FolderService& service,
        const std::function<void(int, FakeListControl&, SearchState&, FakeOption&)>& onPump = {},
        int slowRows = 0, QByteArray root = {});

private slots:
    void init();
    void cleanup();

    void sameWalkAsThePlainCursor_data();
    void sameWalkAsThePlainCursor();
    void failuresOfBothAndOfTheWorkerAlone();
    void poolStartsFromTheWalksRootListing();
    void threadsShareTheWorkInPreOrder_data();
    void threadsShareTheWorkInPreOrder();
    void settingsFromTheEnvironment();
    void poolGrowsWhileListingsWait_data();
    void poolGrowsWhileListingsWait();
    void pacingWeighsEachRunOfListings_data();
    void pacingWeighsEachRunOfListings();
    void pacingWeighsOnlyTheTimeListing();
    void pausedWalkBoundsWhatIsReadAhead();
    void folderRemovedAheadOfTheWorker();
    void listingsMadeBeforeAPauseAreMadeAgain();
    void stopAndNestedCommandsInTheSearch();
    void destroyedMidWalkLeavesNothingOpen();
};

void TestReadAhead::init()
{
    QVERIFY(m_dir.isValid());
    m_root = QFile::encodeName(m_dir.path()) + "/case-" + QByteArray::number(++m_case);
    QVERIFY(QDir().mkpath(QFile::decodeName(m_root)));
    m_threadsBefore = entriesIn("/proc/self/task");
    m_descriptorsBefore = entriesIn("/proc/self/fd");
}

void TestReadAhead::cleanup()
{
    // A joined thread may linger in /proc for a moment after it has ended.
    QTRY_COMPARE(entriesIn("/proc/self/task"), m_threadsBefore);
    QCOMPARE(entriesIn("/proc/self/fd"), m_descriptorsBefore);
    QVERIFY(test::removeTree(QFile::decodeName(m_root)));
}

void TestReadAhead::makeMixedTree(int folders, int seed)
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
    QVERIFY(test::makeFolders(QFile::decodeName(m_root), paths));
}

void TestReadAhead::sameWalkAsThePlainCursor_data()
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

void TestReadAhead::sameWalkAsThePlainCursor()
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

void TestReadAhead::failuresOfBothAndOfTheWorkerAlone()
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

void TestReadAhead::poolStartsFromTheWalksRootListing()
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

void TestReadAhead::threadsShareTheWorkInPreOrder_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("threads");
    for (const char* shape : { "mixed", "chains" })
        for (int threads : { 2, 4, 16 })
            QTest::addRow("%s, %d threads", shape, threads)
                << QString::fromLatin1(shape) << threads;
}

void TestReadAhead::threadsShareTheWorkInPreOrder()
{
    // Slow pool threads, so that each runs out of work while the others still
    // have some and is given part of theirs, at every depth.
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

void TestReadAhead::settingsFromTheEnvironment()
{
    // Chosen by default, the pool may grow on a slow disk; a count that is set is kept.
    const ReadAheadSettings chosen = readAheadSettings("1", nullptr);
    QVERIFY(chosen.threads >= 1 && chosen.threads <= 4);
    QCOMPARE(chosen.mostThreads, kMostReadAheadThreads);
    const ReadAheadSettings set = readAheadSettings("1", "3");
    QCOMPARE(set.threads, 3u);
    QCOMPARE(set.mostThreads, 3u);
    QCOMPARE(readAheadSettings("1", "65").mostThreads, kMostReadAheadThreads);
    QCOMPARE(readAheadSettings("0", "3").threads, 0u);
}

void TestReadAhead::poolGrowsWhileListingsWait_data()
{
    QTest::addColumn<int>("listings");
    QTest::addColumn<int>("threads");
    QTest::addRow("wide window, one thread") << 2048 << 1;
    QTest::addRow("wide window, two threads") << 2048 << 2;
    QTest::addRow("eight listings ahead, two threads") << 8 << 2;
    QTest::addRow("one listing ahead, one thread") << 1 << 1;
}

void TestReadAhead::poolGrowsWhileListingsWait()
{
    // Each listing of the pool's threads waits 3 ms with the processor idle,
    // as on a cold disk or a network share: more threads are started, and the
    // walk still sees exactly what the plain walk sees. A wait of 1 ms was
    // within reach of a listing's own processor time under AddressSanitizer on
    // a busy machine, and the pool rightly did not grow then.
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
    QVERIFY(setup.statistics->mostThreads <= 16);
    QCOMPARE(setup.statistics->direct, std::size_t(1));
    QCOMPARE(setup.statistics->restarts, std::size_t(0));
}

void TestReadAhead::pacingWeighsEachRunOfListings_data()
{
    // Microseconds per listing; a pool of 2 to 8 threads, `wanted` of them wanted.
    QTest::addColumn<int>("took");
    QTest::addColumn<int>("processor");
    QTest::addColumn<int>("blocks");
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("wantedAfter");
    using Step = readahead::Pacing::Step;
    QTest::addRow("waiting, the processor idle: all the threads")
        << 1000 << 10 << 0 << 2 << int(Step::Grow) << 8;
    QTest::addRow("waiting, at the most: as many") << 1000 << 10 << 0 << 8 << int(Step::Keep) << 8;
    QTest::addRow("reading the disk, over twice the processor time: twice the threads")
        << 30 << 10 << 1 << 2 << int(Step::Grow) << 4;
    QTest::addRow("the processor the limit: one fewer")
        << 12 << 10 << 0 << 4 << int(Step::StepBack) << 3;
    QTest::addRow("the processor the limit, at the fewest: as many")
        << 12 << 10 << 0 << 2 << int(Step::Keep) << 2;
    QTest::addRow("reading the disk, not slow: as many")
        << 15 << 10 << 1 << 4 << int(Step::Keep) << 4;
    QTest::addRow("waiting, but under half a millisecond: one fewer")
        << 400 << 10 << 0 << 4 << int(Step::StepBack) << 3;
    QTest::addRow("no processor time told: as many") << 1000 << 0 << 0 << 2 << int(Step::Keep) << 2;
}

void TestReadAhead::pacingWeighsEachRunOfListings()
{
    QFETCH(int, took);
    QFETCH(int, processor);
    QFETCH(int, blocks);
    QFETCH(int, wanted);
    QFETCH(int, step);
    QFETCH(int, wantedAfter);
    FakeMachine machine;
    readahead::Pacing pacing = machine.pacing(2, 8);
    while (pacing.wanted() < std::size_t(wanted))
        pacing.grow();
    QCOMPARE(pacing.wanted(), std::size_t(wanted));
    readahead::PaceMeter meter;
    pacing.resume(meter);
    // A decision at the end of each run of listings, none before.
    const QList<readahead::Pacing::Step> steps
        = machine.list(pacing, meter, took, processor, blocks);
    QCOMPARE(steps.size(), step == int(readahead::Pacing::Step::Keep) ? 0 : 1);
    if (!steps.isEmpty())
        QCOMPARE(int(steps.first()), step);
    QCOMPARE(pacing.wanted(), std::size_t(wantedAfter));
}

void TestReadAhead::pacingWeighsOnlyTheTimeListing()
{
    using Step = readahead::Pacing::Step;
    const std::size_t half = readahead::Pacing::kRunListings / 2;
    FakeMachine machine;
    readahead::Pacing pacing = machine.pacing(2, 8);
    pacing.grow();
    readahead::PaceMeter meter;
    pacing.resume(meter);
    // A thread that waits for room between its listings, which the processor limits.
    QVERIFY(machine.list(pacing, meter, 12, 10, 0, half).isEmpty());
    pacing.pause(meter);
    machine.now += std::chrono::seconds(1);
    pacing.resume(meter);
    QCOMPARE(machine.list(pacing, meter, 12, 10, 0, half), QList<Step> { Step::StepBack });
    QCOMPARE(pacing.wanted(), std::size_t(3));
    // Listings that wait 5 ms each on a share: all the threads after a few of them.
    readahead::Pacing share = machine.pacing(2, 64);
    readahead::PaceMeter shareMeter;
    share.resume(shareMeter);
    QCOMPARE(machine.list(share, shareMeter, 5000, 10, 0, 10), QList<Step> { Step::Grow });
    QCOMPARE(share.wanted(), std::size_t(64));
    // A pool of a fixed size weighs nothing.
    readahead::Pacing fixed = machine.pacing(3, 3);
    readahead::PaceMeter fixedMeter;
    fixed.resume(fixedMeter);
    QVERIFY(machine.list(fixed, fixedMeter, 1000, 10, 0).isEmpty());
    QCOMPARE(fixed.wanted(), std::size_t(3));
}

void TestReadAhead::pausedWalkBoundsWhatIsReadAhead()
{
    makeMixedTree(1500, 9);
    const std::size_t limit = 40;
    struct Pool {
        unsigned threads;
        unsigned mostThreads;
        int delay; ///< milliseconds before each listing: a slow disk, for the pool to grow on
    };
    for (const Pool pool :
        { Pool { 1, 0, 0 }, Pool { 2, 0, 0 }, Pool { 4, 0, 0 }, Pool { 8, 0, 0 }, Pool { 8, 0, 0 },
            Pool { 16, 0, 0 }, Pool { 32, 0, 0 }, Pool { 64, 0, 0 }, Pool { 2, 64, 1 } }) {
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
        auto settled = [listed = setup.workerPace.listed, last = -1]() mutable {
            return std::exchange(last, listed->load()) == last;
        };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 20000);
        QVERIFY2(*setup.workerPace.listed <= int(4 * limit), qPrintable(figures()));
        // However long the pause.
        QTest::qWait(200);
        QVERIFY2(*setup.workerPace.listed <= int(4 * limit), qPrintable(figures()));
    }
}

QStringList TestReadAhead::search(FolderService& service,
    const std::function<void(int, FakeListControl&, SearchState&, FakeOption&)>& onPump,
    int slowRows, QByteArray root)
{
    SearchState state;
    FakeOption option;
    option.select();
    FakeListControl locations(QStringLiteral("Folder(s)"));
    FakeListControl results(QStringLiteral("Results"));
    ScriptedEventPump pump;
    pump.onPump = [&](int number) {
        if (onPump)
            onPump(number, results, state, option);
    };
    int appends = 0;
    results.beforeOperation = [&appends, slowRows](const char* operation) {
        // Makes the folder after each of the first rows come after a pump.
        if (qstrcmp(operation, "append") == 0 && appends++ < slowRows)
            std::this_thread::sleep_for(std::chrono::milliseconds(45));
    };
    const Folder folder = service.getFolder(QFile::decodeName(root.isEmpty() ? m_root : root));
    const SearchEngineContext context { state, option, locations, pump, service };
    const WalkReport report
        = GetSubDirectories2016(folder, QStringLiteral("alpha"), 1, results, context);
    QStringList outcome = results.rows();
    for (const UnlistedFolder& unlisted : report.unlisted)
        outcome << "unlisted " + unlisted.path + ": " + unlisted.reason;
    outcome << (report.stopped ? "stopped" : "ended");
    return outcome;
}

void TestReadAhead::folderRemovedAheadOfTheWorker()
{
    // The pump after the first row removes the last top folder in the walk's
    // order: with one listing ahead, the worker is far from it then.
    const auto check = [this](FolderService& service, const QByteArray& root) {
        QStringList paths;
        for (int i = 0; i < 40; ++i)
            paths << QStringLiteral("alpha-%1/x/alpha-in-%1").arg(i);
        QVERIFY(test::makeFolders(QFile::decodeName(root), paths));
        const QList<test::ReferenceEntry> order = test::referenceWalk(root);
        const QByteArray last = order.at(order.size() - 3).relativePath;
        QVERIFY(!last.contains('/'));
        QStringList expected;
        for (const test::ReferenceEntry& entry : order)
            if (entry.name.contains("alpha") && !entry.relativePath.startsWith(last + '/'))
                expected << QFile::decodeName(root + '/' + entry.relativePath);
        expected << "unlisted " + QFile::decodeName(root + '/' + last)
                + ": No such file or directory"
                 << "ended";
        QCOMPARE(expected.size(), 40 * 2 - 1 + 2);
        const auto removeLast
            = [&](int number, FakeListControl& results, SearchState&, FakeOption&) {
                  if (number == 2 && !results.rows().isEmpty())
                      QVERIFY(test::removeTree(QFile::decodeName(root + '/' + last)));
              };
        QCOMPARE(search(service, removeLast, 1, root), expected);
    };
    PlainFolderService plain;
    check(plain, m_root + "/plain");
    for (unsigned threads : { 1u, 2u, 4u }) {
        ReadAheadSetup setup;
        setup.limits.listings = 1;
        setup.threads = threads;
        ReadAheadFolderService ahead(setup);
        check(ahead, m_root + "/ahead-" + QByteArray::number(threads));
        QVERIFY(setup.statistics->prefetched > 70);
    }
}

void TestReadAhead::listingsMadeBeforeAPauseAreMadeAgain()
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

void TestReadAhead::stopAndNestedCommandsInTheSearch()
{
    makeMixedTree(800, 3);
    // In the pump right after the first row (the row is slow, so a pump comes
    // before the next folder): the list cleared and name-only rows chosen;
    // with `stop`, Stop pressed in the pump after the next row.
    const auto commands = [](bool stop) {
        return [stop, step = 0](
                   int, FakeListControl& results, SearchState& state, FakeOption& option) mutable {
            if (step == 1 && stop && !results.rows().isEmpty())
                state.StopRequested = SearchState::True;
            if (step == 0 && !results.rows().isEmpty()) {
                results.clear();
                option.deselect();
                step = 1;
            }
        };
    };
    PlainFolderService plain;
    const QStringList expected = search(plain, commands(false), 1);
    QCOMPARE(expected.last(), QStringLiteral("ended"));
    QVERIFY(expected.size() > 20);
    const QStringList stopped = search(plain, commands(true), 2);
    QCOMPARE(stopped, QStringList({ expected.at(0), "stopped" }));
    for (unsigned threads : { 1u, 2u, 4u }) {
        ReadAheadSetup setup;
        setup.threads = threads;
        ReadAheadFolderService ahead(setup);
        QCOMPARE(search(ahead, commands(false), 1), expected);
        QCOMPARE(search(ahead, commands(true), 2), stopped);
    }

    // Stopped before anything is entered: no folder is read but the root.
    const auto stopAtOnce = [](int, FakeListControl&, SearchState& state, FakeOption&) {
        state.StopRequested = SearchState::True;
    };
    ReadAheadSetup idle;
    ReadAheadFolderService idleService(idle);
    QCOMPARE(search(idleService, stopAtOnce), QStringList { "stopped" });
    QCOMPARE(idle.statistics->prefetched, std::size_t(0));
    QCOMPARE(idle.statistics->direct, std::size_t(1));
}

void TestReadAhead::destroyedMidWalkLeavesNothingOpen()
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

QTEST_GUILESS_MAIN(TestReadAhead)
#include "tst_ReadAhead.moc"
