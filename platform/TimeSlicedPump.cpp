// SPDX-License-Identifier: MIT
#include "platform/TimeSlicedPump.h"

namespace vantorel
{

TimeSlicedPump::TimeSlicedPump(EventPump& pump, std::chrono::milliseconds interval)
    : m_pump(pump)
    , m_interval(interval)
{
}

bool TimeSlicedPump::due() const
{
    return !m_started || m_interval == Clock::duration::zero() || Clock::now() >= m_next;
}

void TimeSlicedPump::pumpNow()
{
    m_started = true;
    m_pump.pump();
    // Measured after the pump: a nested command run inside it does not count
    // against the next slice.
    m_next = Clock::now() + m_interval;
}

void TimeSlicedPump::maybePump()
{
    if (due())
        pumpNow();
}

} // namespace vantorel
