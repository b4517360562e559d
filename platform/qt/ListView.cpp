// SPDX-License-Identifier: MIT
#include "platform/qt/ListView.h"

#include "platform/qt/OneLineHeader.h"
#include "platform/qt/VirtualKeyCode.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>

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

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);

    setHorizontalHeader(new OneLineHeader(this));
    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
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
    QTableView::mouseDoubleClickEvent(event);
    emit doubleClickedAnywhere();
}

} // namespace vantorel
