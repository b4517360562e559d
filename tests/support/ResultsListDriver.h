// SPDX-License-Identifier: MIT
// The main window with its results list at hand: rows to add and select,
// points to click, and the list's context menu to choose from.
#pragma once

#include "platform/qt/list/ListView.h"
#include "support/WindowDriver.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <vector>

class QMenu;

namespace vantorel::test
{

struct ResultsListDriver : WindowDriver {
    ListView* list() { return child<ListView>("ListView2"); }
    /// Where row `row` of the results is, in the list's viewport.
    QPoint rowPoint(int row);
    void select(const std::vector<int>& rows);
    /// Triggers the menu action of that caption for a point of the list.
    void choose(const QPoint& point, const QString& caption);
    /// Three rows of folders that need not exist: /work/alpha by its full
    /// path, then alpha-old and old alpha by name.
    void addRows();
};

/// The captions of a menu, "-" for a separator.
QStringList captionsOf(const QMenu& menu);

/// What the results list's context menu offers, in order.
inline const QStringList kResultsMenu
    = { "Open Folder", "Open Containing Folder", "Copy Path", "-", "Tick All", "Untick All" };

} // namespace vantorel::test
