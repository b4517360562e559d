// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vantorel
{

/// The desktop entry of the program that opens folders for the desktop, as
/// `xdg-mime query default inode/directory` names it ("org.gnome.Nautilus.desktop");
/// empty when the desktop names none or does not answer within a short while.
/// xdg-mime is asked, not the mimeapps.list files read here: it follows the
/// same rules per desktop as xdg-open, the opener Qt hands folders to,
/// including the guess from the installed entries when no default is set.
QString desktopFolderOpener();

/// Whether that program is this one, whose desktop entry the application names.
bool desktopFolderOpenerIsThisProgram();

} // namespace vantorel
