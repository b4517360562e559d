// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

namespace vantorel
{

class Form1;
class WindowActivation;

/// Adds the folders of a command line, this start's or a later one's, to the
/// window's search locations after the rows it has. Each is a full path as
/// the file system names it, kept as such by its row, so that a name that is
/// not valid text is searched like any other. Like the folder browser's
/// choice, a row is added whether or not its folder exists: a missing one is
/// reported when a search reaches it.
void addStartFolders(Form1& window, const QList<QByteArray>& folders);

/// Shows the window in front, for folders that a later start handed over,
/// with that start's start-up identity (empty when it had none).
void bringToFront(Form1& window, const QByteArray& startupId, WindowActivation& activation);

} // namespace vantorel
