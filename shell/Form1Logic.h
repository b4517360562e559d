// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/FolderService.h"
#include "platform/ListControl.h"
#include "platform/MessageBoxes.h"
#include "platform/OutputFile.h"
#include "platform/ProgramEnvironment.h"
#include "platform/SettingsBackend.h"
#include "platform/WindowControls.h"
#include "platform/WindowSurface.h"
#include "presentation/ApplySkin.h"
#include "presentation/HelpCommand.h"
#include "presentation/PointerFeedback.h"
#include "results/CopyResultsCommand.h"
#include "results/ResultFilterCommands.h"
#include "results/SaveResultsCommand.h"
#include "search/LocationCommands.h"
#include "search/SearchRun.h"
#include "search/SearchState.h"
#include "shell/StartUp.h"

namespace vantorel
{

/// The event procedures of the main window, free of any widget: the Qt window
/// forwards each event here, and tests call them directly with doubles. It is
/// the one place where every control and service of the window meets; each
/// command below it takes only those it uses.
class Form1Logic
{
public:
    /// The window's controls. `fullPath` is "Display full path"; the other
    /// option button of its frame is read by nothing.
    struct Controls {
        WindowSurface& window;
        ListControl& locations;
        ListControl& results;
        CaptionControl& startButton;
        TextControl& phrase;
        CheckControl& matchCase;
        OptionControl& fullPath;
        PointerSetting& pointer;
    };

    /// The platform services the commands use.
    struct Services {
        MessageBoxes& boxes;
        EventPump& pump;
        Clipboard& clipboard;
        SettingsBackend& settings;
        SaveFileDialog& saveDialog;
        FolderBrowser& folderBrowser;
        const ProgramFolder& programFolder;
        ProgramLauncher& launcher;
        RandomSource& random;
        FolderService& folders;
        FileSystem& files;
        OutputFileService& outputFiles;
    };

    Form1Logic(const Controls& controls, const Services& services);

    /// The controls and services of a window that holds them as members of
    /// these names: the Qt window's platform and the tests' window alike.
    template <class Window> static Controls controlsOf(Window& w)
    {
        return { .window = w.window,
            .locations = w.locations,
            .results = w.results,
            .startButton = w.startButton,
            .phrase = w.phrase,
            .matchCase = w.matchCase,
            .fullPath = w.fullPath,
            .pointer = w.pointer };
    }
    template <class Window> static Services servicesOf(Window& w)
    {
        return { .boxes = w.boxes,
            .pump = w.pump,
            .clipboard = w.clipboard,
            .settings = w.settings,
            .saveDialog = w.saveDialog,
            .folderBrowser = w.folderBrowser,
            .programFolder = w.programFolder,
            .launcher = w.launcher,
            .random = w.random,
            .folders = w.folders,
            .files = w.files,
            .outputFiles = w.outputFiles };
    }

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
    /// Whether a search, the adding of a location or a save is under way.
    const BusyState& busy() const { return m_busy; }

    /// Gives start-up its appearance step: the window to recolour and the skin
    /// component. Without it start-up leaves the window as designed.
    void setAppearance(SkinnableWindow& window, SkinComponent& skin);
    /// The pointer-move handlers of the window and its controls.
    PointerFeedback& pointerFeedback() { return m_pointerFeedback; }

private:
    SettingsBackend& m_settings;
    const ProgramFolder& m_programFolder;
    FileSystem& m_files;
    const CheckControl& m_matchCase;
    const TextControl& m_phrase;
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
