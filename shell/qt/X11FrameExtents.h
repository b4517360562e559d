// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <QObject>
#include <functional>
#include <optional>
#include <qwindowdefs.h>

class QWidget;

namespace vantorel
{

/// The frame an X11 window manager puts around a window, as it announces it
/// in the window's _NET_FRAME_EXTENTS. Qt learns of a frame only when the
/// window is configured again, which a window manager that keeps the window
/// where it asked to be never does; this reads the frame at once and tells
/// when it is set or changes. Off X11 it knows nothing and never calls.
class X11FrameExtents final : public QObject, public QAbstractNativeEventFilter
{
public:
    /// `changed` runs, from the event loop, whenever `window`'s frame is set or changes.
    X11FrameExtents(QWidget& window, std::function<void()> changed);
    ~X11FrameExtents() override;
    X11FrameExtents(const X11FrameExtents&) = delete;
    X11FrameExtents& operator=(const X11FrameExtents&) = delete;

    /// The frame in device pixels, empty until the window manager has told it.
    std::optional<QMargins> devicePixels() const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::optional<QMargins> read(WId window) const;

    QWidget& m_window;
    std::function<void()> m_changed;
    void* m_connection = nullptr; // xcb_connection_t, only under X11
    quint32 m_atom = 0;
    // What was read, for which window; read again when the property changes.
    mutable WId m_readFor = 0;
    mutable std::optional<QMargins> m_read;
};

} // namespace vantorel
