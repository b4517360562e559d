// SPDX-License-Identifier: MIT
#include "search/LocationCommands.h"

#include "search/NormaliseFolderPath.h"
#include "shell/common/GuardedProcedure.h"
#include "shell/common/SettingsStore.h"

#include <QFile>

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
    QByteArray chosen;
    guard.run(
        100, [&] { lastFolder = settings.GetSetting(SettingsStore::kLastFolder, QString()); });
    guard.run(100, [&] {
        //: The folder browser's title.
        chosen = m_folderBrowser.browseForNativeFolder(tr("Please select folder:"), lastFolder);
    });
    if (guard.test(102, [&] { return chosen.isEmpty(); }))
        return;
    // The browser reopens where the user was last time.
    const QString chosenText = QFile::decodeName(chosen);
    settings.SaveSettingQuietly(SettingsStore::kLastFolder, chosenText);
    const BusyState::Scope adding(m_busy);
    guard.run(104, [&] { m_pointer.setValue(PointerSetting::Busy); });
    guard.run(106, [&] {
        const QChar separator = m_programFolder.separator().at(0);
        if (QFile::encodeName(chosenText) == chosen) {
            m_locations.append(NormaliseFolderPath(chosenText, separator));
            return;
        }
        // A name that is not valid text: the row keeps the folder's own bytes,
        // tidied as Latin-1, which holds each byte as one character.
        const QByteArray tidy
            = NormaliseFolderPath(QString::fromLatin1(chosen), separator).toLatin1();
        m_locations.appendFolder(std::string_view(tidy.constData(), std::size_t(tidy.size())),
            std::size_t(tidy.size() - (tidy.lastIndexOf(separator.toLatin1()) + 1)), true);
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
    // Tab into the list frames a row without selecting it: Delete takes that one.
    if (keyCode == kDeleteKey)
        removeSelectedRow(true);
}

void LocationCommands::ListView1_DblClick()
{
    removeSelectedRow(false);
}

void LocationCommands::removeSelectedRow(bool orCurrent)
{
    // Not a guarded command: a failure here has no report of its own.
    try {
        if (m_busy.isBusy() || m_locations.count() == 0)
            return;
        int row = m_locations.selectedRow();
        if (row < 0 && orCurrent)
            row = m_locations.currentRow();
        if (row >= 0)
            m_locations.removeAt(row);
    } catch (const Failure&) {
    }
}

} // namespace vantorel
