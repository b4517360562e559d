// SPDX-License-Identifier: MIT
#include "shell/ResultsListActions.h"

#include "platform/qt/ListModel.h"
#include "platform/qt/ListView.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

namespace vantorel
{

ResultsListActions::ResultsListActions(ListView& view, ListModel& resultsModel,
    ListControl& results, ProgramLauncher& launcher, FileSystem& files, Clipboard& clipboard,
    MessageBoxes& boxes)
    : m_view(view)
    , m_results(results)
    , m_actions(results, launcher, files, clipboard, boxes)
{
    m_view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    resultsModel.setDraggable(true);
    m_view.setDragEnabled(true);
    m_view.setDragDropMode(QAbstractItemView::DragOnly);
    m_view.setDefaultDropAction(Qt::CopyAction);
    m_view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_view, &QWidget::customContextMenuRequested, this, &ResultsListActions::showMenu);
    m_view.installEventFilter(this);
}

ResultsListActions::~ResultsListActions() = default;

int ResultsListActions::rowAt(const QPoint& viewportPoint) const
{
    const QModelIndex under = m_view.indexAt(viewportPoint);
    if (under.isValid())
        return under.row();
    // The menu key: the point is wherever the pointer is, so the row the
    // keyboard is on stands in when it is selected.
    const QModelIndex current = m_view.currentIndex();
    const QItemSelectionModel* selection = m_view.selectionModel();
    if (current.isValid() && selection && selection->isRowSelected(current.row(), QModelIndex()))
        return current.row();
    return -1;
}

std::unique_ptr<QMenu> ResultsListActions::menuAt(const QPoint& viewportPoint)
{
    auto menu = std::make_unique<QMenu>(&m_view);
    menu->setObjectName(QStringLiteral("ResultsMenu"));
    const int row = rowAt(viewportPoint);
    const bool onRow = row >= 0;
    const bool anyRows = m_results.count() > 0;

    QAction* open = menu->addAction(
        QStringLiteral("Open Folder"), this, [this, row] { m_actions.openFolder(row); });
    QAction* openContaining = menu->addAction(QStringLiteral("Open Containing Folder"), this,
        [this, row] { m_actions.openContainingFolder(row); });
    QAction* copyPath = menu->addAction(QStringLiteral("Copy Path"), this, [this, row] {
        // The row under the pointer, with the others selected beside it.
        std::vector<int> rows = m_results.selectedRows();
        if (std::find(rows.begin(), rows.end(), row) == rows.end())
            rows = { row };
        m_actions.copyPaths(rows);
    });
    menu->addSeparator();
    QAction* tickAll
        = menu->addAction(QStringLiteral("Tick All"), this, [this] { m_actions.tickAll(); });
    QAction* untickAll
        = menu->addAction(QStringLiteral("Untick All"), this, [this] { m_actions.untickAll(); });

    for (QAction* action : { open, openContaining, copyPath })
        action->setEnabled(onRow);
    for (QAction* action : { tickAll, untickAll })
        action->setEnabled(anyRows);
    return menu;
}

void ResultsListActions::showMenu(const QPoint& viewportPoint)
{
    const std::unique_ptr<QMenu> menu = menuAt(viewportPoint);
    menu->exec(m_view.viewport()->mapToGlobal(viewportPoint));
}

bool ResultsListActions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        m_actions.copyTexts(m_results.selectedRows());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantorel
