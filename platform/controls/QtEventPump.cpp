// SPDX-License-Identifier: MIT
#include "platform/controls/QtEventPump.h"

#include "platform/list/ListModel.h"

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
