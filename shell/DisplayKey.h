// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace vantorel::handoff
{

/// The X11 display `display` names, written one way for all its spellings:
/// ":0", ":0.0", "unix:0" and "unix/:0" are all ":0.0". A remote display keeps
/// its host ("localhost:10.0" is a forwarded display, not ":10"). A name that
/// is not of that form is kept as it is.
QByteArray normalX11Display(const QByteArray& display);

/// Where a window of the program shows, so that only a start that would show
/// its own window there hands its folders to it. Qt's platform decides which
/// server that is: under Wayland the compositor, named by its socket
/// (`waylandDisplay` in `runtimeFolder` unless it is a full path); under X11,
/// and any other platform, the X display. In a Wayland session DISPLAY names
/// the compositor's X server, which a Wayland window never uses, and a start
/// forced onto X11 shows its window there: going by the platform never adds
/// folders to a window the user is not looking at.
QByteArray displayKey(const QString& platformName, const QByteArray& x11Display,
    const QByteArray& waylandDisplay, const QByteArray& runtimeFolder);

/// displayKey() for this process's platform and environment.
QByteArray currentDisplayKey(const QString& platformName);

/// True for Qt's Wayland platforms ("wayland", "wayland-egl", ...).
bool isWaylandPlatform(const QString& platformName);

} // namespace vantorel::handoff
