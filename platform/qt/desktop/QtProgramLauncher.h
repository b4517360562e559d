// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ProgramEnvironment.h"
#include "platform/qt/desktop/FileManagerBus.h"
#include "platform/qt/desktop/UserActionClock.h"

#include <functional>
#include <optional>

namespace vantorel
{

/// Starts programs. A command line that asks the file explorer to open an
/// address opens it with the desktop's own handler instead: no shell ever
/// sees the address. Folders go to the file manager on the session bus, else
/// to the desktop's opener, unless that opener is this program. Nothing of
/// it waits on the other programs: the window goes on while they answer.
class QtProgramLauncher : public ProgramLauncher
{
public:
    /// Gives the start-up id for the next window asked for; empty for none.
    using StartupIds = std::function<QByteArray()>;

    /// `busConnectionName` as FileManagerBus takes it. Without `startupIds`,
    /// the ids carry the time of the user's last action.
    explicit QtProgramLauncher(
        QString busConnectionName = QString(), StartupIds startupIds = nullptr);

    /// Throws Failure("File not found") when the program cannot be started.
    void launch(const QString& commandLine, int windowStyle) override;
    void showFolder(const QByteArray& nativePath, ShowingDone done) override;
    void showItem(const QByteArray& item, const QByteArray& folder, ShowingDone done) override;

    /// The address in `explorer "address"`, or nothing for any other command line.
    static std::optional<QString> explorerTarget(const QString& commandLine);

private:
    void openWithDesktop(const QByteArray& folder, const ShowingDone& done);

    FileManagerBus m_fileManager;
    UserActionClock m_clock;
    StartupIds m_startupIds;
};

} // namespace vantorel
