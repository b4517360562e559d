// SPDX-License-Identifier: MIT
#pragma once

#include "platform/qt/ListModel.h"
#include "platform/qt/QtCaptionControl.h"
#include "platform/qt/QtCheckControl.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtEventPump.h"
#include "platform/qt/QtFileSystem.h"
#include "platform/qt/QtFolderBrowser.h"
#include "platform/qt/QtListControl.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtOptionControl.h"
#include "platform/qt/QtOutputFileService.h"
#include "platform/qt/QtPointerSetting.h"
#include "platform/qt/QtProgramFolder.h"
#include "platform/qt/QtProgramLauncher.h"
#include "platform/qt/QtRandomSource.h"
#include "platform/qt/QtSaveFileDialog.h"
#include "platform/qt/QtSettingsBackend.h"
#include "platform/qt/QtTextControl.h"
#include "platform/qt/QtWindowSurface.h"
#include "platform/qt/SystemFolderService.h"

namespace vantorel
{

class Form1Layout;

/// The Qt side of everything the main window's commands work on, made over
/// the window's controls.
struct Form1Platform {
    Form1Platform(QWidget& form, Form1Layout& layout, dirwalk::ReadAheadSettings readAhead);

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
    SystemFolderService folders;
    QtFileSystem files;
    QtOutputFileService outputFiles;
};

} // namespace vantorel
