// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/qt/files/SystemFolderService.h"
#include "search/FolderSearchEngine.h"
#include "support/DescriptorLimit.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"
#include "support/FolderTreeFixture.h"
#include "support/HangingFolderService.h"
#include "support/MemoryFolderService.h"
#include "support/ScriptedFolderService.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <random>
#include <thread>

using namespace vantorel;
using vantorel::test::FakeListControl;
using vantorel::test::FakeOption;
using vantorel::test::ScriptedEventPump;

class TestFolderSearchEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsMatchesDepthFirstPreOrderWithFullPaths();
    void chainInKnownOrder();
    void matchCaseComparesExactly();
    void nameOnlyRows();
    void locationItselfIsNeverTested();
    void overlappingLocationsListTwice();
    void rowsAppendAfterExistingRows();
    void optionSwitchedDuringWalk();
    void stopDuringWalk();
    void stopRequestedBeforeWalk();
    void stopWhileAListingHangs_data();
    void stopWhileAListingHangs();
    void progressHeader();
    void folderRemovedDuringWalkIsReportedAndSkipped();
    void folderTheServiceCannotListIsReportedAndSkipped();
    void locationThatCannotBeListed();
    void linksAreListedNeverEntered();
    void deepTreeUnderLowDescriptorLimit();
    void everyFolderUnderAVeryLowDescriptorLimit_data();
    void everyFolderUnderAVeryLowDescriptorLimit();
    void foldersSwappedForLinksNeverLeadOutside_data();
    void foldersSwappedForLinksNeverLeadOutside();
    void listFailurePropagates();
    void namesInUnicodeAndInRawBytes();
    void rootFolderJoinsWithoutDoubleSeparator();

private:
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

void TestFolderSearchEngine::init()
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

void TestFolderSearchEngine::cleanup()
{
    QVERIFY(test::removeTree(text(m_root)));
}

WalkReport TestFolderSearchEngine::walk(
    const QByteArray& location, const QString& phrase, qint16 mode, FolderService& service)
{
    const Folder folder = service.getFolder(text(location));
    const SearchEngineContext context { m_state, m_option, *m_locations, m_pump, service };
    return GetSubDirectories2016(folder, phrase, mode, *m_results, context);
}

QStringList TestFolderSearchEngine::expectedRows(const QByteArray& location,
    const QSet<QByteArray>& matches, const QSet<QByteArray>& skippedBelow) const
{
    QStringList rows;
    for (const test::ReferenceEntry& entry : test::referenceWalk(location)) {
        const bool skipped = std::any_of(skippedBelow.begin(), skippedBelow.end(),
            [&](const QByteArray& s) { return entry.relativePath.startsWith(s + '/'); });
        if (!skipped && matches.contains(entry.name))
            rows.append(text(location + '/' + entry.relativePath));
    }
    return rows;
}

void TestFolderSearchEngine::makeTree(const QStringList& relativePaths)
{
    QVERIFY(test::makeFolders(text(m_root), relativePaths));
}

void TestFolderSearchEngine::slowFirstAppend()
{
    auto slept = std::make_shared<bool>(false);
    m_results->beforeOperation = [slept](const char* operation) {
        if (*slept || qstrcmp(operation, "append") != 0)
            return;
        *slept = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(45));
    };
}

void TestFolderSearchEngine::listsMatchesDepthFirstPreOrderWithFullPaths()
{
    makeTree({ "alpha/alpha-old/inner", "Alpha-Project/docs", "Work/beta/ALPHA", ".hidden-alpha/x",
        "Other/x/y/alpha-deep", "Other/z", "gamma", "betaalphabet" });
    QFile file(text(m_root + "/alpha-file.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const QStringList expected = expectedRows(m_root,
        { "alpha", "alpha-old", "Alpha-Project", "ALPHA", ".hidden-alpha", "alpha-deep",
            "betaalphabet" });
    QCOMPARE(expected.size(), 7);
    const WalkReport report = walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(), expected);
    QVERIFY(report.unlisted.empty());
    QVERIFY(!report.stopped);
    // A match is listed before anything below it.
    QVERIFY(expected.indexOf(text(m_root + "/alpha"))
        < expected.indexOf(text(m_root + "/alpha/alpha-old")));
}

void TestFolderSearchEngine::chainInKnownOrder()
{
    makeTree({ "alpha/x/alpha-old/y" });
    walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(),
        QStringList({ text(m_root + "/alpha"), text(m_root + "/alpha/x/alpha-old") }));
}

