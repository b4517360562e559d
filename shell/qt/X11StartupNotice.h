// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

class QWidget;

/// The X11 start-up notification calls that Qt's X11 platform makes only for
/// a window it maps, made here for a window that is already shown. They go
/// through libxcb on Qt's own connection to the display.
namespace vantorel::x11
{

/// The launch time an X11 start-up id ends with ("..._TIME<number>"), 0 when
/// it has none.
quint32 launchTime(const QByteArray& startupId);

/// Ties the shown `window` to the launch `startupId`, as a window mapped for
/// it would be: the window carries the id, the launch counts as the user's
/// latest action in it, and the window manager is asked to activate it as of
/// that launch, so that focus-stealing prevention lets it come to the front.
/// False when there is no X11 connection or the id has no launch time (the
/// window is then activated the usual way).
bool activateForLaunch(QWidget& window, const QByteArray& startupId);

/// Tells the launcher that the start `startupId` is done ("remove: ID=...").
/// False when there is no X11 connection.
bool sendStartupRemove(const QByteArray& startupId);

} // namespace vantorel::x11
