// SPDX-License-Identifier: MIT
#include "shell/Form1Logic.h"
#include "shell/common/GuardedProcedure.h"
#include "support/FakeMainWindow.h"
#include "support/FolderTreeFixture.h"
#include "support/HangingFolderService.h"
#include "support/ScriptedFolderService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

using Kind = RecordingMessageBoxes::Kind;

struct Window {
    FakeMainWindow fake;
    Form1Logic logic { fake.controls(), fake.services() };
};

/// What the system's folder service says of a location "gone" in the folder "%1".
const QString kGone = QStringLiteral("Path not found: %1/gone (No such file or directory)");

/// The fake window's services with another folder service.
Form1Logic::Services withFolders(FakeMainWindow& fake, FolderService& folders)
{
    return { .boxes = fake.boxes,
        .pump = fake.pump,
        .clipboard = fake.clipboard,
        .settings = fake.settings,
        .saveDialog = fake.saveDialog,
        .folderBrowser = fake.folderBrowser,
        .programFolder = fake.programFolder,
        .launcher = fake.launcher,
        .random = fake.random,
        .folders = folders,
        .files = fake.files,
        .outputFiles = fake.outputFiles };
}

} // namespace

class TestSearchRun : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_work;
    QString m_other;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_work = m_dir.path() + "/Work";
        m_other = m_dir.path() + "/Other";
        QVERIFY(makeFolders(m_work,
            { "alpha/alpha-old/deep", "Alpha-Project/src", "beta/old alpha", "beta/gamma/alpha2",
                "docs", ".hidden-alpha" }));
        QVERIFY(makeFolders(m_other, { "x/alphabet", "y" }));
    }

    void blankPhraseChangesNothing()
    {
        Window w;
        w.fake.phrase.setText("   ");
        w.fake.locations.setRows({ m_work });
        w.logic.PushButton1_Click();
        QCOMPARE(w.fake.boxes.informations(), QStringList { "Input search for what phrase." });
        QCOMPARE(w.fake.startButton.caption(), QStringLiteral("Start Finding"));
        QVERIFY(w.fake.pointer.history.isEmpty());
        QCOMPARE(w.fake.results.count(), 0);
        QCOMPARE(w.fake.pump.pumps, 0);
    }

    void noLocations()
    {
        Window w;
        w.fake.phrase.setText("alpha");
        QString captionWhileShown;
        qint16 pointerWhileShown = -1;
        w.fake.boxes.whileShown = [&](const RecordingMessageBoxes::Shown&) {
            captionWhileShown = w.fake.startButton.caption();
            pointerWhileShown = w.fake.pointer.value();
        };
        w.logic.PushButton1_Click();
        QCOMPARE(w.fake.boxes.informations(), QStringList { "No folders added." });
        QCOMPARE(captionWhileShown, QStringLiteral("Stop"));
        QCOMPARE(pointerWhileShown, qint16(11));
        QCOMPARE(w.fake.startButton.caption(), QStringLiteral("Start Finding"));
        QCOMPARE(w.fake.pointer.value(), qint16(0));
        QCOMPARE(w.logic.state().StopRequested, SearchState::True);
    }

    void findsEveryMatchInWalkOrder_data()
    {
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("fullPath");
        QTest::newRow("match case, full path") << true << true;
        QTest::newRow("any case, full path") << false << true;
        QTest::newRow("any case, name only") << false << false;
    }
    void findsEveryMatchInWalkOrder()
    {
        QFETCH(bool, matchCase);
        QFETCH(bool, fullPath);
        Window w;
        w.fake.phrase.setText("alpha");
        w.fake.matchCase.setValue(matchCase ? 1 : 0);
        if (!fullPath)
            w.fake.chooseNameOnly();
        w.fake.locations.setColumnCaption("Folder(s)");
        w.fake.locations.setRows({ m_work, m_other });
        w.logic.PushButton1_Click();

        const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        const QStringList expected = expectedSearchRows(m_work, "alpha", fullPath, cs)
            + expectedSearchRows(m_other, "alpha", fullPath, cs);
        QVERIFY(expected.size() >= 5);
        QCOMPARE(w.fake.results.rows(), expected);
        QCOMPARE(w.fake.boxes.shown.size(), 1);
        QCOMPARE(w.fake.boxes.informations(), QStringList { "Done." });
        QCOMPARE(w.fake.locations.columnCaption(), QStringLiteral("Folder(s)"));
        QVERIFY(w.fake.locations.captionHistory().contains("Searching " + m_work));
        QCOMPARE(w.fake.startButton.caption(), QStringLiteral("Start Finding"));
        QCOMPARE(w.fake.pointer.history, (QList<qint16> { 11, 0 }));
        QCOMPARE(w.logic.state().StopRequested, SearchState::True);
    }

    void secondRunAppendsAndTrailingBlankIsKept()
    {
        Window w;
        w.fake.phrase.setText("old ");
        w.fake.matchCase.setValue(0);
        w.fake.locations.setRows({ m_work });
        w.logic.PushButton1_Click(); // "alpha-old" has no blank after "old"
        const QString oldAlpha = m_work + "/beta/old alpha";
        QCOMPARE(w.fake.results.rows(), QStringList { oldAlpha });
        w.fake.phrase.setText(" alpha"); // not "alpha-old", not "Alpha-Project"
        w.logic.PushButton1_Click();
        QCOMPARE(w.fake.results.rows(), (QStringList { oldAlpha, oldAlpha }));
        w.fake.phrase.setText("old");
        w.logic.PushButton1_Click();
        QCOMPARE(w.fake.results.rows(),
            QStringList({ oldAlpha, oldAlpha })
                + expectedSearchRows(m_work, "old", true, Qt::CaseInsensitive));
    }

    /// The phrase is read afresh for each location; Match Case once per run.
    void phraseReadPerLocationMatchCasePerRun()
    {
        Window w;
        w.fake.phrase.setText("alpha");
        w.fake.matchCase.setValue(0);
        w.fake.locations.setRows({ m_work, m_other });
        w.fake.pump.onPump = [&](int pumpNumber) {
            if (pumpNumber == 2) { // the walk's first pump, inside the first location
                w.fake.phrase.setText("Y");
                w.fake.matchCase.setValue(1);
            }
        };
        w.logic.PushButton1_Click();
        // The first location keeps the phrase it started with; the second finds
        // "y" by the new phrase, letter case still ignored.
        QCOMPARE(w.fake.results.rows(),
            expectedSearchRows(m_work, "alpha", true, Qt::CaseInsensitive)
                + QStringList { m_other + "/y" });
    }

    void stopPressedFromInsideThePump()
    {
        Window w;
        w.fake.phrase.setText("alpha");
        w.fake.matchCase.setValue(0);
        w.fake.locations.setRows({ m_work, m_other, m_other });
        QString captionAfterStop;
        w.fake.pump.onPump = [&](int pumpNumber) {
            if (pumpNumber == 1) { // the run's own pump before the first location
                w.logic.PushButton1_Click();
                captionAfterStop = w.fake.startButton.caption();
            }
        };
        w.logic.PushButton1_Click();
        QCOMPARE(captionAfterStop, QStringLiteral("Start Finding"));
        QCOMPARE(w.fake.results.count(), 0);
        QCOMPARE(w.fake.folders.opened.size(), 0);
        QCOMPARE(w.fake.boxes.informations(), QStringList { "Done." });
        QCOMPARE(w.fake.locations.columnCaption(), QStringLiteral("Folder(s)"));
        QCOMPARE(w.fake.pointer.value(), qint16(0));
    }

    void stopDuringTheFirstLocationSkipsTheOthers()
    {
        Window w;
        w.fake.phrase.setText("alpha");
        w.fake.matchCase.setValue(0);
        w.fake.locations.setRows({ m_work, m_other, m_other });
        w.fake.pump.onPump = [&](int pumpNumber) {
            if (pumpNumber == 2) // the walk's first pump, inside the first location
                w.logic.PushButton1_Click();
        };
        w.logic.PushButton1_Click();
        QCOMPARE(w.fake.folders.opened, QStringList { m_work });
        QCOMPARE(w.fake.results.count(), 0);
        QCOMPARE(w.fake.boxes.informations(), QStringList { "Done." });
    }

    void aVanishedLocationIsReportedAndTheNextSearched()
    {
        Window w;
        w.fake.phrase.setText("alphabet");
        const QString gone = m_dir.path() + "/gone";
        w.fake.locations.setRows({ gone, m_other });
        w.logic.PushButton1_Click();
        QCOMPARE(w.fake.boxes.failureReports(),
            QStringList {
                composeFailureReport("Path not found", locationText("PushButton1_Click"), 126) });
        QCOMPARE(w.fake.results.rows(), QStringList { m_other + "/x/alphabet" });
        QCOMPARE(w.fake.boxes.informations(), QStringList { "Done." });
    }

    // An unplugged drive with many locations on it: a few boxes, then one for
    // the rest, and Stop still reaches the search between them.
    void manyMissingLocationsAreGatheredAndCanBeStopped()
    {
        Window w;
        w.fake.phrase.setText("alphabet");
        QStringList gone;
        for (int i = 0; i < 1000; ++i)
            gone.append(m_dir.path() + "/gone-" + QString::number(i));
        w.fake.locations.setRows(gone);
        w.fake.pump.onPump = [&](int pumpNumber) {
            if (pumpNumber == 10)
                w.logic.PushButton1_Click();
        };
        w.logic.PushButton1_Click();
        const QString location = locationText("PushButton1_Click");
        QCOMPARE(w.fake.folders.opened.size(), 9);
        QCOMPARE(w.fake.boxes.failureReports(),
            (QStringList { composeFailureReport("Path not found", location, 126),
                composeFailureReport("Path not found", location, 126),
                composeFailureReport("Path not found", location, 126),
                composeFailureReport(
                    "6 more locations could not be searched; the first: Path not found", location,
                    126) }));
        QCOMPARE(w.fake.boxes.informations(), QStringList { "Done." });
    }

    // After the first few, the reports come together at the end, one box for
    // the locations that could not be searched and one for the folders that
    // could not be read in those that were, each at its own line.
    void laterReportsAreGatheredByKind_data()
    {
        QTest::addColumn<QStringList>(
            "locations"); // in a folder of the test's; "gone" is not there
        QTest::addColumn<QStringList>("gathered"); // "text|line", after the first three
        const QStringList threeGone { "gone", "gone", "gone" };
        QTest::newRow("both kinds")
            << threeGone + QStringList { "one", "gone", "two" }
            << QStringList { "1 more location could not be searched: " + kGone + "|126",
                   "3 folders in 2 more locations could not be read; the first: %1/one/locked: "
                   "Permission denied|128" };
        QTest::newRow("one folder") << threeGone + QStringList { "one" }
                                    << QStringList { "1 folder in 1 more location could not be "
                                                     "read: %1/one/locked: Permission denied|128" };
    }
    void laterReportsAreGatheredByKind()
    {
        QFETCH(QStringList, locations);
        QFETCH(QStringList, gathered);
        QTemporaryDir dir;
        QVERIFY(makeFolders(dir.path(), { "one/locked", "two/locked", "two/x/locked" }));
        FakeMainWindow fake;
        ScriptedFolderService folders;
        folders.failingNames = { "locked" };
        Form1Logic logic { fake.controls(), withFolders(fake, folders) };
        fake.phrase.setText("locked");
        for (QString& location : locations)
            location = dir.path() + '/' + location;
        fake.locations.setRows(locations);
        logic.PushButton1_Click();

        const QString location = locationText("PushButton1_Click");
        QStringList expected(
            3, composeFailureReport(QString(kGone).replace("%1", dir.path()), location, 126));
        for (QString report : gathered) {
            report.replace("%1", dir.path());
            expected << composeFailureReport(
                report.section('|', 0, 0), location, report.section('|', 1).toInt());
        }
        QCOMPARE(fake.boxes.failureReports(), expected);
        QCOMPARE(fake.boxes.informations(), QStringList { "Done." });
    }

    // A location on a dead network share: checking it never ends. The window
    // is served meanwhile and Stop ends the search, the check left behind;
    // searches started and stopped again wait for that check, leaving no
    // other beside it.
    void aLocationWhoseCheckHangsCanBeStopped()
    {
        QTemporaryDir dir;
        QVERIFY(makeFolders(dir.path(), { "hung/alphabet" }));
        FakeMainWindow fake;
        HangingFolderService hanging("hung", 0);
        Form1Logic logic { fake.controls(), withFolders(fake, hanging) };
        fake.phrase.setText("alphabet");
        fake.locations.setRows({ dir.path() + "/hung", m_other });
        int pumpsWhileHanging = 0;
        fake.pump.onPump = [&](int) {
            if (pumpsWhileHanging < 3 && hanging.hanging() > 0 && ++pumpsWhileHanging == 3)
                logic.PushButton1_Click(); // "Stop"
        };
        logic.PushButton1_Click();
        QCOMPARE(pumpsWhileHanging, 3);
        QCOMPARE(hanging.hanging(), 1);
        QCOMPARE(fake.boxes.failureReports(), QStringList());
        QCOMPARE(fake.results.rows(), QStringList());
        QCOMPARE(fake.boxes.informations(), QStringList { "Done." });
        QCOMPARE(fake.startButton.caption(), QStringLiteral("Start Finding"));
        for (int again = 0; again < 19; ++again) {
            pumpsWhileHanging = 0;
            logic.PushButton1_Click();
            QCOMPARE(pumpsWhileHanging, 3);
        }
        QCOMPARE(hanging.hanging(), 1);
        QCOMPARE(fake.boxes.informations(), QStringList(20, "Done."));
        hanging.release();
        QTRY_COMPARE(hanging.hanging(), 0);
    }

    void locationsCannotBeRemovedDuringTheRunWhateverThePointer()
    {
        Window w;
        w.fake.phrase.setText("alphabet");
        w.fake.locations.setRows({ m_other, m_other });
        w.fake.pump.onPump = [&](int pumpNumber) {
            if (pumpNumber == 1) {
                w.fake.pointer.setValue(0); // the pointer passed over the buttons
                w.fake.locations.select(1);
                w.logic.ListView1_DblClick();
                w.logic.ListView1_KeyDown(46);
                w.logic.PushButton7_Click();
            }
        };
        w.logic.PushButton1_Click();
        QCOMPARE(w.fake.locations.count(), 2);
        QCOMPARE(w.fake.results.rows(),
            (QStringList { m_other + "/x/alphabet", m_other + "/x/alphabet" }));
        QVERIFY(w.fake.boxes.failureReports().isEmpty());
    }

    void commandsRunNestedInTheRun()
    {
        Window w;
        w.fake.phrase.setText("alpha");
        w.fake.matchCase.setValue(0);
        w.fake.locations.setRows({ m_other, m_work });
        w.fake.locations.select(0);
        w.fake.folderBrowser.answers = QStringList { m_other };
        w.fake.pump.onPump = [&](int pumpNumber) {
            if (pumpNumber != 3) // the pump before the second location
                return;
            w.logic.ListView1_KeyDown(46); // busy: refused
            w.logic.PushButton7_Click(); // busy: refused
            w.fake.results.clear(); // "Clear Results" leaves later rows to a fresh list
            w.logic.PushButton3_Click(); // add is allowed, and not searched by this run
        };
        w.logic.PushButton1_Click();
        QCOMPARE(w.fake.locations.rows(), (QStringList { m_other, m_work, m_other }));
        QCOMPARE(
            w.fake.results.rows(), expectedSearchRows(m_work, "alpha", true, Qt::CaseInsensitive));
        QCOMPARE(w.fake.folders.opened, (QStringList { m_other, m_work }));
    }

    void unreadableFoldersAreReportedOncePerLocation()
    {
        QTemporaryDir dir;
        QVERIFY(makeFolders(dir.path(), { "a/alpha-1", "b/alpha-2", "c/alpha-3", "d/alpha-4" }));
        Window w;
        w.fake.phrase.setText("alpha");
        w.fake.locations.setRows({ dir.path(), m_other });
        // Before the walk goes into them, two folders vanish: removed from inside the first pump.
        w.fake.pump.onPump = [&](int pumpNumber) {
            if (pumpNumber == 2) {
                QVERIFY(removeTree(dir.path() + "/b"));
                QVERIFY(removeTree(dir.path() + "/c"));
            }
        };
        w.logic.PushButton1_Click();
        const QStringList reports = w.fake.boxes.failureReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(
            reports[0].startsWith("2 folders could not be read; the first: " + dir.path() + '/'),
            qPrintable(reports[0]));
        QVERIFY(reports[0].contains("No such file or directory\r\nin "
                                    "Vantorel2021/08/31.Form1.PushButton1_Click at line 128\r\r"));
        const QStringList expected
            = expectedSearchRows(dir.path(), "alpha", true, Qt::CaseSensitive)
            + expectedSearchRows(m_other, "alpha", true, Qt::CaseSensitive);
        QCOMPARE(expected.size(), 3);
        QCOMPARE(w.fake.results.rows(), expected);
        QCOMPARE(w.fake.boxes.informations(), QStringList { "Done." });
    }
};

QTEST_GUILESS_MAIN(TestSearchRun)
#include "tst_SearchRun.moc"
