// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vantorel
{

/// Program-wide state of the search run. Booleans are 16-bit: true is -1.
struct SearchState {
    static constexpr qint16 True = -1;
    static constexpr qint16 False = 0;

    /// Cleared when a run starts, set by the "Stop" press and at the end of
    /// every run; read before each folder.
    qint16 StopRequested = False;
    /// The start button's caption when the current or last run started.
    QString SavedStartCaption;
};

} // namespace vantorel
