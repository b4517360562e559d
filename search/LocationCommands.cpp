// SPDX-License-Identifier: MIT
#include "search/LocationCommands.h"

#include "search/NormaliseFolderPath.h"
#include "shell/common/GuardedProcedure.h"
#include "shell/common/SettingsStore.h"

namespace vantorel
{

LocationCommands::LocationCommands(ListControl& locations, TextControl& phrase,
    PointerSetting& pointer, MessageBoxes& boxes, FolderBrowser& folderBrowser,
    const ProgramFolder& programFolder, SettingsBackend& settings, BusyState& busy)
    : m_locations(locations)
    , m_phrase(phrase)
    , m_pointer(pointer)
    , m_boxes(boxes)
    , m_folderBrowser(folderBrowser)
    , m_programFolder(programFolder)
    , m_settings(settings)
    , m_busy(busy)
{
}

void LocationCommands::PushButton3_Click()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("PushButton3_Click"));
    SettingsStore settings(m_settings);
    QString lastFolder;
    QString chosen;
    guard.run(
        100, [&] { lastFolder = settings.GetSetting(SettingsStore::kLastFolder, QString()); });
    guard.run(100, [&] {
        chosen
            = m_folderBrowser.browseForFolder(QStringLiteral("Please select folder:"), lastFolder);
    });
    if (guard.test(102, [&] { return chosen.isEmpty(); }))
        return;
    // The browser reopens where the user was last time.
    settings.SaveSettingQuietly(SettingsStore::kLastFolder, chosen);
    const BusyState::Scope adding(m_busy);
    guard.run(104, [&] { m_pointer.setValue(PointerSetting::Busy); });
    guard.run(106, [&] {
        m_locations.append(NormaliseFolderPath(chosen, m_programFolder.separator().at(0)));
    });
    guard.run(108, [&] { m_pointer.setValue(PointerSetting::Default); });
}

void LocationCommands::PushButton7_Click()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("PushButton7_Click"));
    if (guard.test(100, [&] { return !m_busy.isBusy(); }))
        guard.run(100, [&] { m_locations.clear(); });
}

void LocationCommands::PushButton8_Click()
{
    GuardedProcedure guard(m_boxes, QStringLiteral("PushButton8_Click"));
    guard.run(100, [&] {
        const ProgramFolder& folder = m_programFolder;
        m_locations.append(folder.path() + folder.separator() + QStringLiteral("Samples"));
    });
    guard.run(102, [&] { m_phrase.setText(QStringLiteral("ampl")); });
}

void LocationCommands::ListView1_KeyDown(int keyCode)
{
    if (keyCode == kDeleteKey)
        removeSelectedRow();
}

void LocationCommands::ListView1_DblClick()
{
    removeSelectedRow();
}

void LocationCommands::removeSelectedRow()
{
    // Not a guarded command: a failure here has no report of its own.
    try {
        if (m_busy.isBusy() || m_locations.count() == 0)
            return;
        const int selected = m_locations.selectedRow();
        if (selected >= 0)
            m_locations.removeAt(selected);
    } catch (const Failure&) {
    }
}

} // namespace vantorel
