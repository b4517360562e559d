// SPDX-License-Identifier: MIT
// A client of its own on the tests' X server, to see the program's windows as
// the window manager and a launcher see them: frames, properties, the active
// window, the start-up messages on the root window, and the server's clock.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QPoint>
#include <QRect>
#include <QSize>

struct xcb_connection_t;

namespace vantorel::test
{

class X11Probe
{
public:
    /// Connects to DISPLAY and starts listening on the root window.
    X11Probe();
    ~X11Probe();
    X11Probe(const X11Probe&) = delete;
    X11Probe& operator=(const X11Probe&) = delete;

    bool connected() const { return m_connection != nullptr; }
    QSize screenSize() const { return m_screenSize; }

    /// The window the window manager manages for process `pid`; 0 if none yet.
    quint32 clientOf(qint64 pid);
    /// The frame the window manager put around `client`, in screen pixels;
    /// empty while it has not framed it.
    QRect frameOf(quint32 client);
    /// A property of `window` as bytes, empty when it has none.
    QByteArray property(quint32 window, const char* name);
    /// The window the window manager says is active.
    quint32 activeWindow();
    /// Asks the window manager, as a pager would, to activate `window`.
    void activate(quint32 window);
    /// Asks the window manager, as a pager would, to close `window`: it sends
    /// the window what its close button sends.
    void close(quint32 window);
    /// Whether `window` exists: the server destroys every window of a client
    /// whose connection ends.
    bool exists(quint32 window);
    /// A plain window of another program, shown; 0 if it could not be made.
    quint32 showOtherWindow();

    /// The start-up messages sent to the root window since the probe began
    /// ("remove: ID=..."), whole.
    QByteArrayList startupMessages();
    /// The X server's time now, as a launcher stamps a start with it.
    quint32 serverTime();

private:
    quint32 atom(const char* name);
    quint32 cardinal(quint32 window, const char* name);
    void take(const void* event);
    void drainEvents();

    xcb_connection_t* m_connection = nullptr;
    quint32 m_root = 0;
    quint32 m_startupBegin = 0;
    quint32 m_startupMore = 0;
    QSize m_screenSize;
    QByteArrayList m_messages;
    QByteArray m_partial;
    quint32 m_clock = 0;
    quint32 m_lastTime = 0;
    bool m_timeSeen = false;
};

/// Moves the pointer to `screenPoint` (device pixels) and turns the wheel by
/// `notches`, down when positive, through the X server's test extension.
bool turnWheel(QPoint screenPoint, int notches);
/// Presses and releases `key` ("Shift_L") in the focused window, through the
/// X server's test extension.
bool pressKey(const char* key);

} // namespace vantorel::test
