// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/readahead/ReadAheadSettings.h"

#include <QStringList>

#include <chrono>
#include <memory>

namespace vantorel::dirwalk::index
{
class IndexStore;
}

namespace vantorel::bench
{

using Clock = std::chrono::steady_clock;

/// Processor time, user + system, of this process (RUSAGE_SELF) or of its
/// waited-for children (RUSAGE_CHILDREN).
double processorSeconds(int who);

/// One timed search: wall and processor milliseconds, and its rows.
struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
    QStringList rows;
    /// The longest time the window's events waited to be served.
    double longestStallMs = 0;
    /// From the Stop press to the "Done." box, when Stop was pressed.
    double stopToDoneMs = -1;
};

/// Start pressed in a fresh window, offscreen; ends when the "Done." box
/// appears, and answers every box. Stop is pressed `stopAfterMs` after Start,
/// never when negative. With `index`, the window's searches use that folder index.
Timing searchInWindow(const QString& root, const QString& phrase,
    dirwalk::ReadAheadSettings settings, int stopAfterMs,
    std::shared_ptr<dirwalk::index::IndexStore> index = {});

} // namespace vantorel::bench
