// SPDX-License-Identifier: MIT
#include "shell/qt/WindowActivation.h"

#include "shell/DisplayKey.h"
#include "shell/qt/X11StartupNotice.h"

#include <QGuiApplication>
#include <QWidget>

namespace vantorel
{

namespace
{

    bool onX11()
    {
        return QGuiApplication::platformName() == QLatin1String("xcb");
    }

    bool onWayland()
    {
        return handoff::isWaylandPlatform(QGuiApplication::platformName());
    }

} // namespace

void DesktopActivation::activate(QWidget& window, const QByteArray& startupId)
{
    const bool x11 = onX11() && !startupId.isEmpty();
    const bool wayland = onWayland() && !startupId.isEmpty();
    // Qt's Wayland platform activates with the token it finds here.
    if (wayland)
        qputenv("XDG_ACTIVATION_TOKEN", startupId);
    window.raise();
    // Qt's X11 platform would ask with the time of the window's own last
    // event, older than the launch: a window manager may then refuse.
    if (!(x11 && x11::activateForLaunch(window, startupId)))
        window.activateWindow();
    // Qt takes the token when it uses it; one it did not use must not serve a later launch.
    if (wayland)
        qunsetenv("XDG_ACTIVATION_TOKEN");
    if (x11)
        x11::sendStartupRemove(startupId);
}

bool DesktopActivation::endsStartupFeedback() const
{
    return onX11() || onWayland();
}

bool endStartupFeedback(const QByteArray& startupId)
{
    return onX11() && !startupId.isEmpty() && x11::sendStartupRemove(startupId);
}

} // namespace vantorel
