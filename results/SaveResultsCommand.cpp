// SPDX-License-Identifier: MIT
#include "results/SaveResultsCommand.h"

#include "results/EncodedLineWriter.h"
#include "shell/common/GuardedProcedure.h"
#include "shell/common/SettingsStore.h"

#include <QFileInfo>

#include <memory>

namespace vantorel
{

SaveResultsCommand::SaveResultsCommand(ListControl& results, MessageBoxes& boxes,
    PointerSetting& pointer, EventPump& pump, SaveFileDialog& dialog, FileSystem& files,
    OutputFileService& outputFiles, SettingsBackend& settings, BusyState& busy,
    std::chrono::milliseconds pumpInterval)
    : m_results(results)
    , m_boxes(boxes)
    , m_pointer(pointer)
    , m_pump(pump)
    , m_dialog(dialog)
    , m_files(files)
    , m_outputFiles(outputFiles)
    , m_settings(settings)
    , m_busy(busy)
    , m_pumpInterval(pumpInterval)
{
}

void SaveResultsCommand::PushButton2_Click()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("PushButton2_Click"));

    SaveDialogRequest request;
    guard.run(106, [&] { request.fileName = QString(); });
    guard.run(108, [&] { request.flags = kDialogFlags; });
    //: The save dialog's title.
    guard.run(110, [&] { request.title = tr("Save"); });
    // The descriptions alone are the user's: the patterns are the dialog's.
    guard.run(112, [&] {
        //: A file type in the save dialog; keep "(*.txt)" at its end.
        request.filter = tr("Text Files (*.txt)")
            + QStringLiteral("|*.txt|")
            //: A file type in the save dialog.
            + tr("All Files (*.*)") + QStringLiteral("|*.*|");
    });
    // Not part of the numbered steps: a store that cannot be read only means
    // the dialog opens in the home folder.
    try {
        request.startFolder
            = SettingsStore(m_settings).GetSetting(SettingsStore::kLastSaveFolder, QString());
    } catch (const Failure&) {
    }
    //: The file name the save dialog proposes.
    request.proposedName = tr("Folders found.txt");
    QString chosen = request.fileName;
    guard.run(114, [&] { chosen = m_dialog.showSave(request); });
    QString path;
    guard.run(116, [&] { path = chosen; });
    if (guard.test(118, [&] { return path.isEmpty(); }))
        return;

    bool overwrite = false;
    if (guard.test(120, [&] { return m_files.nameTaken(path); })) {
        guard.run(122, [&] {
            //: %1 is the file's path.
            overwrite = m_boxes.askYesNo(tr("Are you sure you wish to overwrite %1 ?").arg(path));
        });
    } else {
        guard.run(124, [&] { overwrite = true; });
    }
    if (guard.test(126, [&] { return !overwrite; }))
        return;

    // Rows must stay where they are until each is written: what removes one
    // while a search runs must also wait for the save.
    const BusyState::Scope saving(m_busy);
    guard.run(128, [&] { m_pointer.setValue(PointerSetting::Busy); });

    if (writeRows(guard, path)) {
        SettingsStore(m_settings)
            .SaveSettingQuietly(SettingsStore::kLastSaveFolder, QFileInfo(path).absolutePath());
        guard.run(144, [&] { m_boxes.information(tr("Done.")); });
    }
    guard.run(146, [&] { m_pointer.setValue(PointerSetting::Default); });
}

bool SaveResultsCommand::writeRows(GuardedProcedure& guard, const QString& path)
{
    // Each save has a file of its own, so a save started from inside this
    // one's event pump cannot close this one's file.
    std::unique_ptr<OutputFile> file;
    if (!guard.run(132, [&] { file = m_outputFiles.create(path); }))
        return false;
    EncodedLineWriter writer(*file);
    TimeSlicedPump pump(m_pump, m_pumpInterval);
    // A list that cannot be read or a row that cannot be written fails the
    // whole save once: reporting every remaining row would bury the user in
    // boxes, and a partial file must not replace the old one.
    int n = 0;
    if (!guard.run(134, [&] { n = m_results.count(); }))
        return false;
    for (int i = 0; i < n; ++i) {
        guard.run(136, [&] { pump.maybePump(); });
        if (!guard.run(138, [&] { writeRowLine(writer, m_results, i); }))
            return false;
    }
    return guard.run(142, [&] { writer.finish(); });
}

} // namespace vantorel
