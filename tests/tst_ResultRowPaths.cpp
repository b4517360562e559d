// SPDX-License-Identifier: MIT
// The full path kept beside a row's text, in the compact store and the model,
// and the rows as they leave the list: selected, ticked, dragged.
#include "platform/qt/ListModel.h"
#include "platform/qt/ListView.h"
#include "platform/qt/QtListControl.h"
#include "platform/qt/RowTextStore.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

using namespace vantorel;

namespace {

struct Row
{
    QString text;
    QString path; ///< what fullPath() must give
};

/// A mix of every kind of row: full paths, names under their paths, texts
/// unrelated to their paths, wide characters in the name or in the parent.
Row mixedRow(int i)
{
    const QString parent = QStringLiteral("/home/user/projects/row-%1%2")
                               .arg(i)
                               .arg(i % 9 == 4 ? QStringLiteral("/\u65e5\u672c") : QString());
    const QString name = QStringLiteral("folder-%1%2").arg(i).arg(
        i % 7 == 3 ? QStringLiteral("-\U0001F600") : i % 5 == 1 ? QStringLiteral("-caf\u00e9")
                                                                : QString());
    const QString path = parent + '/' + name;
    switch (i % 4) {
    case 0: return {path, path};
    case 1: return {name, path};
    case 2: return {QStringLiteral("not a part of it %1").arg(i), path};
    default: return {i % 8 == 3 ? QString() : name, i % 8 == 3 ? QString() : path};
    }
}

QStringList textsOf(const RowTextStore& store)
{
    QStringList result;
    for (int i = 0; i < store.size(); ++i)
        result.append(store.text(i));
    return result;
}

QStringList pathsOf(const RowTextStore& store)
{
    QStringList result;
    for (int i = 0; i < store.size(); ++i)
        result.append(store.fullPath(i));
    return result;
}

} // namespace

