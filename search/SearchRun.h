// SPDX-License-Identifier: MIT
#pragma once

#include "search/SearchState.h"
#include "shell/MainWindowParts.h"

namespace vantorel {

class GuardedProcedure;
struct WalkReport;

/// The start button's command: starts a search over every location, or asks
/// the search under way to stop.
class SearchRun
{
public:
    SearchRun(const MainWindowControls& controls, const PlatformServices& services,
              SearchState& state);

    void PushButton1_Click();

private:
    void searchLocations(GuardedProcedure& guard, qint16 compareMode);

    MainWindowControls m_controls;
    PlatformServices m_services;
    SearchState& m_state;
};

/// The failure description for the folders of one location that could not be read.
QString describeUnlistedFolders(const WalkReport& report);

} // namespace vantorel
