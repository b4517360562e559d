// SPDX-License-Identifier: MIT
#pragma once

#include "platform/controls/QtEventPump.h"
#include "platform/desktop/QtRandomSource.h"
#include "platform/files/QtFileSystem.h"
#include "platform/files/QtOutputFileService.h"
#include "platform/files/QtProgramFolder.h"
#include "platform/files/SystemFolderService.h"
#include "platform/list/ListModel.h"
#include "platform/qt/controls/QtCaptionControl.h"
#include "platform/qt/controls/QtCheckControl.h"
#include "platform/qt/controls/QtMessageBoxes.h"
#include "platform/qt/controls/QtOptionControl.h"
#include "platform/qt/controls/QtTextControl.h"
#include "platform/qt/controls/QtWindowSurface.h"
#include "platform/qt/desktop/QtClipboard.h"
#include "platform/qt/desktop/QtProgramLauncher.h"
#include "platform/qt/files/QtFolderBrowser.h"
#include "platform/qt/files/QtSaveFileDialog.h"
#include "platform/qt/list/QtListControl.h"
#include "platform/qt/pointer/QtPointerSetting.h"
#include "platform/settings/QtSettingsBackend.h"

namespace vantorel
{

class Form1Layout;

/// The Qt side of everything the main window's commands work on, made over
/// the window's controls.
struct Form1Platform {
    /// The searches list folders through `folderService`; by default the system's,
    /// as it reads ahead by itself, with no index.
    Form1Platform(QWidget& form, Form1Layout& layout, std::unique_ptr<FolderService> folderService);

    ListModel locationsModel;
    ListModel resultsModel;
    QtListControl locations;
    QtListControl results;
    QtCaptionControl startButton;
    QtTextControl phrase;
    QtCheckControl matchCase;
    QtOptionControl fullPath;
    QtOptionControl nameOnly;
    QtPointerSetting pointer;
    QtWindowSurface window;

    QtMessageBoxes boxes;
    QtEventPump pump;
    QtClipboard clipboard;
    QtSettingsBackend settings;
    QtSaveFileDialog saveDialog;
    QtFolderBrowser folderBrowser;
    QtProgramFolder programFolder;
    QtProgramLauncher launcher;
    QtRandomSource random;
    std::unique_ptr<FolderService> ownedFolders;
    FolderService& folders;
    QtFileSystem files;
    QtOutputFileService outputFiles;
};

} // namespace vantorel
