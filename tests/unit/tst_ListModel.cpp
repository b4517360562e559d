// SPDX-License-Identifier: MIT
#include "platform/Failure.h"
#include "platform/controls/QtEventPump.h"
#include "platform/list/ListModel.h"
#include "platform/qt/list/ListView.h"
#include "platform/qt/list/QtListControl.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace vantorel;

namespace
{

// A path-like text; every seventh is outside Latin-1 and every eleventh empty.
QString rowText(int i)
{
    if (i % 11 == 5)
        return QString();
    QString text = QStringLiteral("/home/user/projects/row-%1/documents/folder").arg(i);
    if (i % 7 == 3)
        text += QStringLiteral("/\u65e5\u672c-\U0001F600");
    else if (i % 5 == 1)
        text += QStringLiteral("/caf\u00e9");
    return text;
}

struct Reference {
    QStringList texts;
    QList<bool> checks;
};

QStringList textsOf(const ListModel& model)
{
    QStringList result;
    for (int i = 0; i < model.total(); ++i)
        result.append(model.text(i));
    return result;
}

QList<bool> checksOf(const ListModel& model)
{
    QList<bool> result;
    for (int i = 0; i < model.total(); ++i)
        result.append(model.isChecked(i));
    return result;
}

} // namespace

class TestListModel : public QObject
{
    Q_OBJECT

private slots:
    void textsComeBackExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("ascii") << QStringLiteral("C:\\Users\\Samples\\Documents");
        QTest::newRow("latin-1") << QStringLiteral("Ordner \u00e4\u00f6\u00fc\u00df \u00ff");
        QTest::newRow("wide") << QStringLiteral("\u0130stanbul \u65e5\u672c\u8a9e");
        QTest::newRow("surrogates") << QStringLiteral("\U0001F4C1 folder");
        QTest::newRow("trailing blanks") << QStringLiteral("name   ");
    }
    void textsComeBackExactly()
    {
        QFETCH(QString, text);
        ListModel model(true);
        model.append(QStringLiteral("before"));
        model.append(text);
        model.append(QStringLiteral("after"));
        QCOMPARE(textsOf(model),
            (QStringList { QStringLiteral("before"), text, QStringLiteral("after") }));
        model.flushPending();
        QCOMPARE(model.data(model.index(1, 0)).toString(), text);
    }

    void passesTheModelTester()
    {
        ListModel model(true);
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int i = 0; i < 40; ++i)
            model.append(rowText(i));
        model.flushPending();
        for (int i = 40; i < 60; ++i)
            model.append(rowText(i));
        model.flushPending();
        model.setChecked(3, true);
        model.setData(model.index(4, 0), Qt::Checked, Qt::CheckStateRole);
        model.setCaption(QStringLiteral("Results"));
        model.removeAll({ 0, 1, 2, 10, 20, 21, 22, 23, 59 - 3 });
        model.removeAt(0);
        model.append(QStringLiteral("late"));
        model.removeAll({ model.total() - 1 });
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    void appendsAreHeldAtOnceButShownInBatches()
    {
        ListModel model(false);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.append(QStringLiteral("a"));
        model.append(QStringLiteral("b"));
        model.append(QStringLiteral("c"));
        QCOMPARE(model.total(), 3);
        QCOMPARE(model.text(2), QStringLiteral("c"));
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.pending(), 3);

        model.flushPending();
        model.flushPending();
        model.append(QStringLiteral("d"));
        model.append(QStringLiteral("e"));
        model.flushPending();

        QCOMPARE(inserted.size(), 2);
        QCOMPARE(inserted[0].at(1).toInt(), 0);
        QCOMPARE(inserted[0].at(2).toInt(), 2);
        QCOMPARE(inserted[1].at(1).toInt(), 3);
        QCOMPARE(inserted[1].at(2).toInt(), 4);
        QCOMPARE(model.rowCount(), 5);
    }

    void theEventPumpShowsPendingRows()
    {
        ListModel first(false);
        ListModel second(true);
        QtEventPump pump;
        pump.addList(first);
        pump.addList(second);
        first.append(QStringLiteral("x"));
        second.append(QStringLiteral("y"));
        second.append(QStringLiteral("z"));
        pump.pump();
        QCOMPARE(first.rowCount(), 1);
        QCOMPARE(second.rowCount(), 2);
    }

    void rowsAppendedWithoutAPumpAreShownByTheEventLoop()
    {
        ListModel model(false);
        model.append(QStringLiteral("only"));
        QCOMPARE(model.rowCount(), 0);
        QTRY_COMPARE(model.rowCount(), 1);
    }

    void removalsEqualOneByOneRemovalFromTheBottom_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("percentRemoved");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("few runs") << 200 << 4 << 5u;
        QTest::newRow("small, half") << 200 << 50 << 1u;
        QTest::newRow("small, nearly all") << 200 << 97 << 2u;
        QTest::newRow("several chunks, a third") << 40000 << 33 << 3u;
        QTest::newRow("several chunks, few") << 40000 << 2 << 4u;
    }
    void removalsEqualOneByOneRemovalFromTheBottom()
    {
        QFETCH(int, rows);
        QFETCH(int, percentRemoved);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);

        ListModel model(true);
        Reference reference;
        for (int i = 0; i < rows; ++i) {
            model.append(rowText(i));
            reference.texts.append(rowText(i));
            const bool checked = random.bounded(3) == 0;
            model.setChecked(i, checked);
            reference.checks.append(checked);
        }
        model.flushPending();

        std::vector<int> positions;
        int runs = 0;
        for (int i = 0; i < rows; ++i) {
            if (int(random.bounded(100)) < percentRemoved) {
                if (positions.empty() || positions.back() != i - 1)
                    ++runs;
                positions.push_back(i);
            }
        }
        for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
            reference.texts.removeAt(*it);
            reference.checks.removeAt(*it);
        }

        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.removeAll(positions);
        const bool announcedRunByRun = std::size_t(runs) <= ListModel::kMostRunsAnnounced;
        QCOMPARE(removed.size(), announcedRunByRun ? runs : 0);
        QCOMPARE(reset.size(), announcedRunByRun ? 0 : 1);
        QCOMPARE(model.rowCount(), int(reference.texts.size()));
        QCOMPARE(textsOf(model), reference.texts);
        QCOMPARE(checksOf(model), reference.checks);

        // The list keeps working after compaction.
        model.append(QStringLiteral("appended after"));
        QCOMPARE(model.text(model.total() - 1), QStringLiteral("appended after"));
    }

    void rowsLongerThanAChunkSurviveRemoval()
    {
        ListModel model(false);
        const QString huge(700000, QChar(0x4e2d));
        const QStringList texts { QStringLiteral("a"), huge, QStringLiteral("b"),
            huge + QLatin1Char('!'), QStringLiteral("c") };
        for (const QString& text : texts)
            model.append(text);
        model.removeAll({ 0, 2 });
        QCOMPARE(
            textsOf(model), (QStringList { huge, huge + QLatin1Char('!'), QStringLiteral("c") }));
        model.removeAt(0);
        QCOMPARE(textsOf(model), (QStringList { huge + QLatin1Char('!'), QStringLiteral("c") }));
    }

    void positionsOutOfOrderActAsOneByOneRemoval()
    {
        ListModel model(false);
        for (const char* text : { "r0", "r1", "r2", "r3", "r4", "r5" })
            model.append(QLatin1String(text));
        // From the last to the first: 4 goes (r4), then 1 (r1), then 1 again (r2).
        model.removeAll({ 1, 1, 4 });
        QCOMPARE(textsOf(model), (QStringList { "r0", "r3", "r5" }));
        // 0 goes (r0), then 1 (r5).
        model.removeAll({ 1, 0 });
        QCOMPARE(textsOf(model), (QStringList { "r3" }));
    }

    void checkMarks()
    {
        ListModel results(true);
        ListModel locations(false);
        for (ListModel* model : { &results, &locations }) {
            model->append(QStringLiteral("one"));
            model->append(QStringLiteral("two"));
            model->flushPending();
        }
        QVERIFY(results.flags(results.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
        QVERIFY(!locations.flags(locations.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
        QCOMPARE(results.data(results.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(!locations.data(locations.index(1, 0), Qt::CheckStateRole).isValid());

        QSignalSpy changed(&results, &QAbstractItemModel::dataChanged);
        QVERIFY(results.setData(results.index(1, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(results.isChecked(1), true);
        QCOMPARE(results.isChecked(0), false);
        QCOMPARE(results.data(results.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        results.setChecked(1, false);
        QCOMPARE(results.isChecked(1), false);
        QVERIFY(!locations.setData(locations.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    }

    void clearingGivesBackWhatTheRowsHeld()
    {
#ifdef __GLIBC__
        ListModel model(false);
        ListView view;
        view.setModel(&model);
        const auto heapInUse = [] {
            const struct mallinfo2 heap = ::mallinfo2();
            return heap.uordblks + heap.hblkhd;
        };
        const std::size_t before = heapInUse();
        for (int row = 0; row < 500'000; ++row)
            model.append(QStringLiteral("row"));
        model.flushPending();
        model.clear();
        // The view's row header alone keeps 8 bytes a row, 4 MB, if it holds on.
        const std::size_t after = heapInUse();
        QVERIFY2(after < before + 1'000'000,
            qPrintable(QStringLiteral("%1 bytes in use before, %2 after").arg(before).arg(after)));
#else
        QSKIP("the heap's figures come from glibc");
#endif
    }

    void positionsOutsideTheListFail_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("position");
        for (const char* operation :
            { "text", "removeAt", "isChecked", "setChecked", "cellText" }) {
            QTest::addRow("%s(-1)", operation) << QString::fromLatin1(operation) << -1;
            QTest::addRow("%s(count)", operation) << QString::fromLatin1(operation) << 3;
        }
        QTest::newRow("removeRows past the end") << QStringLiteral("removeRows") << 3;
        QTest::newRow("removeRows before the start") << QStringLiteral("removeRows") << -1;
        QTest::newRow("cellText column 1") << QStringLiteral("cellColumn") << 1;
    }
    void positionsOutsideTheListFail()
    {
        QFETCH(QString, operation);
        QFETCH(int, position);
        ListModel model(true);
        ListView view;
        view.setModel(&model);
        QtListControl list(model, view);
        for (const char* text : { "a", "b", "c" })
            list.append(QLatin1String(text));

        const std::function<void()> calls[] = {
            [&] { list.text(position); },
            [&] { list.removeAt(position); },
            [&] { list.isChecked(position); },
            [&] { list.setChecked(position, true); },
            [&] { list.cellText(position, 0); },
            [&] {
                list.removeRows(position < 0 ? std::vector<int> { position, 1 }
                                             : std::vector<int> { 1, position });
            },
            [&] { list.cellText(0, position); },
        };
        const QStringList names { "text", "removeAt", "isChecked", "setChecked", "cellText",
            "removeRows", "cellColumn" };
        try {
            calls[names.indexOf(operation)]();
            QFAIL("no failure");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), QStringLiteral("Index out of bounds"));
        }
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.text(1), QStringLiteral("b"));
    }

    void selectionCaptionAndColumns()
    {
        ListModel model(false);
        ListView view;
        view.setModel(&model);
        QtListControl list(model, view);
        QCOMPARE(list.selectedRow(), -1);
        for (const char* text : { "a", "b", "c" })
            list.append(QLatin1String(text));
        model.flushPending();
        view.selectRow(2);
        QCOMPARE(list.selectedRow(), 2);
        list.removeAt(0);
        QCOMPARE(list.selectedRow(), 1);
        QCOMPARE(list.text(list.selectedRow()), QStringLiteral("c"));

        QCOMPARE(list.columnCount(), 1);
        QCOMPARE(list.cellText(0, 0), QStringLiteral("b"));
        list.setColumnCaption(QStringLiteral("Folder(s)"));
        QCOMPARE(list.columnCaption(), QStringLiteral("Folder(s)"));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Folder(s)"));
        list.setColumnWidth(7000);
        QCOMPARE(view.columnWidth(0), 467);
        // Scattered positions reset the view; the selected row stays selected.
        for (int i = 0; i < 100; ++i)
            list.append(QStringLiteral("row %1").arg(i));
        model.flushPending();
        view.selectRow(61);
        const QString selected = list.text(61);
        std::vector<int> everyThird;
        for (int i = 0; i < list.count(); i += 3)
            everyThird.push_back(i);
        list.removeRows(everyThird);
        QCOMPARE(list.text(list.selectedRow()), selected);
        list.removeRows({ list.selectedRow() });
        QCOMPARE(list.selectedRow() == -1 || list.text(list.selectedRow()) != selected, true);

        list.clear();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.selectedRow(), -1);
        QCOMPARE(list.columnCaption(), QStringLiteral("Folder(s)"));
    }
};

QTEST_MAIN(TestListModel)
#include "tst_ListModel.moc"
