// SPDX-License-Identifier: MIT
// The results list's context menu in the real window, offscreen: what it
// offers where, how a right-click opens it, and its copy and tick commands.
#include "platform/list/ListModel.h"
#include "platform/qt/list/ListView.h"
#include "shell/qt/Form1.h"
#include "shell/qt/Form1Usability.h"
#include "support/ModalBoxAnswerer.h"
#include "support/ResultsListDriver.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

using namespace vantorel;
using namespace vantorel::test;

namespace
{

using Window = ResultsListDriver;

QList<bool> enabledOf(const QMenu& menu)
{
    QList<bool> enabled;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator())
            enabled.append(action->isEnabled());
    }
    return enabled;
}

} // namespace

class TestResultsListMenu : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(!test::openBox()); }

    void theMenuOffersItsActionsWhereTheyApply()
    {
        Window w;
        const std::unique_ptr<QMenu> empty = w.form.usability().resultsList().menuAt(QPoint(5, 5));
        QCOMPARE(captionsOf(*empty), kResultsMenu);
        QCOMPARE(enabledOf(*empty), QList<bool>({ false, false, false, false, false }));

        w.addRows();
        const std::unique_ptr<QMenu> onRow = w.form.usability().resultsList().menuAt(w.rowPoint(1));
        QCOMPARE(captionsOf(*onRow), kResultsMenu);
        QCOMPARE(enabledOf(*onRow), QList<bool>({ true, true, true, true, true }));
        const QPoint belowRows(5, w.list()->viewport()->height() - 2);
        QVERIFY(!w.list()->indexAt(belowRows).isValid());
        const std::unique_ptr<QMenu> offRow = w.form.usability().resultsList().menuAt(belowRows);
        QCOMPARE(enabledOf(*offRow), QList<bool>({ false, false, false, true, true }));
    }

    void aRightClickOpensTheMenu()
    {
        Window w;
        w.addRows();
        QStringList seen;
        QTimer::singleShot(50, &w.form, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                seen = captionsOf(*menu);
                menu->close();
            }
        });
        QWidget* viewport = w.list()->viewport();
        const QPoint point = w.rowPoint(0);
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, viewport->mapToGlobal(point));
        QApplication::sendEvent(viewport, &event);
        QCOMPARE(seen, kResultsMenu);
    }

    void copyPathTakesTheSelectedRowsFullPaths()
    {
        Window w;
        w.addRows();
        w.select({ 0, 2 });
        w.choose(w.rowPoint(2), "Copy Path");
        QCOMPARE(QGuiApplication::clipboard()->text(),
            QStringLiteral("/work/alpha\n/work/beta/old alpha"));
        // A row outside the selection is taken alone.
        w.choose(w.rowPoint(1), "Copy Path");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/work/alpha/alpha-old"));
    }

    void tickAndUntickAll()
    {
        Window w;
        w.addRows();
        ListModel& rows = w.form.resultsModel();
        w.choose(w.rowPoint(0), "Tick All");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(rows.data(rows.index(i, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        w.choose(w.rowPoint(0), "Untick All");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(rows.data(rows.index(i, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }
};

QTEST_MAIN(TestResultsListMenu)
#include "tst_ResultsListMenu.moc"
