// SPDX-License-Identifier: MIT
#include "platform/qt/list/ListView.h"

#include "platform/list/VirtualKeyCode.h"
#include "platform/qt/list/OneLineHeader.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

namespace vantorel
{

ListView::ListView(QWidget* parent)
    : QTableView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Tab moves on to the next control, as everywhere else in the window, not
    // from row to row: a keyboard user must be able to leave the list.
    setTabKeyNavigation(false);

    setVerticalHeader(makeRowHeader(fontMetrics().height() + 4));

    setHorizontalHeader(new OneLineHeader(this));
    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QHeaderView* ListView::makeRowHeader(int rowHeight)
{
    auto* rows = new QHeaderView(Qt::Vertical, this);
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rowHeight);
    return rows;
}

void ListView::setModel(QAbstractItemModel* model)
{
    if (QAbstractItemModel* old = this->model())
        disconnect(old, &QAbstractItemModel::modelReset, this, &ListView::renewRowHeader);
    QTableView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::modelReset, this, &ListView::renewRowHeader);
}

// The row header keeps 8 bytes for every row it has ever held: a reset
// empties that store but keeps its capacity, 40 MB after five million rows.
// A new header holds only the rows there are now; the old one is deleted.
void ListView::renewRowHeader()
{
    setVerticalHeader(makeRowHeader(verticalHeader()->defaultSectionSize()));
}

void ListView::setFirstColumnWidth(int pixels)
{
    horizontalHeader()->setDefaultSectionSize(pixels);
    if (model() && model()->columnCount() > 0)
        setColumnWidth(0, pixels);
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(virtualKeyCode(event->key()));
    QTableView::keyPressEvent(event);
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const QPersistentModelIndex under = indexAt(point);
    const bool onRow = under.isValid() && !isOnTickBox(under, point);
    QTableView::mouseDoubleClickEvent(event);
    emit doubleClickedAnywhere();
    if (onRow && under.isValid())
        emit rowDoubleClicked(under.row());
}

bool ListView::isOnTickBox(const QModelIndex& index, const QPoint& point) const
{
    if (!(index.flags() & Qt::ItemIsUserCheckable))
        return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = index.data().toString();
    return style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this)
        .contains(point);
}

} // namespace vantorel
