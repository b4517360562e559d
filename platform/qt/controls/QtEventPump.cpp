// SPDX-License-Identifier: MIT
#include "platform/qt/controls/QtEventPump.h"

#include "platform/qt/list/ListModel.h"

#include <QCoreApplication>

namespace vantorel
{

void QtEventPump::addList(ListModel& list)
{
    m_lists.push_back(&list);
}

void QtEventPump::pump()
{
    for (ListModel* list : m_lists)
        list->flushPending();
    QCoreApplication::processEvents();
}

} // namespace vantorel
