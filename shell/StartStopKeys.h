// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WindowControls.h"

#include <functional>

namespace vantorel
{

/// The keys that stand for the start button. Enter in the phrase box presses
/// "Start Finding" and nothing else: while a search runs the button reads
/// "Stop", and an Enter held long enough to repeat must not end the search it
/// has just begun. Esc presses "Stop" while a search runs and does nothing
/// otherwise.
/// Whether a search is running, as the start button's caption tells.
bool searchRunsBy(const CaptionControl& startButton);

class StartStopKeys
{
public:
    /// `press` presses the start button as a click does.
    StartStopKeys(const CaptionControl& startButton, std::function<void()> press);

    void enterInPhrase();
    void escape();

    /// Whether a search is running, as the button's caption tells.
    bool searchRuns() const;

private:
    const CaptionControl& m_startButton;
    std::function<void()> m_press;
};

} // namespace vantorel
