// SPDX-License-Identifier: MIT
#pragma once

#include "platform/EventPump.h"

#include <chrono>

namespace vantorel
{

/// Yields to the message loop from a long loop at most once per interval.
/// Pumping for every row of a million-row list would cost more than the work
/// itself; a few dozen times a second keeps the window just as responsive.
class TimeSlicedPump
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kDefaultInterval { 30 };

    /// An interval of zero pumps on every call.
    explicit TimeSlicedPump(EventPump& pump, std::chrono::milliseconds interval = kDefaultInterval);

    /// Pumps when the interval has passed since the last pump; the first call
    /// always pumps.
    void maybePump();
    /// True when maybePump() would pump now.
    bool due() const;
    /// Pumps now and starts the next interval.
    void pumpNow();

private:
    EventPump& m_pump;
    Clock::duration m_interval;
    Clock::time_point m_next;
    bool m_started = false;
};

} // namespace vantorel
