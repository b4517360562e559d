// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

class QWidget;

/// The X11 start-up notification calls that Qt's X11 platform makes only for
/// a window it maps, made here for a window that is already shown.
namespace vantorel::x11
{

/// The launch time an X11 start-up id ends with ("..._TIME<number>"), 0 when
/// it has none.
quint32 launchTime(const QByteArray& startupId);

/// Makes `startupId` the application's start-up id, so that the window
/// manager ties `window`'s next activation to that launch, and takes the
/// launch's time as the user's last action, so that the activation is not
/// taken for focus stealing.
void adoptStartupId(QWidget& window, const QByteArray& startupId);

/// Tells the launcher that the start `startupId` is done ("remove: ID=...").
/// False when there is no X11 connection.
bool sendStartupRemove(const QByteArray& startupId);

} // namespace vantorel::x11
