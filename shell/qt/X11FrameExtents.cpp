// SPDX-License-Identifier: MIT
#include "shell/qt/X11FrameExtents.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace vantorel
{

namespace
{

    constexpr char kName[] = "_NET_FRAME_EXTENTS";

    template <class Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

    xcb_connection_t* connectionOf(void* connection)
    {
        return static_cast<xcb_connection_t*>(connection);
    }

} // namespace

X11FrameExtents::X11FrameExtents(QWidget& window, std::function<void()> changed)
    : m_window(window)
    , m_changed(std::move(changed))
{
    const auto* x11 = qGuiApp == nullptr
        ? nullptr
        : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 == nullptr ? nullptr : x11->connection();
    if (connection == nullptr)
        return;
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(kName)), kName);
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        return;
    m_connection = connection;
    m_atom = reply->atom;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11FrameExtents::~X11FrameExtents()
{
    if (m_connection != nullptr && QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

std::optional<QMargins> X11FrameExtents::devicePixels() const
{
    const WId window = m_window.internalWinId();
    if (m_connection == nullptr || window == 0)
        return std::nullopt;
    if (window != m_readFor) {
        m_read = read(window);
        m_readFor = window;
    }
    return m_read;
}

std::optional<QMargins> X11FrameExtents::read(WId window) const
{
    xcb_connection_t* connection = connectionOf(m_connection);
    const auto cookie
        = xcb_get_property(connection, 0, xcb_window_t(window), m_atom, XCB_ATOM_CARDINAL, 0, 4);
    const ReplyPtr<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    // Left, right, top, bottom.
    const auto* sides = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return QMargins(int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3]));
}

bool X11FrameExtents::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
    const WId window = m_window.internalWinId();
    if (window != 0 && property->window == xcb_window_t(window) && property->atom == m_atom) {
        m_readFor = 0;
        // Qt is still handling the event: the window is moved once it is done.
        QTimer::singleShot(0, this, m_changed);
    }
    return false;
}

} // namespace vantorel
