// SPDX-License-Identifier: MIT
#include "shell/qt/FirstNewRowInView.h"

#include "platform/list/ListModel.h"
#include "platform/qt/list/ListView.h"

namespace vantorel
{

FirstNewRowInView::FirstNewRowInView(ListView& view, ListModel& model)
    : m_view(view)
    , m_model(model)
{
    connect(&m_model, &QAbstractItemModel::rowsInserted, this,
        [this](const QModelIndex&, int first, int) { rowsAdded(first); });
}

void FirstNewRowInView::searchRuns(bool runs)
{
    // Rows appended before the search but not yet shown are not its own.
    if (runs)
        m_model.flushPending();
    m_waiting = runs && m_model.rowCount() > 0;
}

void FirstNewRowInView::rowsAdded(int first)
{
    if (!m_waiting)
        return;
    m_waiting = false;
    // Later, once every watcher of the rows has heard of them: a row header
    // made anew by a reset hears last, and until it has, the view places the
    // new rows nowhere.
    m_firstNew = first;
    QMetaObject::invokeMethod(this, &FirstNewRowInView::bringIntoView, Qt::QueuedConnection);
}

void FirstNewRowInView::bringIntoView()
{
    const QModelIndex row = m_model.index(m_firstNew, 0);
    m_firstNew = -1;
    if (!row.isValid())
        return;
    // The view sizes its scroll range for new rows only when it next lays
    // out: until then a scroll stops at the end of the earlier rows.
    m_view.doItemsLayout();
    if (!m_view.viewport()->rect().contains(m_view.visualRect(row)))
        m_view.scrollTo(row, QAbstractItemView::PositionAtTop);
}

} // namespace vantorel
