// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>

namespace vantorel
{

/// The time of the user's last key press or click, as the window system
/// stamped it, for the start-up id of a window that the program asks another
/// program to show. A window manager that prevents focus stealing brings such
/// a window to the front only when the id's time is not older than the
/// user's last action elsewhere.
class UserActionClock : public QObject
{
public:
    /// Watches the application's input from now on.
    UserActionClock();

    /// An id for a window shown for the user's last action: under X11
    /// "ostlebry-<pid>-<n>_TIME<time>", as launchers make them. Empty before
    /// any action, and where a program cannot make one itself (a Wayland
    /// compositor hands out its own tokens; offscreen there is no desktop).
    QByteArray startupId();
    /// The id for an action at `time`, the `sequence`th the program makes.
    static QByteArray startupId(quint64 time, int sequence);
    /// The time of the last action, 0 before any.
    quint64 lastAction() const { return m_lastAction; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    quint64 m_lastAction = 0;
    int m_sequence = 0;
};

} // namespace vantorel
