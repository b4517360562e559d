// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

namespace vantorel
{

/// What the program's arguments ask for.
struct CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    enum class Action { Start, Help, Version, Error };
    Action action = Action::Start;
    /// Folders to add as search locations, in the order given: full paths,
    /// tidied as a folder chosen in the browser is, in the file system's bytes
    /// (a name need not be valid text).
    QList<QByteArray> folders;
    /// Whether searches check a folder index instead of listing every folder
    /// again: as the environment says (OSTLEBRY_INDEX), never, or also on file
    /// systems whose folder times are not known to move with every change.
    enum class FolderIndex { AsTheEnvironmentSays, Off, Everywhere };
    FolderIndex index = FolderIndex::AsTheEnvironmentSays;
    /// What to print before ending, for every action but Start (an Error's text
    /// goes to standard error).
    QString text;
};

/// Reads the arguments as the system gave them, the program's name first. A
/// relative folder is taken from `workingFolder`, in the same bytes. --help's
/// usage line names the running program, so a QCoreApplication must exist; no
/// display is needed.
CommandLine readCommandLine(const QList<QByteArray>& arguments, const QByteArray& workingFolder);

} // namespace vantorel
