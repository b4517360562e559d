// SPDX-License-Identifier: MIT
#pragma once

#include "search/BusyState.h"
#include "shell/MainWindowParts.h"

namespace vantorel
{

/// The commands of the search locations list: add through the folder browser,
/// add the sample folder, remove one row, clear.
class LocationCommands
{
public:
    static constexpr int kDeleteKey = 46;

    LocationCommands(
        const MainWindowControls& controls, const PlatformServices& services, BusyState& busy);

    void PushButton3_Click(); ///< "Add Drive/Folder To Search Within"
    void PushButton7_Click(); ///< "Clear List"
    void PushButton8_Click(); ///< "Load Sample/Example Folder"
    void ListView1_KeyDown(int keyCode);
    void ListView1_DblClick();

private:
    void removeSelectedRow();

    MainWindowControls m_controls;
    PlatformServices m_services;
    BusyState& m_busy;
};

} // namespace vantorel
