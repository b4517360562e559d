// SPDX-License-Identifier: MIT
// The search on read-ahead cursors gives what it gives on plain ones, while
// folders go away ahead of the pool and commands come in its pumps.
#include "platform/files/SystemFolderService.h"
#include "search/FolderSearchEngine.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"
#include "support/FolderTreeFixture.h"
#include "support/ReadAheadDoubles.h"
#include "support/ReadAheadScratch.h"

#include <QFile>
#include <QTest>

#include <chrono>
#include <thread>

using namespace vantorel;
using namespace vantorel::dirwalk;
using namespace vantorel::test;

namespace
{

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

} // namespace

class TestReadAheadSearch : public QObject, private ReadAheadScratch
{
    Q_OBJECT

    /// Rows and unlisted folders of a search with `service`, the pump acting as told.
    QStringList search(FolderService& service,
        const std::function<void(int, FakeListControl&, SearchState&, FakeOption&)>& onPump = {},
        int slowRows = 0, QByteArray root = {});

private slots:
    void init() { begin(); }
    void cleanup() { finish(); }

    void folderRemovedAheadOfTheWorker();
    void stopAndNestedCommandsInTheSearch();
};

QStringList TestReadAheadSearch::search(FolderService& service,
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

void TestReadAheadSearch::folderRemovedAheadOfTheWorker()
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

void TestReadAheadSearch::stopAndNestedCommandsInTheSearch()
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

QTEST_GUILESS_MAIN(TestReadAheadSearch)
#include "tst_ReadAheadSearch.moc"
