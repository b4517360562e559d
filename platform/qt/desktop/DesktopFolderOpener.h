// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace vantorel
{

/// Asks for the desktop entry of the program that opens folders for the
/// desktop, as `xdg-mime query default inode/directory` names it
/// ("org.gnome.Nautilus.desktop"). xdg-mime is asked, not the mimeapps.list
/// files read here: it follows the same rules per desktop as xdg-open, the
/// opener Qt hands folders to, including the guess from the installed entries
/// when no default is set.
///
/// Nothing waits for it: `done` gets the entry later, from the event loop,
/// or empty when the desktop names none or has not answered within
/// kDesktopOpenerWaitMs. It is called once, and never after `context` is gone.
void askDesktopFolderOpener(QObject& context, std::function<void(const QString& entry)> done);

/// Whether `entry` is this program's own, which the application names.
bool isThisProgramsEntry(const QString& entry);

inline constexpr int kDesktopOpenerWaitMs = 1000;

} // namespace vantorel
