// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Dialogs.h"
#include "platform/ListControl.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramEnvironment.h"
#include "platform/SettingsBackend.h"
#include "platform/WindowControls.h"
#include "search/BusyState.h"

#include <QCoreApplication>

namespace vantorel
{

/// The commands of the search locations list: add through the folder browser,
/// add the sample folder, remove one row, clear.
class LocationCommands
{
    Q_DECLARE_TR_FUNCTIONS(LocationCommands)

public:
    static constexpr int kDeleteKey = 46;

    /// "Load Sample/Example Folder" puts its phrase in `phrase`; the browser
    /// reopens at the folder kept in `settings`.
    LocationCommands(ListControl& locations, TextControl& phrase, PointerSetting& pointer,
        MessageBoxes& boxes, FolderBrowser& folderBrowser, const ProgramFolder& programFolder,
        SettingsBackend& settings, BusyState& busy);

    void PushButton3_Click(); ///< "Add Drive/Folder To Search Within"
    void PushButton7_Click(); ///< "Clear List"
    void PushButton8_Click(); ///< "Load Sample/Example Folder"
    void ListView1_KeyDown(int keyCode);
    void ListView1_DblClick();

private:
    /// `orCurrent`: with no row selected, the row the keyboard is on.
    void removeSelectedRow(bool orCurrent);

    ListControl& m_locations;
    TextControl& m_phrase;
    PointerSetting& m_pointer;
    MessageBoxes& m_boxes;
    FolderBrowser& m_folderBrowser;
    const ProgramFolder& m_programFolder;
    SettingsBackend& m_settings;
    BusyState& m_busy;
};

} // namespace vantorel