void TestFolderSearchEngine::matchCaseComparesExactly()
{
    makeTree({ "alpha", "Alpha-Project", "old-ALPHA", "x/alpha-2019", "Ärger/ärger" });
    walk(m_root, QStringLiteral("alpha"), 0);
    QCOMPARE(m_results->rows(), expectedRows(m_root, { "alpha", "alpha-2019" }));
    m_results->setRows({});
    walk(m_root, QStringLiteral("ärg"), 0);
    QCOMPARE(m_results->rows(), QStringList { text(m_root + "/Ärger/ärger") });
    m_results->setRows({});
    walk(m_root, QStringLiteral("ärg"), 1);
    QCOMPARE(
        m_results->rows(), QStringList({ text(m_root + "/Ärger"), text(m_root + "/Ärger/ärger") }));
}

void TestFolderSearchEngine::nameOnlyRows()
{
    makeTree({ "Old alpha/alpha-2019", "x" });
    m_option.deselect();
    walk(m_root, QStringLiteral(" alpha"));
    QCOMPARE(m_results->rows(), QStringList { QStringLiteral("Old alpha") });
    // The row still knows where its folder is.
    QCOMPARE(m_results->fullPaths(), QStringList { text(m_root + "/Old alpha") });
}

void TestFolderSearchEngine::locationItselfIsNeverTested()
{
    makeTree({ "alpha/alpha-old" });
    walk(m_root + "/alpha", QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(), QStringList { text(m_root + "/alpha/alpha-old") });
}

void TestFolderSearchEngine::overlappingLocationsListTwice()
{
    makeTree({ "Work/Projects/alpha", "Work/alpha-notes", "alpha-top" });
    walk(m_root + "/Work", QStringLiteral("alpha"));
    walk(m_root + "/Work/Projects", QStringLiteral("alpha"));
    const QStringList expected = expectedRows(m_root + "/Work", { "alpha", "alpha-notes" })
        + QStringList { text(m_root + "/Work/Projects/alpha") };
    QCOMPARE(m_results->rows(), expected);
}

void TestFolderSearchEngine::rowsAppendAfterExistingRows()
{
    makeTree({ "alpha" });
    m_results->setRows({ QStringLiteral("earlier row") });
    walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(
        m_results->rows(), QStringList({ QStringLiteral("earlier row"), text(m_root + "/alpha") }));
}

void TestFolderSearchEngine::optionSwitchedDuringWalk()
{
    makeTree({ "alpha1/alpha2/alpha3/alpha4" });
    slowFirstAppend();
    m_pump.onPump = [this](int) {
        if (!m_results->rows().isEmpty())
            m_option.deselect();
    };
    walk(m_root, QStringLiteral("ALPHA"));
    QCOMPARE(m_results->rows(),
        QStringList({ text(m_root + "/alpha1"), QStringLiteral("alpha2"), QStringLiteral("alpha3"),
            QStringLiteral("alpha4") }));
    QCOMPARE(m_results->fullPaths(),
        QStringList({ text(m_root + "/alpha1"), text(m_root + "/alpha1/alpha2"),
            text(m_root + "/alpha1/alpha2/alpha3"),
            text(m_root + "/alpha1/alpha2/alpha3/alpha4") }));
}

void TestFolderSearchEngine::stopDuringWalk()
{
    makeTree({ "alpha1/alpha2/alpha3", "alpha1/beta" });
    test::ScriptedFolderService service;
    slowFirstAppend();
    m_pump.onPump = [this](int) {
        if (!m_results->rows().isEmpty())
            m_state.StopRequested = SearchState::True;
    };
    const WalkReport report = walk(m_root, QStringLiteral("alpha"), 1, service);
    QCOMPARE(m_results->rows(), QStringList { text(m_root + "/alpha1") });
    // Nothing is tested or entered after the stop.
    QCOMPARE(service.entered, QByteArrayList { "alpha1" });
    QVERIFY(report.stopped);
    QVERIFY(report.unlisted.empty());
}

void TestFolderSearchEngine::stopWhileAListingHangs_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("plain walk") << 0;
    QTest::newRow("read-ahead, 2 threads") << 2;
}

