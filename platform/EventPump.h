// SPDX-License-Identifier: MIT
#pragma once

namespace vantorel
{

/// Processes every pending window event and returns. Command handlers of the
/// window may run inside pump().
class EventPump
{
public:
    virtual ~EventPump() = default;
    virtual void pump() = 0;
};

} // namespace vantorel
