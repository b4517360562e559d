// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ProgramEnvironment.h"

#include <optional>

namespace vantorel
{

/// Starts programs. A command line that asks the file explorer to open an
/// address opens it with the desktop's own handler instead: no shell ever
/// sees the address.
class QtProgramLauncher : public ProgramLauncher
{
public:
    /// Throws Failure("File not found") when the program cannot be started.
    void launch(const QString& commandLine, int windowStyle) override;
    bool openFolder(const QString& path) override;
    bool openNativeFolder(const QByteArray& nativePath) override;

    /// The address in `explorer "address"`, or nothing for any other command line.
    static std::optional<QString> explorerTarget(const QString& commandLine);
};

} // namespace vantorel
