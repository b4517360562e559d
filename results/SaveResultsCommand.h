// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/ListControl.h"
#include "platform/MessageBoxes.h"
#include "platform/OutputFile.h"
#include "platform/SettingsBackend.h"
#include "platform/TimeSlicedPump.h"
#include "platform/WindowControls.h"
#include "search/BusyState.h"

#include <QCoreApplication>
#include <chrono>

namespace vantorel
{

class GuardedProcedure;

/// "Save Results As Text File": every row's text, one per line, CR LF after
/// each, in the system's 8-bit encoding. Where the output file allows it, the
/// file is replaced only when every row has been written: a save that fails
/// leaves the old file as it was (see OutputFile). The dialog opens in the
/// folder of the last save, kept in the settings store.
class SaveResultsCommand
{
    Q_DECLARE_TR_FUNCTIONS(SaveResultsCommand)

public:
    static constexpr int kDialogFlags = 0x280201;

    SaveResultsCommand(ListControl& results, MessageBoxes& boxes, PointerSetting& pointer,
        EventPump& pump, SaveFileDialog& dialog, FileSystem& files, OutputFileService& outputFiles,
        SettingsBackend& settings, BusyState& busy,
        std::chrono::milliseconds pumpInterval = TimeSlicedPump::kDefaultInterval);

    void PushButton2_Click();

private:
    /// Steps 132 to 142; true when the file now holds every row.
    bool writeRows(GuardedProcedure& guard, const QString& path);

    ListControl& m_results;
    MessageBoxes& m_boxes;
    PointerSetting& m_pointer;
    EventPump& m_pump;
    SaveFileDialog& m_dialog;
    FileSystem& m_files;
    OutputFileService& m_outputFiles;
    SettingsBackend& m_settings;
    BusyState& m_busy;
    std::chrono::milliseconds m_pumpInterval;
};

} // namespace vantorel
