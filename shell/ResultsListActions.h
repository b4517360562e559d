// SPDX-License-Identifier: MIT
#pragma once

#include "results/ResultActions.h"

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <memory>

namespace vantorel
{

class ListModel;
class ListView;

/// The results list's own actions in the window: its context menu, Ctrl+C for
/// the selected rows' texts, several rows selected at once, and rows dragged
/// out as the folders they name. It must die before the list and the services
/// it works on.
class ResultsListActions : public QObject
{
    Q_OBJECT

public:
    ResultsListActions(ListView& view, ListModel& resultsModel, ListControl& results,
        ProgramLauncher& launcher, FileSystem& files, Clipboard& clipboard, MessageBoxes& boxes);
    ~ResultsListActions() override;

    /// The context menu for a point of the list's viewport, not yet shown.
    /// Its actions work on the row under the point (or, when there is none,
    /// the current row if it is selected) and on the selected rows.
    std::unique_ptr<QMenu> menuAt(const QPoint& viewportPoint);

    ResultActions& actions() { return m_actions; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMenu(const QPoint& viewportPoint);
    int rowAt(const QPoint& viewportPoint) const;

    ListView& m_view;
    ListControl& m_results;
    ResultActions m_actions;
};

} // namespace vantorel
