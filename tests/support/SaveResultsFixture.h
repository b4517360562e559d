// SPDX-License-Identifier: MIT
// The Save command over doubles of the window's list, boxes, pointer, pump and
// dialog, writing real files in a temporary folder of each test's own.
#pragma once

#include "FakeControls.h"
#include "FakeListControl.h"
#include "RecordingMessageBoxes.h"
#include "platform/files/QtFileSystem.h"
#include "platform/files/QtOutputFileService.h"
#include "results/SaveResultsCommand.h"

#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace vantorel::test
{

class SaveResultsFixture
{
protected:
    /// For the test's init(): a new folder and fresh doubles.
    void begin();

    QString file(const QString& name) const { return m_dir->filePath(name); }

    SaveResultsCommand command(
        std::chrono::milliseconds interval = TimeSlicedPump::kDefaultInterval);

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeListControl m_list { QStringLiteral("Results") };
    RecordingMessageBoxes m_boxes;
    FakePointer m_pointer;
    FakeSaveFileDialog m_dialog;
    ScriptedEventPump m_pump;
    QtFileSystem m_files;
    QtOutputFileService m_outputFiles;
    MemorySettingsBackend m_settings;
    BusyState m_busy;
};

} // namespace vantorel::test