class TestResultRowPaths : public QObject
{
    Q_OBJECT

private slots:
    void eachKindOfRowKeepsItsTextAndPath_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expectedPath");
        QTest::newRow("full path") << "/work/alpha" << "/work/alpha" << "/work/alpha";
        QTest::newRow("name of its path") << "alpha-old" << "/work/alpha/alpha-old"
                                          << "/work/alpha/alpha-old";
        QTest::newRow("no path given") << "alpha" << QString() << "alpha";
        QTest::newRow("text not in the path") << "elsewhere" << "/work/alpha"
                                              << "/work/alpha";
        QTest::newRow("text inside but not at the end") << "work" << "/work/alpha"
                                                        << "/work/alpha";
        QTest::newRow("wide name, narrow parent") << "\u65e5\u672c" << "/work/\u65e5\u672c"
                                                  << "/work/\u65e5\u672c";
        QTest::newRow("narrow name, wide parent") << "old" << "/\u00e9t\u00e9/\u65e5/old"
                                                  << "/\u00e9t\u00e9/\u65e5/old";
        QTest::newRow("name with blanks") << " old alpha " << "/work/ old alpha "
                                          << "/work/ old alpha ";
        QTest::newRow("empty text") << QString() << "/work/" << "/work/";
        QTest::newRow("both empty") << QString() << QString() << QString();
    }
    void eachKindOfRowKeepsItsTextAndPath()
    {
        QFETCH(QString, text);
        QFETCH(QString, path);
        QFETCH(QString, expectedPath);
        RowTextStore store;
        store.append(QStringLiteral("before"));
        store.append(text, path);
        store.append(QStringLiteral("after"), QStringLiteral("/x/after"));
        QCOMPARE(textsOf(store), QStringList({"before", text, "after"}));
        QCOMPARE(pathsOf(store), QStringList({"before", expectedPath, "/x/after"}));
        store.setChecked(1, true);
        QCOMPARE(store.text(1), text);
        QCOMPARE(store.fullPath(1), expectedPath);
        QVERIFY(store.isChecked(1));
    }

    void removalKeepsEveryRowsPath_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("percentRemoved");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("small, half") << 300 << 50 << 11u;
        QTest::newRow("several chunks, a third") << 40000 << 33 << 12u;
        QTest::newRow("several chunks, nearly all") << 40000 << 98 << 13u;
    }
    void removalKeepsEveryRowsPath()
    {
        QFETCH(int, rows);
        QFETCH(int, percentRemoved);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        RowTextStore store;
        QStringList texts;
        QStringList paths;
        for (int i = 0; i < rows; ++i) {
            const Row row = mixedRow(i);
            store.append(row.text, row.path);
            texts.append(row.text);
            paths.append(row.path.isEmpty() ? row.text : row.path);
        }
        std::vector<int> positions;
        for (int i = 0; i < rows; ++i) {
            if (int(random.bounded(100)) < percentRemoved)
                positions.push_back(i);
        }
        for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
            texts.removeAt(*it);
            paths.removeAt(*it);
        }
        store.removeRows(positions);
        QCOMPARE(textsOf(store), texts);
        QCOMPARE(pathsOf(store), paths);
        store.append(QStringLiteral("later"), QStringLiteral("/x/later"));
        QCOMPARE(store.fullPath(store.size() - 1), QStringLiteral("/x/later"));
    }

    void aNameShownAloneIsHeldOnce()
    {
        // A name under its path costs the path and a 4-byte header, nothing
        // more: the name is read from the path's end.
        RowTextStore names;
        RowTextStore paths;
        for (int i = 0; i < 20000; ++i) {
            const QString path = QStringLiteral("/home/user/archive-%1/reports/final-%1").arg(i);
            names.append(path.mid(path.lastIndexOf('/') + 1), path);
            paths.append(path);
        }
        QCOMPARE(names.usedBytes(), paths.usedBytes() + 20000 * 4);
        QCOMPARE(names.fullPath(19999), QStringLiteral("/home/user/archive-19999/reports/final-19999"));
        QCOMPARE(names.text(19999), QStringLiteral("final-19999"));
    }

    void modelGivesPathsAndTicksAllAtOnce()
    {
        ListModel model(true);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.append(QStringLiteral("alpha-old"), QStringLiteral("/work/alpha/alpha-old"));
        model.append(QStringLiteral("/work/beta"));
        model.flushPending();
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("alpha-old"));
        QCOMPARE(model.fullPath(0), QStringLiteral("/work/alpha/alpha-old"));
        QCOMPARE(model.fullPath(1), QStringLiteral("/work/beta"));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setAllChecked(true);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex(), model.index(0, 0));
        QCOMPARE(changed[0][1].toModelIndex(), model.index(1, 0));
        QVERIFY(model.isChecked(0) && model.isChecked(1));
        model.setAllChecked(false);
        QVERIFY(!model.isChecked(0) && !model.isChecked(1));
    }

    void draggedRowsAreTheirFoldersInListOrder()
    {
        ListModel model(true);
        model.setDraggable(true);
        model.append(QStringLiteral("/work/alpha"), QStringLiteral("/work/alpha"));
        model.append(QStringLiteral("alpha-old"), QStringLiteral("/work/alpha/alpha-old"));
        model.append(QStringLiteral("old alpha"), QStringLiteral("/work/b\u00e9ta/old alpha"));
        model.flushPending();
        QVERIFY(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsDragEnabled));
        QCOMPARE(model.mimeTypes(), QStringList({"text/uri-list", "text/plain"}));
        QVERIFY(model.supportedDragActions().testFlag(Qt::CopyAction));
        QVERIFY(!model.supportedDragActions().testFlag(Qt::MoveAction));

        // Selected out of order and twice over: each row once, in list order.
        const std::unique_ptr<QMimeData> data(model.mimeData(
            {model.index(2, 0), model.index(1, 0), model.index(2, 0)}));
        QVERIFY(data);
        QCOMPARE(data->urls(), QList<QUrl>({QUrl::fromLocalFile("/work/alpha/alpha-old"),
                                            QUrl::fromLocalFile("/work/b\u00e9ta/old alpha")}));
        QCOMPARE(QString::fromUtf8(data->data("text/uri-list")).split("\r\n", Qt::SkipEmptyParts),
                 QStringList({"file:///work/alpha/alpha-old", "file:///work/b%C3%A9ta/old%20alpha"}));
        QCOMPARE(data->text(), QStringLiteral("/work/alpha/alpha-old\n/work/b\u00e9ta/old alpha"));
        QVERIFY(!model.mimeData({}));
    }

    void aListNotMadeDraggableKeepsItsRows()
    {
        ListModel model(false);
        model.append(QStringLiteral("/work"));
        model.flushPending();
        QVERIFY(!model.flags(model.index(0, 0)).testFlag(Qt::ItemIsDragEnabled));
    }

    void controlGivesEverySelectedRowAscending()
    {
        ListModel model(true);
        ListView view;
        view.setModel(&model);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        QtListControl control(model, view);
        for (int i = 0; i < 5; ++i)
            control.appendWithPath(QStringLiteral("n%1").arg(i), QStringLiteral("/p/n%1").arg(i));
        model.flushPending();
        QCOMPARE(control.selectedRows(), std::vector<int>());
        QItemSelectionModel* selection = view.selectionModel();
        const auto flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
        selection->select(model.index(3, 0), flags);
        selection->select(model.index(0, 0), flags);
        selection->select(model.index(4, 0), flags);
        QCOMPARE(control.selectedRows(), std::vector<int>({0, 3, 4}));
        QCOMPARE(control.fullPath(3), QStringLiteral("/p/n3"));
        QCOMPARE(control.text(3), QStringLiteral("n3"));
        control.setAllChecked(true);
        for (int i = 0; i < 5; ++i)
            QVERIFY(control.isChecked(i));
    }
};

QTEST_MAIN(TestResultRowPaths)
#include "tst_ResultRowPaths.moc"
