// SPDX-License-Identifier: MIT
#pragma once

#include <QTableView>

class QHeaderView;

namespace vantorel
{

/// A list in report view: one row per line, rows of one fixed height, no row
/// numbers, single selection, no in-place editing. Fixed-height rows keep
/// appending to a long list cheap: nothing is laid out per row.
class ListView : public QTableView
{
    Q_OBJECT

public:
    explicit ListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void setFirstColumnWidth(int pixels);

signals:
    /// A key went down in the list; `keyCode` is the Windows virtual-key code.
    void keyDown(int keyCode);
    /// A double-click anywhere in the list, on a row or not.
    void doubleClickedAnywhere();
    /// A double-click on row `row`, not on its tick box: two quick clicks
    /// there tick and untick it.
    void rowDoubleClicked(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    /// A hidden header of fixed-height rows, `rowHeight` pixels each.
    QHeaderView* makeRowHeader(int rowHeight);
    void renewRowHeader();
    bool isOnTickBox(const QModelIndex& index, const QPoint& point) const;
};

} // namespace vantorel
