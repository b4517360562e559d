// SPDX-License-Identifier: MIT
#include "support/ResultsListDriver.h"

#include "platform/controls/QtEventPump.h"
#include "platform/list/ListModel.h"
#include "platform/qt/list/QtListControl.h"
#include "shell/qt/Form1Usability.h"

#include <QMenu>
#include <QTest>

namespace vantorel::test
{

QPoint ResultsListDriver::rowPoint(int row)
{
    form.pump().pump();
    return list()->visualRect(form.resultsModel().index(row, 0)).center();
}

void ResultsListDriver::select(const std::vector<int>& rows)
{
    QItemSelectionModel* selection = list()->selectionModel();
    selection->clearSelection();
    for (int row : rows)
        selection->select(form.resultsModel().index(row, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void ResultsListDriver::choose(const QPoint& point, const QString& caption)
{
    const std::unique_ptr<QMenu> menu = form.usability().resultsList().menuAt(point);
    for (QAction* action : menu->actions()) {
        if (action->text() == caption) {
            QVERIFY2(action->isEnabled(), qPrintable(caption));
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable("no action " + caption));
}

void ResultsListDriver::addRows()
{
    QtListControl& results = form.results();
    results.appendFolder("/work/alpha", 5, true);
    results.appendFolder("/work/alpha/alpha-old", 9, false);
    results.appendFolder("/work/beta/old alpha", 9, false);
    form.pump().pump();
}

QStringList captionsOf(const QMenu& menu)
{
    QStringList captions;
    for (const QAction* action : menu.actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

} // namespace vantorel::test
