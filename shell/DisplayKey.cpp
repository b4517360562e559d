// SPDX-License-Identifier: MIT
#include "shell/DisplayKey.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace vantorel::handoff
{

namespace
{

    bool allDigits(const QByteArray& text)
    {
        return !text.isEmpty()
            && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    }

    /// The number without leading zeros, as the X server reads it.
    QByteArray number(const QByteArray& digits)
    {
        return QByteArray::number(digits.toULongLong());
    }

} // namespace

QByteArray normalX11Display(const QByteArray& display)
{
    const qsizetype colon = display.lastIndexOf(':');
    if (colon < 0)
        return display;
    QByteArray host = display.left(colon).toLower();
    const QByteArray rest = display.mid(colon + 1);
    const qsizetype dot = rest.indexOf('.');
    const QByteArray displayNumber = dot < 0 ? rest : rest.left(dot);
    const QByteArray screen = dot < 0 ? QByteArray("0") : rest.mid(dot + 1);
    if (!allDigits(displayNumber) || !allDigits(screen))
        return display;
    // "unix/" names the transport, "unix" or nothing the local machine's socket.
    if (host.startsWith("unix/"))
        host = host.mid(5);
    if (host == "unix")
        host.clear();
    return host + ':' + number(displayNumber) + '.' + number(screen);
}

bool isWaylandPlatform(const QString& platformName)
{
    return platformName.startsWith(QLatin1String("wayland"));
}

QByteArray displayKey(const QString& platformName, const QByteArray& x11Display,
    const QByteArray& waylandDisplay, const QByteArray& runtimeFolder)
{
    if (isWaylandPlatform(platformName)) {
        // libwayland's own default when the variable is unset.
        const QByteArray name = waylandDisplay.isEmpty() ? QByteArray("wayland-0") : waylandDisplay;
        const QString socket = name.startsWith('/')
            ? QFile::decodeName(name)
            : QFile::decodeName(runtimeFolder) + QLatin1Char('/') + QFile::decodeName(name);
        return "wayland " + QFile::encodeName(QDir::cleanPath(socket));
    }
    return platformName.toUtf8() + ' ' + normalX11Display(x11Display);
}

QByteArray currentDisplayKey(const QString& platformName)
{
    return displayKey(
        platformName, qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_RUNTIME_DIR"));
}

} // namespace vantorel::handoff
