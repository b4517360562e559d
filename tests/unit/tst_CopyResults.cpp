// SPDX-License-Identifier: MIT
#include "results/ClipboardRetry.h"
#include "results/CopyResultsCommand.h"
#include "results/ListClipboardText.h"
#include "support/FakeControls.h"
#include "support/FakeListControl.h"
#include "support/RecordingMessageBoxes.h"

#include <QTest>

using namespace vantorel;
using namespace std::chrono_literals;
using vantorel::test::FakeClipboard;
using vantorel::test::FakeListControl;
using vantorel::test::RecordingMessageBoxes;
using vantorel::test::ScriptedEventPump;

namespace
{

const QString kConfirmation = QStringLiteral(
    "Results have been copied to the clipboard.\r\rClick a text area where you normally type "
    "and press Ctrl+V to paste the clipboard.");

void tick(FakeListControl& list, std::initializer_list<int> positions)
{
    for (int position : positions)
        list.setChecked(position, true);
}

} // namespace

class TestCopyResults : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_list = std::make_unique<FakeListControl>(QStringLiteral("Results"));
        m_boxes = RecordingMessageBoxes();
        m_boxes.setApplicationTitle(QStringLiteral("Vantorel"));
        m_clipboard = FakeClipboard();
        m_pump.pumps = 0;
        m_pump.onPump = nullptr;
    }

    void tickedRowsOnly()
    {
        m_list->setRows({ "one", "two", "three", "four", "five" });
        tick(*m_list, { 1, 3 });
        command().PushButton4_Click();
        QCOMPARE(m_clipboard.text, QStringLiteral("two\r\nfour\r\n"));
        QCOMPARE(m_clipboard.lastFormat, 0);
        QCOMPARE(m_clipboard.clearAttempts, 1);
        QCOMPARE(m_clipboard.setAttempts, 1);
        QCOMPARE(m_boxes.shown.size(), 1);
        QCOMPARE(m_boxes.shown[0].kind, RecordingMessageBoxes::Kind::Information);
        QCOMPARE(m_boxes.shown[0].text, kConfirmation);
        QCOMPARE(m_boxes.shown[0].title, QStringLiteral("Vantorel"));
    }

    void alignedText_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QString>("expected");

        QTest::newRow("trailing blanks dropped")
            << 1 << QList<QStringList> { { "D:\\a  " }, { "  b" } }
            << QStringLiteral("D:\\a\r\n  b\r\n");
        QTest::newRow("row of blanks only")
            << 1 << QList<QStringList> { { "a" }, { "   " }, { "c" } }
            << QStringLiteral("a\r\n\r\nc\r\n");
        QTest::newRow("two columns") << 2 << QList<QStringList> { { "ab", "x" }, { "abcd", "y" } }
                                     << QStringLiteral("ab  \tx\r\nabcd\ty\r\n");
        // Only the final tab goes: the one before an empty last cell stays.
        QTest::newRow("empty last column")
            << 2 << QList<QStringList> { { "ab", "" }, { "abcd", "y" } }
            << QStringLiteral("ab  \t\r\nabcd\ty\r\n");
        QTest::newRow("three columns, middle padded")
            << 3 << QList<QStringList> { { "a", "bb", "c" }, { "aaa", "b", "cc" } }
            << QStringLiteral("a  \tbb\tc\r\naaa\tb \tcc\r\n");
        QTest::newRow("empty first column") << 2 << QList<QStringList> { { "", "x" }, { "", "y" } }
                                            << QStringLiteral("\tx\r\n\ty\r\n");
    }

    void alignedText()
    {
        QFETCH(int, columns);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, expected);
        FakeListControl list(QStringLiteral("Results"), columns);
        for (int r = 0; r < rows.size(); ++r) {
            list.append(rows[r].value(0));
            for (int c = 1; c < rows[r].size(); ++c)
                list.setSubItem(r, c, rows[r][c]);
            list.setChecked(r, true);
        }
        CopyListToClipboard(list, m_pump, m_clipboard);
        QCOMPARE(m_clipboard.text, expected);
    }

    void widthsCountUntickedRows()
    {
        FakeListControl list(QStringLiteral("Results"), 2);
        list.setRows({ "a", "a much longer name" });
        list.setSubItem(0, 1, "x");
        list.setChecked(0, true);
        CopyListToClipboard(list, m_pump, m_clipboard);
        QCOMPARE(m_clipboard.text, QStringLiteral("a") + QString(17, ' ') + "\tx\r\n");
    }

    void cellWiderThanItsColumnGoesInUnpadded()
    {
        FakeListControl list(QStringLiteral("Results"), 2);
        list.setRows({ "ab", "abcd" });
        list.setSubItem(0, 1, "x");
        list.setSubItem(1, 1, "y");
        tick(list, { 0, 1 });
        // Two columns of two rows: pumps 1 to 4 take the widths; pump 5 is the
        // first row's own.
        m_pump.onPump = [&](int pump) {
            if (pump == 5)
                list.setSubItem(0, 0, "abcdef");
        };
        CopyListToClipboard(list, m_pump, m_clipboard, 0ms);
        QCOMPARE(m_clipboard.text, QStringLiteral("abcdef\tx\r\nabcd\ty\r\n"));
    }

    void pumpsPerRowAndPerCellWithoutSlicing()
    {
        m_list->setRows({ "one", "two", "three", "four", "five" });
        tick(*m_list, { 1, 3 });
        CopyListToClipboard(*m_list, m_pump, m_clipboard, 0ms);
        // Widths: five rows; text: five rows and one cell of each of two ticked rows.
        QCOMPARE(m_pump.pumps, 12);
    }

    void noRowTickedLeavesTheClipboardAndSaysSo()
    {
        m_list->setRows({ "one", "two" });
        m_clipboard.text = QStringLiteral("held before");
        m_clipboard.hasText = true;
        command().PushButton4_Click();
        QCOMPARE(m_clipboard.text, QStringLiteral("held before"));
        QCOMPARE(m_clipboard.clearAttempts, 0);
        QCOMPARE(m_clipboard.setAttempts, 0);
        QCOMPARE(m_boxes.shown.size(), 1);
        QCOMPARE(m_boxes.shown[0].kind, RecordingMessageBoxes::Kind::Information);
        QCOMPARE(m_boxes.shown[0].title, QStringLiteral("Vantorel"));
        QCOMPARE(m_boxes.shown[0].text,
            QStringLiteral("No results are ticked. Tick the results to copy, then press "
                           "the button again."));
    }

    void emptyListLeavesTheClipboardAlone()
    {
        m_clipboard.text = QStringLiteral("held before");
        m_clipboard.hasText = true;
        command().PushButton4_Click();
        QCOMPARE(m_clipboard.text, QStringLiteral("held before"));
        QCOMPARE(m_clipboard.clearAttempts, 0);
        QCOMPARE(m_clipboard.setAttempts, 0);
        QCOMPARE(m_boxes.informations(), QStringList { kConfirmation });
        QVERIFY(m_boxes.failureReports().isEmpty());
    }

    void clipboardRetries()
    {
        m_list->setRows({ "one" });
        tick(*m_list, { 0 });
        m_clipboard.failuresLeft = 3;
        command().PushButton4_Click();
        QCOMPARE(m_clipboard.clearAttempts, 4);
        QCOMPARE(m_clipboard.setAttempts, 1);
        QCOMPARE(m_clipboard.text, QStringLiteral("one\r\n"));
        QCOMPARE(m_boxes.informations(), QStringList { kConfirmation });
    }

    void clipboardGivingUpAfterAThousandAttemptsIsReported()
    {
        m_list->setRows({ "one" });
        tick(*m_list, { 0 });
        m_clipboard.text = QStringLiteral("held before");
        m_clipboard.failuresLeft = 1000000;
        command().PushButton4_Click();
        QCOMPARE(m_clipboard.clearAttempts, 1000);
        QCOMPARE(m_clipboard.setAttempts, 1000);
        QCOMPARE(m_clipboard.text, QStringLiteral("held before"));
        const QStringList reports = m_boxes.failureReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].startsWith(QStringLiteral(
            "The clipboard could not be set: another program may be holding it. Nothing was "
            "copied.\r\nin Vantorel2021/08/31.Form1.PushButton4_Click at line 106\r\r")));
        QVERIFY(m_boxes.informations().isEmpty());
    }

    void retryRoutines()
    {
        m_clipboard.failuresLeft = 2;
        QVERIFY(SetClipboardText(m_clipboard, QStringLiteral("t"), 13));
        QCOMPARE(m_clipboard.setAttempts, 3);
        QCOMPARE(m_clipboard.lastFormat, 13);
        m_clipboard.failuresLeft = 1000;
        QVERIFY(!SetClipboardText(m_clipboard, QStringLiteral("u"), 0));
        QCOMPARE(m_clipboard.setAttempts, 1003);
        QCOMPARE(m_clipboard.text, QStringLiteral("t"));
    }

    void failingListIsReportedWithoutTheConfirmation()
    {
        m_list->setRows({ "one", "two" });
        tick(*m_list, { 0, 1 });
        m_clipboard.text = QStringLiteral("held before");
        m_list->beforeOperation = [](const char* operation) {
            if (qstrcmp(operation, "isChecked") == 0)
                throw Failure(QStringLiteral("Index out of bounds"));
        };
        command().PushButton4_Click();
        const QStringList reports = m_boxes.failureReports();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].startsWith(
            QStringLiteral("Index out of bounds\r\nin Vantorel2021/08/31.Form1.PushButton4_Click "
                           "at line 106\r\r")));
        QCOMPARE(m_clipboard.text, QStringLiteral("held before"));
        QCOMPARE(m_clipboard.clearAttempts, 0);
        QVERIFY(m_boxes.informations().isEmpty());
    }

    void rowsRemovedDuringTheCopyEndItWithOneReport()
    {
        m_list->setRows({ "one", "two", "three" });
        tick(*m_list, { 0, 1, 2 });
        m_pump.onPump = [&](int pump) {
            if (pump == 4) // the first pump of the text pass
                m_list->clear();
        };
        CopyResultsCommand(*m_list, m_boxes, m_pump, m_clipboard, 0ms).PushButton4_Click();
        QCOMPARE(m_boxes.failureReports().size(), 1);
        QCOMPARE(m_clipboard.setAttempts, 0);
        QVERIFY(m_boxes.informations().isEmpty());
    }

private:
    CopyResultsCommand command()
    {
        return CopyResultsCommand(*m_list, m_boxes, m_pump, m_clipboard);
    }

    std::unique_ptr<FakeListControl> m_list;
    RecordingMessageBoxes m_boxes;
    FakeClipboard m_clipboard;
    ScriptedEventPump m_pump;
};

QTEST_GUILESS_MAIN(TestCopyResults)
#include "tst_CopyResults.moc"
