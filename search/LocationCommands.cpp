// SPDX-License-Identifier: MIT
#include "search/LocationCommands.h"

#include "search/NormaliseFolderPath.h"
#include "shell/GuardedProcedure.h"
#include "shell/SettingsStore.h"

namespace vantorel
{

LocationCommands::LocationCommands(
    const MainWindowControls& controls, const PlatformServices& services, BusyState& busy)
    : m_controls(controls)
    , m_services(services)
    , m_busy(busy)
{
}

void LocationCommands::PushButton3_Click()
{
    GuardedProcedure guard(m_services.boxes, QStringLiteral("PushButton3_Click"));
    SettingsStore settings(m_services.settings);
    QString lastFolder;
    QString chosen;
    guard.run(
        100, [&] { lastFolder = settings.GetSetting(SettingsStore::kLastFolder, QString()); });
    guard.run(100, [&] {
        chosen = m_services.folderBrowser.browseForFolder(
            QStringLiteral("Please select folder:"), lastFolder);
    });
    if (guard.test(102, [&] { return chosen.isEmpty(); }))
        return;
    // The browser reopens where the user was last time.
    settings.SaveSettingQuietly(SettingsStore::kLastFolder, chosen);
    const BusyState::Scope adding(m_busy);
    guard.run(104, [&] { m_controls.MousePointer.setValue(PointerSetting::Busy); });
    guard.run(106, [&] {
        m_controls.ListView1.append(
            NormaliseFolderPath(chosen, m_services.programFolder.separator().at(0)));
    });
    guard.run(108, [&] { m_controls.MousePointer.setValue(PointerSetting::Default); });
}

void LocationCommands::PushButton7_Click()
{
    GuardedProcedure guard(m_services.boxes, QStringLiteral("PushButton7_Click"));
    if (guard.test(100, [&] { return !m_busy.isBusy(); }))
        guard.run(100, [&] { m_controls.ListView1.clear(); });
}

void LocationCommands::PushButton8_Click()
{
    GuardedProcedure guard(m_services.boxes, QStringLiteral("PushButton8_Click"));
    guard.run(100, [&] {
        const ProgramFolder& folder = m_services.programFolder;
        m_controls.ListView1.append(folder.path() + folder.separator() + QStringLiteral("Samples"));
    });
    guard.run(102, [&] { m_controls.Text1.setText(QStringLiteral("ampl")); });
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
        if (m_busy.isBusy() || m_controls.ListView1.count() == 0)
            return;
        const int selected = m_controls.ListView1.selectedRow();
        if (selected >= 0)
            m_controls.ListView1.removeAt(selected);
    } catch (const Failure&) {
    }
}

} // namespace vantorel
