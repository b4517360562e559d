// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace vantorel
{

class ListModel;
class ListView;

/// Brings the first row of a search into view when the list already holds
/// rows: appended below them, out of sight, it would leave the user unable to
/// tell whether the search found anything. Only the first: while the rows
/// come in, the view stays where the user puts it.
class FirstNewRowInView : public QObject
{
    Q_OBJECT

public:
    FirstNewRowInView(ListView& view, ListModel& model);

    /// A search starts (`runs`) or ends.
    void searchRuns(bool runs);

private:
    void rowsAdded(int first);
    void bringIntoView();

    ListView& m_view;
    ListModel& m_model;
    bool m_waiting = false;
    int m_firstNew = -1;
};

} // namespace vantorel
