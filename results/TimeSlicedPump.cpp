// SPDX-License-Identifier: MIT
#include "results/TimeSlicedPump.h"

namespace vantorel {

TimeSlicedPump::TimeSlicedPump(EventPump& pump, std::chrono::milliseconds interval)
    : m_pump(pump)
    , m_interval(interval)
{
}

void TimeSlicedPump::maybePump()
{
    if (m_interval == Clock::duration::zero()) {
        m_pump.pump();
        return;
    }
    const Clock::time_point now = Clock::now();
    if (m_started && now < m_next)
        return;
    m_started = true;
    m_pump.pump();
    // Measured after the pump: a nested command run inside it does not count
    // against the next slice.
    m_next = Clock::now() + m_interval;
}

} // namespace vantorel