// A dead network share: the listing never comes back by itself. The window
// is still served, and Stop ends the walk with the listing still hanging.
void TestFolderSearchEngine::stopWhileAListingHangs()
{
    QFETCH(int, threads);
    makeTree({ "alpha/hung/alpha-below", "alpha/beta" });
    test::HangingFolderService service("hung", unsigned(threads));
    int pumpsWhileHanging = 0;
    m_pump.onPump = [&](int) {
        if (service.hanging() > 0 && ++pumpsWhileHanging == 3)
            m_state.StopRequested = SearchState::True;
    };
    const WalkReport report = walk(m_root, QStringLiteral("alpha"), 1, service);
    QVERIFY(report.stopped);
    QVERIFY(report.unlisted.empty());
    QCOMPARE(pumpsWhileHanging, 3);
    QCOMPARE(service.hanging(), 1);
    QVERIFY(!m_results->rows().contains(text(m_root + "/alpha/hung/alpha-below")));

    // Once the share answers, what was left behind ends by itself.
    service.release();
    QTRY_COMPARE(service.liveCursors(), 0);
}

void TestFolderSearchEngine::stopRequestedBeforeWalk()
{
    makeTree({ "alpha/alpha" });
    test::ScriptedFolderService service;
    m_state.StopRequested = SearchState::True;
    const WalkReport report = walk(m_root, QStringLiteral("alpha"), 1, service);
    QCOMPARE(m_results->rows(), QStringList {});
    QCOMPARE(service.entered, QByteArrayList {});
    QCOMPARE(m_pump.pumps, 1);
    QVERIFY(report.stopped);
}

void TestFolderSearchEngine::progressHeader()
{
    // A folder without subfolders shows in the header, and nothing else happens.
    walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_locations->captionHistory(), QStringList { "Searching " + text(m_root) });
    QCOMPARE(m_pump.pumps, 0);

    makeTree({ "alpha1/alpha2/alpha3" });
    slowFirstAppend();
    walk(m_root, QStringLiteral("alpha"));
    // The header at the start, at the first pump (before the first subfolder),
    // and at the pump after the slow first row, from inside alpha1.
    QCOMPARE(m_locations->captionHistory().mid(0, 4),
        QStringList({ "Searching " + text(m_root), "Searching " + text(m_root),
            "Searching " + text(m_root), "Searching " + text(m_root + "/alpha1") }));
}

void TestFolderSearchEngine::folderRemovedDuringWalkIsReportedAndSkipped()
{
    makeTree({ "a-alpha/alpha-in-a", "gone-alpha/alpha-lost", "z-alpha/alpha-in-z" });
    const QStringList expected
        = expectedRows(m_root, { "a-alpha", "alpha-in-a", "gone-alpha", "z-alpha", "alpha-in-z" });
    m_pump.onPump = [this](int pumpNumber) {
        if (pumpNumber == 1)
            QVERIFY(test::removeTree(text(m_root + "/gone-alpha")));
    };
    const WalkReport report = walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(), expected);
    QCOMPARE(report.unlisted.size(), std::size_t(1));
    QCOMPARE(report.unlisted[0].path, text(m_root + "/gone-alpha"));
    QCOMPARE(report.unlisted[0].reason, QStringLiteral("No such file or directory"));
    QVERIFY(!report.stopped);
}

void TestFolderSearchEngine::folderTheServiceCannotListIsReportedAndSkipped()
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

void TestFolderSearchEngine::locationThatCannotBeListed()
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

void TestFolderSearchEngine::linksAreListedNeverEntered()
{
    makeTree({ "a/alpha-real/alpha-inner" });
    QVERIFY(::symlink("..", (m_root + "/a/alpha-loop").constData()) == 0);
    QVERIFY(::symlink(m_root.constData(), (m_root + "/a/alpha-root-link").constData()) == 0);
    QFile file(text(m_root + "/file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(::symlink("file", (m_root + "/alpha-file-link").constData()) == 0);
    QVERIFY(::symlink("missing", (m_root + "/alpha-broken-link").constData()) == 0);

    const WalkReport report = walk(m_root, QStringLiteral("alpha"));
    const QStringList expected
        = expectedRows(m_root, { "alpha-real", "alpha-inner", "alpha-loop", "alpha-root-link" });
    QCOMPARE(expected.size(), 4);
    QCOMPARE(m_results->rows(), expected);
    QVERIFY(report.unlisted.empty());
}

void TestFolderSearchEngine::deepTreeUnderLowDescriptorLimit()
{
    const QByteArray leaf = test::makeFolderChain(m_root, "d", 3000, "alpha-bottom");
    QVERIFY(!leaf.isEmpty());
    test::DescriptorLimit limit(256);
    QVERIFY(limit.active());
    const WalkReport report = walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(), QStringList { text(leaf) });
    QVERIFY(report.unlisted.empty());
}

/// The system's folders, read ahead on `threads` threads (none: the plain walk).
SystemFolderService systemWithThreads(int threads)
{
    return SystemFolderService(dirwalk::ReadAheadSettings { unsigned(threads) });
}

void TestFolderSearchEngine::everyFolderUnderAVeryLowDescriptorLimit_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("plain walk") << 0;
    QTest::newRow("read-ahead, 2 threads") << 2;
    QTest::newRow("read-ahead, 4 threads") << 4;
}

