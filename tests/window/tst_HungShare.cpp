// SPDX-License-Identifier: MIT
// The window over a network share that stopped answering (an emulated FUSE
// share): what Stop leaves behind while a listing hangs.
#include "support/FolderTreeFixture.h"
#include "support/HungShare.h"
#include "support/ModalBoxAnswerer.h"
#include "support/WindowDriver.h"

#include <QDir>
#include <QTest>
#include <QTimer>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

const QStringList kShareTree = { "a/alpha", "a/hung/alpha-below", "b/alpha" };

/// What the process holds: its threads and its open descriptors.
struct Holdings {
    qsizetype threads = 0;
    qsizetype descriptors = 0;
};

Holdings holdings()
{
    return {
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
        QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size()
    };
}

} // namespace

class TestHungShare : public QObject
{
    Q_OBJECT

private slots:
    void stopPressedAgainAndAgainLeavesAFewThreadsBehind();
};

// Each search walks a healthy folder, then waits on the share until Stop. The
// threads and descriptors of the listings left behind do not grow with the
// presses, and the healthy folder's rows come every time.
void TestHungShare::stopPressedAgainAndAgainLeavesAFewThreadsBehind()
{
    HungShare share(kShareTree, QStringLiteral("hung"));
    if (!share.unavailable().isEmpty())
        QSKIP(qPrintable(share.unavailable()));
    QTemporaryDir local;
    QVERIFY(makeFolders(local.path(), { "healthy/alpha-here" }));
    const QString healthyRow = local.path() + "/healthy/alpha-here";
    ModalBoxAnswerer answerer;
    WindowDriver w;
    // First with nothing hanging: the threads Qt starts on first use are then counted.
    w.search(local.path() + "/healthy", "alpha");
    const Holdings idle = holdings();
    w.form.locations().append(share.mountPoint());
    // Stopped once it has waited in the share for three pumps: on a listing
    // that hangs, on one held behind it, or on the one a search left.
    const QString inShare = "Searching " + share.mountPoint() + "/a";
    int pumpsInShare = 0;
    QTimer stopper;
    connect(&stopper, &QTimer::timeout, &w.form, [&] {
        if (share.hangingListings() > 0 && w.locationsHeader().startsWith(inShare)
            && w.button("PushButton1")->text() == "Stop" && ++pumpsInShare == 3)
            w.click("PushButton1");
    });
    stopper.start(0);
    constexpr int kPresses = 20;
    for (int press = 0; press < kPresses; ++press) {
        pumpsInShare = 0;
        w.click("PushButton1");
    }
    stopper.stop();
    QCOMPARE(answerer.texts(), QStringList(kPresses + 1, "Done."));
    QCOMPARE(w.results().count(healthyRow), kPresses + 1);
    QCOMPARE(share.hangingListings(), 1);
    // The listing the share holds, the read-ahead's thread in it and the one
    // that joins it, and the walk's own listing held behind it (before: two
    // threads and four descriptors more at every press).
    QTRY_VERIFY(holdings().threads <= idle.threads + 3);
    QVERIFY(holdings().descriptors <= idle.descriptors + 8);

    // Once the share answers, what was left behind ends, and a search finds everything.
    share.release();
    QTRY_VERIFY(holdings().threads <= idle.threads);
    QTRY_VERIFY(holdings().descriptors <= idle.descriptors);
    w.form.results().clear();
    w.click("PushButton1");
    QStringList rows = w.results(); // in the file system's order
    QStringList expected = { healthyRow, share.mountPoint() + "/a/alpha",
        share.mountPoint() + "/a/hung/alpha-below", share.mountPoint() + "/b/alpha" };
    rows.sort();
    expected.sort();
    QCOMPARE(rows, expected);
    QCOMPARE(answerer.texts().size(), kPresses + 2);
}

QTEST_MAIN(TestHungShare)
#include "tst_HungShare.moc"
