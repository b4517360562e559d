// SPDX-License-Identifier: MIT
#pragma once

#include "platform/EventPump.h"

#include <vector>

namespace vantorel
{

class ListModel;

/// Shows the rows the lists gained since the last pump, then processes every
/// pending event.
class QtEventPump : public EventPump
{
public:
    void addList(ListModel& list);
    void pump() override;

private:
    std::vector<ListModel*> m_lists;
};

} // namespace vantorel