void TestFolderSearchEngine::everyFolderUnderAVeryLowDescriptorLimit()
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

void TestFolderSearchEngine::foldersSwappedForLinksNeverLeadOutside_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("plain walk") << 0;
    QTest::newRow("read-ahead, 2 threads") << 2;
}

void TestFolderSearchEngine::foldersSwappedForLinksNeverLeadOutside()
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

    std::atomic<bool> done { false };
    std::atomic<int> swaps { 0 };
    std::thread mutator([&] {
        std::minstd_rand random(7);
        while (!done.load()) {
            const int depth = 1 + int(random() % kLevels);
            QByteArray relative;
            for (int level = 0; level < depth; ++level)
                relative += "/c";
            const QByteArray folder = location + relative;
            const QByteArray away = folder + "-away";
            if (::rename(folder.constData(), away.constData()) != 0)
                continue;
            if (::symlink((m_root + "/out" + relative).constData(), folder.constData()) == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(300));
                ::unlink(folder.constData());
            }
            ::rename(away.constData(), folder.constData());
            ++swaps;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    const auto stopMutator = qScopeGuard([&] {
        done = true;
        mutator.join();
    });

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
    QVERIFY2(
        swaps > 100, qPrintable(QStringLiteral("%1 swaps, %2 walks").arg(swaps.load()).arg(walks)));
}

void TestFolderSearchEngine::listFailurePropagates()
{
    makeTree({ "alpha1/alpha2/alpha3" });
    int appends = 0;
    m_results->beforeOperation = [&appends](const char* operation) {
        if (qstrcmp(operation, "append") == 0 && ++appends == 2)
            throw Failure(QStringLiteral("Out of memory"));
    };
    try {
        walk(m_root, QStringLiteral("alpha"));
        QFAIL("the list's failure did not reach the caller");
    } catch (const Failure& failure) {
        QCOMPARE(failure.description(), QStringLiteral("Out of memory"));
    }
    QCOMPARE(m_results->rows(), QStringList { text(m_root + "/alpha1") });
}

void TestFolderSearchEngine::namesInUnicodeAndInRawBytes()
{
    const QByteArray raw = m_root + "/alpha-\xff";
    QVERIFY(::mkdir(raw.constData(), 0755) == 0);
    QVERIFY(::mkdir((raw + "/inner").constData(), 0755) == 0);
    makeTree({ QStringLiteral("写真/ＡＬＰＨＡ") });

    walk(m_root, QStringLiteral("inner"));
    QCOMPARE(m_results->rows(), QStringList { text(raw + "/inner") });
    QVERIFY(m_results->rows().first().contains(QChar(QChar::ReplacementCharacter)));

    m_results->setRows({});
    m_option.deselect();
    walk(m_root, QStringLiteral("alpha"));
    QCOMPARE(m_results->rows(),
        expectedRows(m_root,
            { "alpha-\xff", "\xef\xbc\xa1\xef\xbc\xac\xef\xbc\xb0\xef\xbc\xa8\xef\xbc\xa1" })
            .replaceInStrings(QRegularExpression(".*/"), QString()));
}

void TestFolderSearchEngine::rootFolderJoinsWithoutDoubleSeparator()
{
    test::MemoryFolderService service;
    service.add("/alpha/beta-alpha");
    service.add("/gamma");
    const WalkReport report = walk("/", QStringLiteral("alpha"), 1, service);
    QCOMPARE(m_results->rows(),
        QStringList({ QStringLiteral("/alpha"), QStringLiteral("/alpha/beta-alpha") }));
    QCOMPARE(m_locations->captionHistory().first(), QStringLiteral("Searching /"));
    QVERIFY(report.unlisted.empty());
}

QTEST_GUILESS_MAIN(TestFolderSearchEngine)
#include "tst_FolderSearchEngine.moc"
