// SPDX-License-Identifier: MIT
// What the commands of the main window work on: its controls and the platform
// services, each through its interface, so that the same logic runs with the
// Qt widgets and with test doubles.
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

namespace vantorel
{

struct MainWindowControls {
    WindowSurface& window;
    ListControl& ListView1; ///< search locations
    ListControl& ListView2; ///< results
    CaptionControl& PushButton1; ///< "Start Finding" / "Stop"
    TextControl& Text1; ///< the phrase
    CheckControl& Check4; ///< "Match Case"
    OptionControl& Option1; ///< "Display full path"
    OptionControl& Option2; ///< "Display folder name only "
    PointerSetting& MousePointer;
};

struct PlatformServices {
    MessageBoxes& boxes;
    EventPump& pump;
    Clipboard& clipboard;
    SettingsBackend& settings;
    SaveFileDialog& saveDialog;
    FolderBrowser& folderBrowser;
    ProgramFolder& programFolder;
    ProgramLauncher& launcher;
    RandomSource& random;
    FolderService& folders;
    FileSystem& files;
    OutputFileService& outputFiles;
};

} // namespace vantorel
