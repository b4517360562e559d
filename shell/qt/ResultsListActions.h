// SPDX-License-Identifier: MIT
#pragma once

#include "results/ResultActions.h"
#include "search/BusyState.h"

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <memory>
#include <vector>

class QKeyEvent;

namespace vantorel
{

class ListModel;
class ListView;

/// The results list's own actions in the window: its context menu (also on
/// Shift+F10 and the menu key, for the row the keyboard is on), Enter to open
/// that row's folder, Ctrl+C for the selected rows' texts, Space to tick or
/// untick several selected rows at once, a double-click to remove a row
/// (not while a search or a save runs), several rows selected at once, and rows dragged
/// out as the folders they name. It must die before the list and the services
/// it works on.
class ResultsListActions : public QObject
{
    Q_OBJECT

public:
    /// `busy` tells whether a command that walks the rows (a search, a
    /// save) is under way.
    ResultsListActions(ListView& view, ListModel& resultsModel, ListControl& results,
        ProgramLauncher& launcher, FileSystem& files, Clipboard& clipboard, MessageBoxes& boxes,
        const BusyState& busy);
    ~ResultsListActions() override;

    /// The context menu for a point of the list's viewport, not yet shown.
    /// Its actions work on the row under the point, if any, and on the
    /// selected rows.
    std::unique_ptr<QMenu> menuAt(const QPoint& viewportPoint);

    ResultActions& actions() { return m_actions; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<QMenu> menuFor(int row);
    void showMenu(const QPoint& viewportPoint);
    void showMenuAtCurrentRow();
    int rowAt(const QPoint& viewportPoint) const;
    void removeRow(int row);
    void tickSelected(const std::vector<int>& rows);
    /// Whether the key was the list's own action and is done with.
    bool keyPressed(const QKeyEvent& key);

    ListView& m_view;
    ListControl& m_results;
    const BusyState& m_busy;
    ResultActions m_actions;
};

} // namespace vantorel
