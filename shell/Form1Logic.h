// SPDX-License-Identifier: MIT
#pragma once

#include "presentation/ApplySkin.h"
#include "presentation/HelpCommand.h"
#include "presentation/PointerFeedback.h"
#include "results/CopyResultsCommand.h"
#include "results/ResultFilterCommands.h"
#include "results/SaveResultsCommand.h"
#include "search/LocationCommands.h"
#include "search/SearchRun.h"
#include "search/SearchState.h"
#include "shell/MainWindowParts.h"
#include "shell/StartUp.h"

namespace vantorel
{

/// The event procedures of the main window, free of any widget: the Qt window
/// forwards each event here, and tests call them directly with doubles.
class Form1Logic
{
public:
    Form1Logic(const MainWindowControls& controls, const PlatformServices& services);

    void Form_Load();

    void PushButton1_Click(); ///< "Start Finding" / "Stop"
    void PushButton2_Click(); ///< "Save Results As Text File"
    void PushButton3_Click(); ///< "Add Drive/Folder To Search Within"
    void PushButton4_Click(); ///< "Copy Results To Clipboard"
    void PushButton5_Click(); ///< "Help"
    void PushButton6_Click(); ///< "Clear Results"
    void PushButton7_Click(); ///< "Clear List"
    void PushButton8_Click(); ///< "Load Sample/Example Folder"
    void PushButton11_Click(); ///< "Remove Results Not Containing X"
    void PushButton17_Click(); ///< "Remove Results Containing X"

    /// Key pressed in the locations list (46 is Delete), whatever the modifiers.
    void ListView1_KeyDown(int keyCode);
    void ListView1_DblClick();

    void Check4_Click();
    void Text1_Change();

    SearchState& state() { return m_state; }

    /// Gives start-up its appearance step: the window to recolour and the skin
    /// component. Without it start-up leaves the window as designed.
    void setAppearance(SkinnableWindow& window, SkinComponent& skin);
    /// The pointer-move handlers of the window and its controls.
    PointerFeedback& pointerFeedback() { return m_pointerFeedback; }

private:
    MainWindowControls m_controls;
    PlatformServices m_services;
    SearchState m_state;
    BusyState m_busy;
    std::function<void()> m_applySkin;
    StartUp m_startUp;
    SearchRun m_searchRun;
    LocationCommands m_locations;
    HelpCommand m_help;
    PointerFeedback m_pointerFeedback;
    ResultFilterCommands m_filters;
    SaveResultsCommand m_save;
    CopyResultsCommand m_copy;
};

} // namespace vantorel
