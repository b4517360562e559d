// SPDX-License-Identifier: MIT
#include "results/ResultFilterCommands.h"
#include "results/ResultFilters.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"
#include "support/RecordingMessageBoxes.h"

#include <QTest>

using namespace vantorel;
using vantorel::test::FakeListControl;
using vantorel::test::FakePointer;
using vantorel::test::RecordingMessageBoxes;

namespace
{

const QStringList kFive { QStringLiteral("C:\\one"), QStringLiteral("C:\\Work\\alpha-2019"),
    QStringLiteral("Old Alpha"), QStringLiteral("C:\\four"), QStringLiteral("D:\\ALPHABET") };

QString reportLine(const QString& report)
{
    return report.section(QStringLiteral("\r\n"), 1).section(QLatin1Char('\r'), 0, 0);
}

} // namespace

class TestResultFilters : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_list.setRows({});
        m_list.removeCalls = 0;
        m_list.beforeOperation = nullptr;
        m_boxes = RecordingMessageBoxes();
        m_boxes.setApplicationTitle(QStringLiteral("Vantorel"));
        m_pointer = FakePointer();
    }

    void routines_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QStringList>("leftByContaining");
        QTest::addColumn<QStringList>("leftByNotContaining");

        QTest::newRow("rows 2, 3 and 5 of five")
            << kFive << QStringLiteral("ALPHA") << QStringList { kFive[0], kFive[3] }
            << QStringList { kFive[1], kFive[2], kFive[4] };
        QTest::newRow("every row") << QStringList { "abc", "xabcx", "ABC" } << QStringLiteral("abc")
                                   << QStringList {} << QStringList { "abc", "xabcx", "ABC" };
        QTest::newRow("phrase longer than every row")
            << QStringList { "ab", "abc" } << QStringLiteral("abcd") << QStringList { "ab", "abc" }
            << QStringList {};
        QTest::newRow("one blank, never trimmed")
            << QStringList { "Old Alpha", "alpha", "a b", " " } << QStringLiteral(" ")
            << QStringList { "alpha" } << QStringList { "Old Alpha", "a b", " " };
        QTest::newRow("same folder twice")
            << QStringList { "D:\\x\\beta", "D:\\y", "D:\\x\\beta" } << QStringLiteral("Beta")
            << QStringList { "D:\\y" } << QStringList { "D:\\x\\beta", "D:\\x\\beta" };
        QTest::newRow("letters beyond Latin")
            << QStringList { QStringLiteral("Ärger"), QStringLiteral("ärgerlich"),
                   QStringLiteral("arg") }
            << QStringLiteral("ÄRG") << QStringList { QStringLiteral("arg") }
            << QStringList { QStringLiteral("Ärger"), QStringLiteral("ärgerlich") };
        QTest::newRow("plain and accented rows mixed")
            << QStringList { QStringLiteral("X:\\ABC\u00c4"), QStringLiteral("X:\\abc"),
                   QStringLiteral("X:\\ABC\u00e4x") }
            << QStringLiteral("C\u00c4") << QStringList { QStringLiteral("X:\\abc") }
            << QStringList { QStringLiteral("X:\\ABC\u00c4"), QStringLiteral("X:\\ABC\u00e4x") };
        const QString longRow = QString(700, QLatin1Char('a')) + QStringLiteral("TAIL");
        QTest::newRow("row longer than the work buffer")
            << QStringList { longRow, QStringLiteral("tai") } << QStringLiteral("tail")
            << QStringList { QStringLiteral("tai") } << QStringList { longRow };
        QTest::newRow("empty list")
            << QStringList {} << QStringLiteral("a") << QStringList {} << QStringList {};
    }

    void routines()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, phrase);
        QFETCH(QStringList, leftByContaining);
        QFETCH(QStringList, leftByNotContaining);

        m_list.setRows(rows);
        RemoveEntriesContaining(m_list, phrase);
        QCOMPARE(m_list.rows(), leftByContaining);

        m_list.setRows(rows);
        RemoveEntriesNotContaining(m_list, phrase);
        QCOMPARE(m_list.rows(), leftByNotContaining);
    }

    void removalIsOneListCall()
    {
        QStringList rows;
        for (int i = 0; i < 1000; ++i)
            rows << (i % 2 ? QStringLiteral("keep %1") : QStringLiteral("drop %1")).arg(i);
        m_list.setRows(rows);
        RemoveEntriesContaining(m_list, QStringLiteral("DROP"));
        QCOMPARE(m_list.removeCalls, 1);
        QStringList expected;
        for (int i = 1; i < 1000; i += 2)
            expected << QStringLiteral("keep %1").arg(i);
        QCOMPARE(m_list.rows(), expected);
    }

    void containingCommand()
    {
        m_list.setRows(kFive);
        m_boxes.inputAnswers = { QStringLiteral("alpha") };
        commands().PushButton17_Click();
        QCOMPARE(m_list.rows(), (QStringList { kFive[0], kFive[3] }));
        QCOMPARE(m_boxes.shown.size(), 1);
        QCOMPARE(m_boxes.shown[0].kind, RecordingMessageBoxes::Kind::Input);
        QCOMPARE(m_boxes.shown[0].text, QStringLiteral("Remove entries containing: "));
        QCOMPARE(m_boxes.shown[0].title, QStringLiteral("Vantorel"));
        QCOMPARE(m_pointer.history, (QList<qint16> { 11, 1 }));
    }

    void notContainingCommand()
    {
        m_list.setRows(kFive);
        m_boxes.inputAnswers = { QStringLiteral("alpha") };
        commands().PushButton11_Click();
        QCOMPARE(m_list.rows(), (QStringList { kFive[1], kFive[2], kFive[4] }));
        QCOMPARE(m_boxes.texts(RecordingMessageBoxes::Kind::Input),
            QStringList { QStringLiteral("Remove entries not containing: ") });
        QCOMPARE(m_pointer.history, (QList<qint16> { 11, 1 }));
    }

    void cancelOrEmptyAnswerDoesNothing()
    {
        m_list.setRows(kFive);
        m_pointer.setValue(99);
        m_pointer.history.clear();
        m_boxes.inputAnswers = { QString() };
        commands().PushButton17_Click();
        commands().PushButton11_Click(); // the queue is empty: Cancel
        QCOMPARE(m_list.rows(), kFive);
        QCOMPARE(m_boxes.shown.size(), 2);
        QVERIFY(m_boxes.failureReports().isEmpty());
        QCOMPARE(m_pointer.history, QList<qint16> {});
        QCOMPARE(m_pointer.value(), qint16(99));
    }

    void emptyListStillAsks()
    {
        m_boxes.inputAnswers = { QStringLiteral("x") };
        commands().PushButton17_Click();
        QCOMPARE(m_boxes.texts(RecordingMessageBoxes::Kind::Input),
            QStringList { QStringLiteral("Remove entries containing: ") });
        QCOMPARE(m_pointer.history, (QList<qint16> { 11, 1 }));
        QCOMPARE(m_list.rows(), QStringList {});
        QCOMPARE(m_boxes.shown.size(), 1);
    }

    void failingListIsReportedAtTheFilterLine()
    {
        m_list.setRows(kFive);
        m_list.beforeOperation = [](const char* operation) {
            if (qstrcmp(operation, "removeRows") == 0)
                throw Failure(QStringLiteral("The list cannot be changed"));
        };
        m_boxes.inputAnswers = { QStringLiteral("alpha") };
        commands().PushButton17_Click();
        const QStringList reports = m_boxes.failureReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].startsWith(QStringLiteral("The list cannot be changed\r\n")));
        QCOMPARE(reportLine(reports[0]),
            QStringLiteral("in Vantorel2021/08/31.Form1.PushButton17_Click at line 106"));
        QCOMPARE(m_list.rows(), kFive);
        QCOMPARE(m_pointer.history, (QList<qint16> { 11, 1 }));
    }

    void clearRemovesEveryRowAtOnce()
    {
        m_list.setRows(kFive);
        QStringList operations;
        m_list.beforeOperation = [&](const char* operation) { operations << operation; };
        commands().PushButton6_Click();
        QCOMPARE(m_list.rows(), QStringList {});
        QCOMPARE(operations, QStringList { QStringLiteral("clear") });
        QVERIFY(m_boxes.shown.isEmpty());
        QCOMPARE(m_pointer.history, QList<qint16> {});

        commands().PushButton6_Click(); // an empty list: nothing to see
        QVERIFY(m_boxes.shown.isEmpty());
    }

    void failingClearIsReported()
    {
        m_list.setRows(kFive);
        m_list.beforeOperation = [](const char*) { throw Failure(QStringLiteral("busy")); };
        commands().PushButton6_Click();
        const QStringList reports = m_boxes.failureReports();
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reportLine(reports[0]),
            QStringLiteral("in Vantorel2021/08/31.Form1.PushButton6_Click at line 100"));
    }

private:
    ResultFilterCommands commands() { return ResultFilterCommands(m_list, m_boxes, m_pointer); }

    FakeListControl m_list { QStringLiteral("Results") };
    RecordingMessageBoxes m_boxes;
    FakePointer m_pointer;
};

QTEST_GUILESS_MAIN(TestResultFilters)
#include "tst_ResultFilters.moc"
