// SPDX-License-Identifier: MIT
// The search while it runs: commands given in its pumps, its progress in the
// header, a listing that hangs, and a list that fails.
#include "platform/Failure.h"
#include "support/HangingFolderService.h"
#include "support/ScriptedFolderService.h"
#include "support/SearchWalkFixture.h"

#include <QTest>

using namespace vantorel;

class TestFolderSearchWhileRunning : public QObject, private test::SearchWalkFixture
{
    Q_OBJECT

private slots:
    void init() { begin(); }
    void cleanup() { finish(); }

    void optionSwitchedDuringWalk();
    void stopDuringWalk();
    void stopRequestedBeforeWalk();
    void stopWhileAListingHangs_data();
    void stopWhileAListingHangs();
    void progressHeader();
    void listFailurePropagates();
};

void TestFolderSearchWhileRunning::optionSwitchedDuringWalk()
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

void TestFolderSearchWhileRunning::stopDuringWalk()
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

void TestFolderSearchWhileRunning::stopWhileAListingHangs_data()
{
    QTest::addColumn<int>("threads");
    QTest::addColumn<int>("walks");
    QTest::addColumn<int>("leftHanging");
    QTest::newRow("plain walk") << 0 << 1 << 1;
    QTest::newRow("read-ahead, 2 threads") << 2 << 1 << 1;
    // Each walk waits for the listing the first one left: no new one hangs.
    QTest::newRow("plain walk, stopped 20 times") << 0 << 20 << 1;
    // The pool's listing, then one of the walk's own: no second pool is
    // started on the tree while the first still hangs.
    QTest::newRow("read-ahead, stopped 20 times") << 2 << 20 << 2;
}

// A dead network share: the listing never comes back by itself. The window
// is still served, and Stop ends the walk with the listing still hanging.
void TestFolderSearchWhileRunning::stopWhileAListingHangs()
{
    QFETCH(int, threads);
    QFETCH(int, walks);
    QFETCH(int, leftHanging);
    makeTree({ "alpha/hung/alpha-below", "alpha/beta" });
    test::HangingFolderService service("hung", unsigned(threads));
    // Waiting on a listing that began to hang in this walk, or on the one an
    // earlier walk left.
    const QString waitingThere = "Searching " + text(m_root + "/alpha/hung");
    int hangingBefore = 0;
    int pumpsWhileHanging = 0;
    m_pump.onPump = [&](int) {
        if ((service.hanging() > hangingBefore || m_locations->columnCaption() == waitingThere)
            && ++pumpsWhileHanging == 3)
            m_state.StopRequested = SearchState::True;
    };
    for (int run = 0; run < walks; ++run) {
        hangingBefore = service.hanging();
        pumpsWhileHanging = 0;
        m_state.StopRequested = SearchState::False;
        const WalkReport report = walk(m_root, QStringLiteral("alpha"), 1, service);
        QVERIFY(report.stopped);
        QVERIFY(report.unlisted.empty());
        QCOMPARE(pumpsWhileHanging, 3);
    }
    QCOMPARE(service.hanging(), leftHanging);
    QVERIFY(!m_results->rows().contains(text(m_root + "/alpha/hung/alpha-below")));

    // Once the share answers, what was left behind ends by itself.
    service.release();
    QTRY_COMPARE(service.liveCursors(), 0);
}

void TestFolderSearchWhileRunning::stopRequestedBeforeWalk()
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

void TestFolderSearchWhileRunning::progressHeader()
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

void TestFolderSearchWhileRunning::listFailurePropagates()
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

QTEST_GUILESS_MAIN(TestFolderSearchWhileRunning)
#include "tst_FolderSearchWhileRunning.moc"
