// SPDX-License-Identifier: MIT
// How many threads the read-ahead is given, from the environment, and how its
// pacing weighs each run of listings to grow or shrink the pool.
#include "platform/walk/readahead/Pacing.h"
#include "platform/walk/readahead/ReadAheadSettings.h"

#include <QList>
#include <QTest>

#include <chrono>

using namespace vantorel;
using namespace vantorel::dirwalk;

namespace
{

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

class TestReadAheadPacing : public QObject
{
    Q_OBJECT

private slots:
    void settingsFromTheEnvironment();
    void pacingWeighsEachRunOfListings_data();
    void pacingWeighsEachRunOfListings();
    void pacingWeighsOnlyTheTimeListing();
};

void TestReadAheadPacing::settingsFromTheEnvironment()
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

void TestReadAheadPacing::pacingWeighsEachRunOfListings_data()
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

void TestReadAheadPacing::pacingWeighsEachRunOfListings()
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

void TestReadAheadPacing::pacingWeighsOnlyTheTimeListing()
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

QTEST_GUILESS_MAIN(TestReadAheadPacing)
#include "tst_ReadAheadPacing.moc"
