// SPDX-License-Identifier: MIT
#include "shell/qt/ResultsListActions.h"

#include "platform/Failure.h"
#include "platform/list/ListModel.h"
#include "platform/qt/list/ListView.h"
#include "shell/common/WindowText.h"

#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

namespace vantorel
{

namespace
{

    bool isEnter(const QKeyEvent& key)
    {
        return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
            && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    }

} // namespace

ResultsListActions::ResultsListActions(ListView& view, ListModel& resultsModel,
    ListControl& results, ProgramLauncher& launcher, FileSystem& files, Clipboard& clipboard,
    MessageBoxes& boxes, const BusyState& busy)
    : m_view(view)
    , m_results(results)
    , m_busy(busy)
    , m_actions(results, launcher, files, clipboard, boxes)
{
    m_view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    resultsModel.setDraggable(true);
    m_view.setDragEnabled(true);
    m_view.setDragDropMode(QAbstractItemView::DragOnly);
    m_view.setDefaultDropAction(Qt::CopyAction);
    m_view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&m_view, &QWidget::customContextMenuRequested, this, &ResultsListActions::showMenu);
    connect(&m_view, &ListView::rowDoubleClicked, this, &ResultsListActions::removeRow);
    m_view.installEventFilter(this);
}

ResultsListActions::~ResultsListActions() = default;

int ResultsListActions::rowAt(const QPoint& viewportPoint) const
{
    const QModelIndex under = m_view.indexAt(viewportPoint);
    return under.isValid() ? under.row() : -1;
}

std::unique_ptr<QMenu> ResultsListActions::menuAt(const QPoint& viewportPoint)
{
    return menuFor(rowAt(viewportPoint));
}

std::unique_ptr<QMenu> ResultsListActions::menuFor(int row)
{
    auto menu = std::make_unique<QMenu>(&m_view);
    menu->setObjectName(QStringLiteral("ResultsMenu"));
    const bool onRow = row >= 0;
    const bool anyRows = m_results.count() > 0;

    QAction* open = menu->addAction(
        WindowText::tr("Open Folder"), this, [this, row] { m_actions.openFolder(row); });
    //: Opens the folder that holds the row's folder, with that folder selected.
    QAction* openContaining = menu->addAction(WindowText::tr("Open Containing Folder"), this,
        [this, row] { m_actions.openContainingFolder(row); });
    QAction* copyPath = menu->addAction(WindowText::tr("Copy Path"), this, [this, row] {
        // The row under the pointer, with the others selected beside it.
        std::vector<int> rows = m_results.selectedRows();
        if (std::find(rows.begin(), rows.end(), row) == rows.end())
            rows = { row };
        m_actions.copyPaths(rows);
    });
    menu->addSeparator();
    //: Sets every row's check mark.
    QAction* tickAll
        = menu->addAction(WindowText::tr("Tick All"), this, [this] { m_actions.tickAll(); });
    //: Clears every row's check mark.
    QAction* untickAll
        = menu->addAction(WindowText::tr("Untick All"), this, [this] { m_actions.untickAll(); });

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

// Shift+F10 and the menu key: the menu of the row the keyboard is on, beside
// it, wherever the pointer is.
void ResultsListActions::showMenuAtCurrentRow()
{
    const QModelIndex current = m_view.currentIndex();
    QPoint point = m_view.viewport()->rect().topLeft();
    if (current.isValid()) {
        m_view.scrollTo(current);
        point = m_view.visualRect(current).center();
    }
    const std::unique_ptr<QMenu> menu = menuFor(current.isValid() ? current.row() : -1);
    // Its first entry highlighted, as menus opened from the keyboard are:
    // Return then acts at once.
    const QList<QAction*> actions = menu->actions();
    const auto first = std::find_if(actions.begin(), actions.end(),
        [](const QAction* action) { return action->isEnabled() && !action->isSeparator(); });
    if (first != actions.end())
        menu->setActiveAction(*first);
    menu->exec(m_view.viewport()->mapToGlobal(point));
}

// Rows come and go under a running search's pointer, and a save reads each
// row where it stood when it began: a double-click then removes nothing, as
// in the locations list.
void ResultsListActions::removeRow(int row)
{
    if (m_busy.isBusy())
        return;
    try {
        m_results.removeAt(row);
    } catch (const Failure&) {
        // The row went between the click and now: nothing is left to remove.
    }
}

// All ticked: Space unticks them all; otherwise it ticks them all.
void ResultsListActions::tickSelected(const std::vector<int>& rows)
{
    const bool tick = !std::all_of(
        rows.begin(), rows.end(), [this](int row) { return m_results.isChecked(row); });
    if (int(rows.size()) == m_results.count()) {
        m_results.setAllChecked(tick);
        return;
    }
    for (int row : rows)
        m_results.setChecked(row, tick);
}

bool ResultsListActions::keyPressed(const QKeyEvent& key)
{
    if (key.matches(QKeySequence::Copy)) {
        m_actions.copyTexts(m_results.selectedRows());
        return true;
    }
    if (isEnter(key)) {
        // Held down, it would open the folder again and again.
        const QModelIndex current = m_view.currentIndex();
        if (current.isValid() && !key.isAutoRepeat())
            m_actions.openFolder(current.row());
        return true;
    }
    if (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier) {
        showMenuAtCurrentRow();
        return true;
    }
    if (key.key() == Qt::Key_Space && key.modifiers() == Qt::NoModifier) {
        const std::vector<int> rows = m_results.selectedRows();
        if (rows.size() < 2)
            return false; // the list's own Space ticks the current row
        tickSelected(rows);
        return true;
    }
    return false;
}

bool ResultsListActions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view) {
        if (event->type() == QEvent::KeyPress && keyPressed(*static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::ContextMenu
            && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
            showMenuAtCurrentRow();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantorel
