// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ProgramEnvironment.h"
#include "platform/qt/desktop/FileManagerBus.h"

#include <optional>

namespace vantorel
{

/// Starts programs. A command line that asks the file explorer to open an
/// address opens it with the desktop's own handler instead: no shell ever
/// sees the address. Folders go to the file manager on the session bus, else
/// to the desktop's opener, unless that opener is this program.
class QtProgramLauncher : public ProgramLauncher
{
public:
    /// `busConnectionName` as FileManagerBus takes it.
    explicit QtProgramLauncher(QString busConnectionName = QString());

    /// Throws Failure("File not found") when the program cannot be started.
    void launch(const QString& commandLine, int windowStyle) override;
    FolderShowing showFolder(const QByteArray& nativePath) override;
    FolderShowing showItem(const QByteArray& item, const QByteArray& folder) override;

    /// The address in `explorer "address"`, or nothing for any other command line.
    static std::optional<QString> explorerTarget(const QString& commandLine);

private:
    static FolderShowing openWithDesktop(const QByteArray& folder);

    FileManagerBus m_fileManager;
};

} // namespace vantorel
