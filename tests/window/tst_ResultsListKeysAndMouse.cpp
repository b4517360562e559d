// SPDX-License-Identifier: MIT
// The results list in the real window, offscreen, under the keys and the
// mouse: Ctrl+C, Space over a selection, a double-click, the rows a drag
// takes, and where the view stands when a search adds rows.
#include "platform/controls/QtEventPump.h"
#include "platform/list/ListModel.h"
#include "platform/qt/list/ListView.h"
#include "platform/qt/list/QtListControl.h"
#include "shell/qt/Form1.h"
#include "support/FolderTreeFixture.h"
#include "support/ModalBoxAnswerer.h"
#include "support/ResultsListDriver.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace vantorel;
using namespace vantorel::test;

namespace
{
using Window = ResultsListDriver;
} // namespace

class TestResultsListKeysAndMouse : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(
            makeFolders(m_dir.path() + "/Work", { "alpha/alpha-old", "beta/old alpha", "docs" }));
    }
    void cleanup() { QVERIFY(!test::openBox()); }

    void ctrlCCopiesTheSelectedTextsAndNothingElse()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.addRows();
        QGuiApplication::clipboard()->setText("before");
        w.list()->setFocus();
        w.select({ 1, 2 });
        QTest::keyClick(w.list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("alpha-old\nold alpha"));
        // No row was ticked and no confirmation shown: that is the copy
        // command's, which is unchanged.
        for (int i = 0; i < 3; ++i)
            QVERIFY(!w.form.results().isChecked(i));
        QVERIFY(answerer.boxes.isEmpty());

        w.select({});
        QTest::keyClick(w.list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("alpha-old\nold alpha"));
    }

    void theSelectedRowsDragAsTheirFolders()
    {
        Window w;
        w.addRows();
        QVERIFY(w.list()->dragEnabled());
        QCOMPARE(w.list()->dragDropMode(), QAbstractItemView::DragOnly);
        w.select({ 2, 1 });
        const QModelIndexList selected = w.list()->selectionModel()->selectedIndexes();
        const std::unique_ptr<QMimeData> data(w.form.resultsModel().mimeData(selected));
        QVERIFY(data);
        QCOMPARE(data->urls(),
            QList<QUrl>({ QUrl::fromLocalFile("/work/alpha/alpha-old"),
                QUrl::fromLocalFile("/work/beta/old alpha") }));
        QCOMPARE(data->text(), QStringLiteral("/work/alpha/alpha-old\n/work/beta/old alpha"));
        // The locations list is no drag source.
        auto* locations = w.form.findChild<ListView*>(QStringLiteral("ListView1"));
        QVERIFY(!locations->dragEnabled());
        QCOMPARE(locations->selectionMode(), QAbstractItemView::SingleSelection);
    }

    /// Space with several rows selected ticks them all, or unticks them all
    /// when all are ticked; the rows left out keep their marks.
    void spaceTicksEverySelectedRow()
    {
        Window w;
        w.addRows();
        w.form.results().append("fourth");
        w.form.pump().pump();
        w.form.results().setChecked(1, true);
        w.list()->setFocus();
        w.list()->setCurrentIndex(w.form.resultsModel().index(0, 0));
        QTest::keyClick(w.list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(w.list(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(w.form.results().selectedRows(), std::vector<int>({ 0, 1, 2 }));
        const auto ticks = [&] {
            QList<bool> marks;
            for (int i = 0; i < w.form.results().count(); ++i)
                marks << w.form.results().isChecked(i);
            return marks;
        };
        QTest::keyClick(w.list(), Qt::Key_Space);
        QCOMPARE(ticks(), QList<bool>({ true, true, true, false }));
        QTest::keyClick(w.list(), Qt::Key_Space);
        QCOMPARE(ticks(), QList<bool>({ false, false, false, false }));
        QTest::keyClick(w.list(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w.list(), Qt::Key_Space);
        QCOMPARE(ticks(), QList<bool>({ true, true, true, true }));
    }

    /// A double-click removes the result row it falls on, as the tooltip
    /// says; not one on the row's tick box, nor one while a search or a save
    /// runs.
    void aDoubleClickRemovesTheRow()
    {
        ModalBoxAnswerer answerer;
        Window w;
        w.addRows();
        QWidget* viewport = w.list()->viewport();
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, w.rowPoint(1));
        QCOMPARE(w.results(), QStringList({ "/work/alpha", "old alpha" }));

        const QRect row = w.list()->visualRect(w.form.resultsModel().index(0, 0));
        const QStyle* style = w.list()->style();
        const QPoint tickBox(row.left() + style->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1
                + style->pixelMetric(QStyle::PM_IndicatorWidth) / 2,
            row.center().y());
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, tickBox);
        QCOMPARE(w.results().size(), 2);

        w.form.locations().append(m_dir.path() + "/Work");
        w.form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText("alpha");
        QString captionInside;
        QTimer::singleShot(0, &w.form, [&] {
            captionInside = w.button("PushButton1")->text();
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, w.rowPoint(0));
        });
        QTest::mouseClick(w.button("PushButton1"), Qt::LeftButton);
        QCOMPARE(captionInside, QStringLiteral("Stop"));
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QCOMPARE(w.results().mid(0, 2), QStringList({ "/work/alpha", "old alpha" }));
        QCOMPARE(w.results().size(), 5);

        // Nor in the middle of a save, which writes the rows it began with.
        QTemporaryDir out;
        answerer.fileChoices = { out.filePath("saved.txt") };
        bool clicked = false;
        QTimer inSave;
        inSave.callOnTimeout(&w.form, [&] {
            if (clicked || w.form.cursor().shape() != Qt::WaitCursor || test::openBox())
                return;
            clicked = true;
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, w.rowPoint(0));
        });
        inSave.start(0);
        w.click("PushButton2");
        QVERIFY(clicked);
        QCOMPARE(answerer.texts(), QStringList({ "Done.", "Done." }));
        QCOMPARE(w.results().size(), 5);
        QFile saved(out.filePath("saved.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll().count("\r\n"), 5);
    }

    /// A search that adds to rows already listed brings its first row into
    /// view, once: the rows after it leave the view where it is. Clear
    /// Results gives the list a new row header, which learns of new rows
    /// after everything else that watches the rows.
    void aNewSearchsFirstRowIsBroughtIntoView_data()
    {
        QTest::addColumn<bool>("clearedFirst");
        QTest::addColumn<int>("earlier");
        QTest::newRow("rows listed before") << false << 50;
        QTest::newRow("after Clear Results") << true << 50;
    }
    void aNewSearchsFirstRowIsBroughtIntoView()
    {
        QFETCH(bool, clearedFirst);
        QFETCH(int, earlier);
        ModalBoxAnswerer answerer;
        QTemporaryDir dir;
        QStringList hits;
        for (int i = 0; i < 20; ++i)
            hits << QStringLiteral("hit%1").arg(i);
        QVERIFY(makeFolders(dir.path(), hits));
        Window w;
        if (clearedFirst)
            w.click("PushButton6");
        for (int i = 0; i < earlier; ++i)
            w.form.results().append(QStringLiteral("earlier %1").arg(i));
        w.form.pump().pump();
        const auto inView = [&](int row) {
            const QRect rect = w.list()->visualRect(w.form.resultsModel().index(row, 0));
            return w.list()->viewport()->rect().contains(rect);
        };
        QVERIFY(inView(0));
        w.search(dir.path(), "hit");
        QCOMPARE(answerer.texts(), QStringList { "Done." });
        QCOMPARE(w.results().size(), earlier + 20);
        // Once the window has shown the rows.
        QTRY_VERIFY(inView(earlier));
        QVERIFY(!inView(earlier + 19));
    }
};

QTEST_MAIN(TestResultsListKeysAndMouse)
#include "tst_ResultsListKeysAndMouse.moc"
