// SPDX-License-Identifier: MIT
#include "shell/StartStopKeys.h"

#include "shell/common/WindowText.h"

namespace vantorel
{

StartStopKeys::StartStopKeys(const CaptionControl& startButton, std::function<void()> press)
    : m_startButton(startButton)
    , m_press(std::move(press))
{
}

// The run itself tells a running search by this caption, so the keys do too.
bool searchRunsBy(const CaptionControl& startButton)
{
    return startButton.caption() == WindowText::stopCaption();
}

bool StartStopKeys::searchRuns() const
{
    return searchRunsBy(m_startButton);
}

void StartStopKeys::enterInPhrase()
{
    if (!searchRuns())
        m_press();
}

void StartStopKeys::escape()
{
    if (searchRuns())
        m_press();
}

} // namespace vantorel
