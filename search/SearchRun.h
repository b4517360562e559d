// SPDX-License-Identifier: MIT
#pragma once

#include "search/BusyState.h"
#include "search/SearchState.h"
#include "shell/MainWindowParts.h"

namespace vantorel
{

class GuardedProcedure;
struct WalkReport;

/// The start button's command: starts a search over every location, or asks
/// the search under way to stop.
///
/// Searches never nest. A stopped search still unwinds through the event pump
/// that delivered the stop, so a start pressed then would otherwise run inside
/// it, and quick presses would pile up searches until the stack overflowed.
/// Such a start waits instead: the button reads "Stop" at once, and the new
/// search begins as soon as the stopped one has returned, unless it is stopped
/// first.
class SearchRun
{
public:
    SearchRun(const MainWindowControls& controls, const PlatformServices& services,
        SearchState& state, BusyState& busy);

    void PushButton1_Click();

    /// Whether a search is under way (stopped ones included, until they return).
    bool isRunning() const { return m_running; }

private:
    void press();
    void searchLocations(GuardedProcedure& guard, qint16 compareMode);

    MainWindowControls m_controls;
    PlatformServices m_services;
    SearchState& m_state;
    BusyState& m_busy;
    bool m_running = false;
    bool m_startWaiting = false;
};

/// The failure description for the folders of one location that could not be read.
QString describeUnlistedFolders(const WalkReport& report);

} // namespace vantorel
