// SPDX-License-Identifier: MIT
#include "shell/common/GuardedProcedure.h"
#include "shell/common/ProductInfo.h"
#include "support/RecordingMessageBoxes.h"

#include <QTest>

using namespace vantorel;
using vantorel::test::RecordingMessageBoxes;

class TestGuardedProcedure : public QObject
{
    Q_OBJECT

private slots:
    void reportTextIsExact()
    {
        const QString text = composeFailureReport(QStringLiteral("Path not found"),
            locationText(QStringLiteral("PushButton2_Click")), 138);
        QCOMPARE(text,
            QStringLiteral("Path not found\r\nin Vantorel2021/08/31.Form1.PushButton2_Click "
                           "at line 138\r\r")
                + supportLine(product::supportAddress()));
    }

    void supportLineNamesTheAddressOrSaysThereIsNone()
    {
        QCOMPARE(supportLine(QStringLiteral("help@ostlebry.org")),
            QStringLiteral("Please email screenshot of this message to help@ostlebry.org"));
        QCOMPARE(supportLine(QString()),
            QStringLiteral("Please keep a screenshot of this message: no support address was "
                           "set when this copy of Ostlebry was built."));
    }

    void emptyDescriptionStillGivesTheWholeReport()
    {
        const QString text
            = composeFailureReport(QString(), locationText(QStringLiteral("Form_Load")), 104);
        QVERIFY(text.startsWith(
            QStringLiteral("\r\nin Vantorel2021/08/31.Form1.Form_Load at line 104\r\r")));
    }

    void failingStatementsAreReportedInOrderAndTheRestRuns()
    {
        RecordingMessageBoxes boxes;
        GuardedProcedure guard(boxes, QStringLiteral("PushButton6_Click"));
        QStringList ran;
        guard.run(100, [&] {
            ran << "100";
            throw Failure(QStringLiteral("first"));
        });
        guard.run(102, [&] { ran << "102"; });
        guard.run(104, [&] { throw Failure(QStringLiteral("second")); });
        guard.run(106, [&] { ran << "106"; });
        QCOMPARE(ran, (QStringList { "100", "102", "106" }));
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Application Error"));
        QVERIFY(boxes.shown[0].text.startsWith(QStringLiteral("first\r\n")));
        QVERIFY(boxes.shown[0].text.contains(QStringLiteral("PushButton6_Click at line 100\r\r")));
        QVERIFY(boxes.shown[1].text.contains(QStringLiteral("at line 104\r\r")));
    }

    void failingBranchTestEntersTheBranch()
    {
        RecordingMessageBoxes boxes;
        GuardedProcedure guard(boxes, QStringLiteral("PushButton7_Click"));
        bool entered = false;
        if (guard.test(100, []() -> bool { throw Failure(QStringLiteral("no pointer")); }))
            entered = true;
        QVERIFY(entered);
        QCOMPARE(boxes.failureReports().size(), 1);
        QVERIFY(!guard.test(102, [] { return false; }));
        QCOMPARE(boxes.failureReports().size(), 1);
    }

    void failingLoopHeadEntersTheLoopOnce()
    {
        RecordingMessageBoxes boxes;
        GuardedProcedure guard(boxes, QStringLiteral("PushButton2_Click"));
        QCOMPARE(guard.loopCount(134, [] { return 5; }), 5);
        QCOMPARE(guard.loopCount(134, []() -> int { throw Failure(QStringLiteral("x")); }), 1);
        QCOMPARE(boxes.failureReports().size(), 1);
    }

    void standardExceptionsAreReportedToo()
    {
        RecordingMessageBoxes boxes;
        GuardedProcedure guard(boxes, QStringLiteral("PushButton4_Click"));
        QVERIFY(!guard.run(106, [] { throw std::runtime_error("out of memory"); }));
        QVERIFY(boxes.failureReports().value(0).startsWith(QStringLiteral("out of memory\r\n")));
    }
};

QTEST_GUILESS_MAIN(TestGuardedProcedure)
#include "tst_GuardedProcedure.moc"
