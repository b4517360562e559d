// SPDX-License-Identifier: MIT
// The full path kept beside a row's text, in the compact store and the model,
// and the rows as they leave the list: selected, ticked, dragged.
#include "platform/list/ListModel.h"
#include "platform/list/RowTextStore.h"
#include "platform/qt/list/ListView.h"
#include "platform/qt/list/QtListControl.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

using namespace vantorel;

namespace
{

std::string_view view(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

/// Appends the folder at `path` as the walk does, named by what follows its last "/".
template <class List> void appendFolder(List& list, const QByteArray& path, bool showFullPath)
{
    const qsizetype name = path.size() - path.lastIndexOf('/') - 1;
    list.appendFolder(view(path), std::size_t(name), showFullPath);
}

struct Row {
    QByteArray path; ///< empty for a text row
    bool showFullPath = false;
    QString text; ///< of a text row
};

/// The rows a depth-first walk of a tree with every kind of name appends,
/// names and full paths mixed, with a text row now and then.
std::vector<Row> walkedRows(int count)
{
    std::vector<Row> rows;
    QByteArray parent = "/home/user";
    for (int i = 0; i < count; ++i) {
        if (i % 13 == 12) {
            rows.push_back({ QByteArray(), false, QStringLiteral("text \u65e5 %1").arg(i) });
            continue;
        }
        if (i % 5 == 0)
            parent = "/home/user/r" + QByteArray::number(i);
        QByteArray name = "folder-" + QByteArray::number(i);
        if (i % 7 == 3)
            name += "-\xe6\x97\xa5";
        else if (i % 11 == 4)
            name += "-\xff\xfe";
        parent += '/' + name;
        rows.push_back({ parent, i % 3 == 0, QString() });
    }
    return rows;
}

QString shownText(const Row& row)
{
    if (row.path.isEmpty())
        return row.text;
    return QFile::decodeName(
        row.showFullPath ? row.path : row.path.mid(row.path.lastIndexOf('/') + 1));
}

QStringList textsOf(const RowTextStore& store)
{
    QStringList result;
    for (int i = 0; i < store.size(); ++i)
        result.append(store.text(i));
    return result;
}

QList<QByteArray> pathsOf(const RowTextStore& store)
{
    QList<QByteArray> result;
    for (int i = 0; i < store.size(); ++i)
        result.append(store.nativePath(i));
    return result;
}

} // namespace

class TestResultRowPaths : public QObject
{
    Q_OBJECT

private slots:
    void eachKindOfFolderKeepsItsBytes_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("showFullPath");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("full path")
            << QByteArray("/work/alpha") << true << "/work/alpha" << QByteArray();
        QTest::newRow("name") << QByteArray("/work/alpha/alpha-old") << false << "alpha-old"
                              << QByteArray();
        QTest::newRow("wide name")
            << QByteArray("/work/\xe6\x97\xa5") << false << "\u65e5" << QByteArray();
        QTest::newRow("name with blanks")
            << QByteArray("/work/ old alpha ") << false << " old alpha " << QByteArray();
        QTest::newRow("below the root") << QByteArray("/alpha") << false << "alpha" << QByteArray();
        QTest::newRow("double separator")
            << QByteArray("//work//alpha") << true << "//work//alpha" << QByteArray();
        QTest::newRow("name not text") << QByteArray("/work/bad\xff\xfename") << false
                                       << "bad\ufffd\ufffdname" << QByteArray("bad\xff\xfename");
        QTest::newRow("parent not text, name shown")
            << QByteArray("/work/\xff/alpha") << false << "alpha" << QByteArray();
        QTest::newRow("parent not text, path shown")
            << QByteArray("/work/\xff/alpha") << true << "/work/\ufffd/alpha"
            << QByteArray("/work/\xff/alpha");
    }
    void eachKindOfFolderKeepsItsBytes()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, showFullPath);
        QFETCH(QString, text);
        QFETCH(QByteArray, raw);
        RowTextStore store;
        store.append(QStringLiteral("before"));
        appendFolder(store, path, showFullPath);
        appendFolder(store, "/x/after", false);
        QCOMPARE(textsOf(store), QStringList({ "before", text, "after" }));
        QCOMPARE(pathsOf(store), QList<QByteArray>({ "before", path, "/x/after" }));
        QCOMPARE(store.fullPath(1), QFile::decodeName(path));
        QCOMPARE(store.rawText(1), raw);
        QVERIFY(store.rawText(0).isNull());
        store.setChecked(1, true);
        QCOMPARE(store.text(1), text);
        QVERIFY(store.isChecked(1));
    }

    void foldersThatDifferInBytesStayApart()
    {
        // Both show as the same text; each keeps its own folder.
        RowTextStore store;
        appendFolder(store, "/work/bad\xff\xfename", false);
        appendFolder(store, "/work/bad\xfe\xffname", false);
        appendFolder(store, "/work/bad\xfe\xffname/in", true);
        QCOMPARE(store.text(0), store.text(1));
        QCOMPARE(pathsOf(store),
            QList<QByteArray>(
                { "/work/bad\xff\xfename", "/work/bad\xfe\xffname", "/work/bad\xfe\xffname/in" }));
        QCOMPARE(store.rawText(0), QByteArray("bad\xff\xfename"));
        QCOMPARE(store.rawText(1), QByteArray("bad\xfe\xffname"));
    }

    void removalKeepsEveryRowsFolder_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("percentRemoved");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("small, half") << 300 << 50 << 11u;
        QTest::newRow("several chunks, a third") << 60000 << 33 << 12u;
        QTest::newRow("several chunks, nearly all") << 60000 << 98 << 13u;
    }
    void removalKeepsEveryRowsFolder()
    {
        QFETCH(int, rows);
        QFETCH(int, percentRemoved);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        RowTextStore store;
        QStringList texts;
        QList<QByteArray> paths;
        for (const Row& row : walkedRows(rows)) {
            if (row.path.isEmpty()) {
                store.append(row.text);
                paths.append(QFile::encodeName(row.text));
            } else {
                appendFolder(store, row.path, row.showFullPath);
                paths.append(row.path);
            }
            texts.append(shownText(row));
        }
        QCOMPARE(textsOf(store), texts);
        std::vector<int> positions;
        for (int i = 0; i < rows; ++i) {
            if (int(random.bounded(100)) < percentRemoved)
                positions.push_back(i);
        }
        for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
            texts.removeAt(*it);
            paths.removeAt(*it);
        }
        const std::size_t before = store.usedBytes();
        store.removeRows(positions);
        QCOMPARE(textsOf(store), texts);
        QCOMPARE(pathsOf(store), paths);
        QVERIFY(store.usedBytes() < before);
        // The walk goes on below a folder whose rows were removed.
        appendFolder(store, paths.value(paths.size() - 1, "/x") + "/later", false);
        QCOMPARE(store.text(store.size() - 1), QStringLiteral("later"));
        QCOMPARE(
            store.nativePath(store.size() - 1), paths.value(paths.size() - 1, "/x") + "/later");
    }

    void aDeepTreeHoldsEachNameOnce_data()
    {
        QTest::addColumn<bool>("showFullPath");
        QTest::newRow("names") << false;
        QTest::newRow("full paths") << true;
    }
    void aDeepTreeHoldsEachNameOnce()
    {
        // Folders nested one in the other, each a match: a row's path is its
        // parent's and its own name, so the store grows with the names, not
        // with the square of the depth.
        QFETCH(bool, showFullPath);
        constexpr int kLevels = 2000;
        RowTextStore store;
        QByteArray path = "/deep";
        for (int level = 0; level < kLevels; ++level) {
            QByteArray name = QByteArray::number(level) + '-';
            name += QByteArray(255 - name.size(), 'n');
            path += '/' + name;
            appendFolder(store, path, showFullPath);
        }
        QVERIFY2(store.usedBytes() <= std::size_t(kLevels) * (256 + 8) + 64,
            QByteArray::number(qulonglong(store.usedBytes())));
        QCOMPARE(store.nativePath(kLevels - 1), path);
        QCOMPARE(store.text(kLevels - 1).size(), showFullPath ? path.size() : 255);

        // The rows below the first half go; the first half's folders stay.
        std::vector<int> lower;
        for (int level = kLevels / 2; level < kLevels; ++level)
            lower.push_back(level);
        store.removeRows(lower);
        QVERIFY(store.usedBytes() <= std::size_t(kLevels / 2) * (256 + 8) + 64);
        QCOMPARE(store.nativePath(kLevels / 2 - 1), path.left(5 + (kLevels / 2) * 256));
        store.clear();
        QCOMPARE(store.arenaBytes(), std::size_t(0));
    }

    void aFolderOfAnotherTreeSharesWhatItCan()
    {
        RowTextStore store;
        appendFolder(store, "/a/b/c", false);
        appendFolder(store, "/a/b/d", false);
        const std::size_t two = store.usedBytes();
        appendFolder(store, "/a/b/e", false); // shares "/a" and "/b"
        QCOMPARE(store.usedBytes() - two, std::size_t(6 + 2));
        appendFolder(store, "/a/x/e", false); // shares "/a"
        QCOMPARE(store.usedBytes() - two, std::size_t(2 * (6 + 2) + 6 + 2));
        QCOMPARE(pathsOf(store), QList<QByteArray>({ "/a/b/c", "/a/b/d", "/a/b/e", "/a/x/e" }));
    }

    void modelGivesPathsAndTicksAllAtOnce()
    {
        ListModel model(true);
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        appendFolder(model, "/work/alpha/alpha-old", false);
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
        appendFolder(model, "/work/alpha", true);
        appendFolder(model, "/work/alpha/alpha-old", false);
        appendFolder(model, "/work/b\xc3\xa9ta/old alpha", false);
        appendFolder(model, "/work/bad\xff\xfename", false);
        model.flushPending();
        QVERIFY(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsDragEnabled));
        QCOMPARE(model.mimeTypes(), QStringList({ "text/uri-list", "text/plain" }));
        QVERIFY(model.supportedDragActions().testFlag(Qt::CopyAction));
        QVERIFY(!model.supportedDragActions().testFlag(Qt::MoveAction));

        // Selected out of order and twice over: each row once, in list order.
        const std::unique_ptr<QMimeData> data(
            model.mimeData({ model.index(2, 0), model.index(1, 0), model.index(2, 0) }));
        QVERIFY(data);
        QCOMPARE(data->urls(),
            QList<QUrl>({ QUrl::fromLocalFile("/work/alpha/alpha-old"),
                QUrl::fromLocalFile("/work/b\u00e9ta/old alpha") }));
        QCOMPARE(QString::fromUtf8(data->data("text/uri-list")).split("\r\n", Qt::SkipEmptyParts),
            QStringList({ "file:///work/alpha/alpha-old", "file:///work/b%C3%A9ta/old%20alpha" }));
        QCOMPARE(data->text(), QStringLiteral("/work/alpha/alpha-old\n/work/b\u00e9ta/old alpha"));
        QVERIFY(!model.mimeData({}));

        // A name that is not text goes out as its bytes; the text shows what the list shows.
        const std::unique_ptr<QMimeData> bad(model.mimeData({ model.index(3, 0) }));
        QCOMPARE(bad->data("text/uri-list").trimmed(), QByteArray("file:///work/bad%FF%FEname"));
        QCOMPARE(bad->text(), QStringLiteral("/work/bad\ufffd\ufffdname"));
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
            appendFolder(control, "/p/n" + QByteArray::number(i), false);
        model.flushPending();
        QCOMPARE(control.selectedRows(), std::vector<int>());
        QItemSelectionModel* selection = view.selectionModel();
        const auto flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
        selection->select(model.index(3, 0), flags);
        selection->select(model.index(0, 0), flags);
        selection->select(model.index(4, 0), flags);
        QCOMPARE(control.selectedRows(), std::vector<int>({ 0, 3, 4 }));
        QCOMPARE(control.fullPath(3), QStringLiteral("/p/n3"));
        QCOMPARE(control.text(3), QStringLiteral("n3"));
        control.setAllChecked(true);
        for (int i = 0; i < 5; ++i)
            QVERIFY(control.isChecked(i));
    }
};

QTEST_MAIN(TestResultRowPaths)
#include "tst_ResultRowPaths.moc"
