// SPDX-License-Identifier: MIT
#include "X11Probe.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <xcb/xcb.h>

namespace vantorel::test
{

namespace
{

    template <class Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

    // Start-up messages come in client messages of 20 bytes, the first
    // marked _NET_STARTUP_INFO_BEGIN, the whole ending with a NUL.
    constexpr int kChunkBytes = 20;
    constexpr int kWaitMs = 5000;
    // _NET_ACTIVE_WINDOW's source indication for a pager, which a window
    // manager always obeys.
    constexpr uint32_t kFromPager = 2;

} // namespace

X11Probe::X11Probe()
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return;
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; screens.rem > 0 && screenNumber > 0; --screenNumber)
        xcb_screen_next(&screens);
    m_connection = connection;
    m_root = screens.data->root;
    m_screenSize = QSize(screens.data->width_in_pixels, screens.data->height_in_pixels);
    m_startupBegin = atom("_NET_STARTUP_INFO_BEGIN");
    m_startupMore = atom("_NET_STARTUP_INFO");
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

X11Probe::~X11Probe()
{
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
}

quint32 X11Probe::atom(const char* name)
{
    const auto cookie = xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name);
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(m_connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : 0;
}

QByteArray X11Probe::property(quint32 window, const char* name)
{
    const auto cookie
        = xcb_get_property(m_connection, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096);
    const ReplyPtr<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
    if (!reply)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
        xcb_get_property_value_length(reply.get()));
}

quint32 X11Probe::cardinal(quint32 window, const char* name)
{
    const QByteArray value = property(window, name);
    quint32 number = 0;
    if (value.size() >= qsizetype(sizeof number))
        std::memcpy(&number, value.constData(), sizeof number);
    return number;
}

quint32 X11Probe::clientOf(qint64 pid)
{
    if (m_connection == nullptr)
        return 0;
    const QByteArray clients = property(m_root, "_NET_CLIENT_LIST");
    for (qsizetype at = 0; at + 4 <= clients.size(); at += 4) {
        quint32 client = 0;
        std::memcpy(&client, clients.constData() + at, 4);
        if (cardinal(client, "_NET_WM_PID") == quint32(pid))
            return client;
    }
    return 0;
}

QRect X11Probe::frameOf(quint32 client)
{
    if (property(client, "_NET_FRAME_EXTENTS").isEmpty())
        return {};
    // The frame is the client's ancestor that is a child of the root.
    xcb_window_t frame = client;
    for (;;) {
        const ReplyPtr<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, frame), nullptr),
            &std::free);
        if (!tree)
            return {};
        if (tree->parent == m_root)
            break;
        frame = tree->parent;
    }
    if (frame == client)
        return {};
    const ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, frame), nullptr),
        &std::free);
    if (!geometry)
        return {};
    const int border = geometry->border_width;
    return { geometry->x, geometry->y, geometry->width + 2 * border,
        geometry->height + 2 * border };
}

quint32 X11Probe::activeWindow()
{
    return m_connection == nullptr ? 0 : cardinal(m_root, "_NET_ACTIVE_WINDOW");
}

void X11Probe::activate(quint32 window)
{
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("_NET_ACTIVE_WINDOW");
    event.data.data32[0] = kFromPager;
    event.data.data32[1] = serverTime();
    xcb_send_event(m_connection, 0, m_root,
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection);
}

void X11Probe::close(quint32 window)
{
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("_NET_CLOSE_WINDOW");
    event.data.data32[0] = serverTime();
    event.data.data32[1] = kFromPager;
    xcb_send_event(m_connection, 0, m_root,
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection);
}

bool X11Probe::exists(quint32 window)
{
    const ReplyPtr<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, window), nullptr),
        &std::free);
    return reply != nullptr;
}

quint32 X11Probe::showOtherWindow()
{
    if (m_connection == nullptr)
        return 0;
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 0, 0, 200, 100, 0,
        XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(m_connection, window);
    xcb_flush(m_connection);
    return window;
}

QByteArrayList X11Probe::startupMessages()
{
    drainEvents();
    return m_messages;
}

quint32 X11Probe::serverTime()
{
    if (m_connection == nullptr)
        return 0;
    // Appending nothing to a property changes nothing but is stamped all the same.
    m_clock = atom("_OSTLEBRY_TEST_CLOCK");
    m_timeSeen = false;
    xcb_change_property(
        m_connection, XCB_PROP_MODE_APPEND, m_root, m_clock, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(m_connection);
    const QDeadlineTimer deadline(kWaitMs);
    while (!m_timeSeen && !deadline.hasExpired()) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(
            xcb_wait_for_event(m_connection), &std::free);
        if (!event)
            break;
        take(event.get());
    }
    return m_lastTime;
}

void X11Probe::drainEvents()
{
    if (m_connection == nullptr)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        take(event);
        std::free(event);
    }
}

void X11Probe::take(const void* generic)
{
    const auto* event = static_cast<const xcb_generic_event_t*>(generic);
    const int type = event->response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) {
        // The window manager's own changes to the root's properties, queued
        // before, carry older times.
        const auto* notice = static_cast<const xcb_property_notify_event_t*>(generic);
        if (notice->atom == m_clock) {
            m_lastTime = notice->time;
            m_timeSeen = true;
        }
        return;
    }
    if (type != XCB_CLIENT_MESSAGE)
        return;
    const auto* message = static_cast<const xcb_client_message_event_t*>(generic);
    if (message->format != 8)
        return;
    if (message->type == m_startupBegin)
        m_partial.clear();
    else if (message->type != m_startupMore)
        return;
    const auto* bytes = reinterpret_cast<const char*>(message->data.data8);
    const auto* end = static_cast<const char*>(std::memchr(bytes, '\0', kChunkBytes));
    m_partial.append(bytes, end == nullptr ? kChunkBytes : end - bytes);
    if (end != nullptr)
        m_messages << std::exchange(m_partial, {});
}

bool turnWheel(QPoint screenPoint, int notches)
{
    // The server takes the move before the clicks, which come on the same connection.
    QStringList arguments { "mousemove", QString::number(screenPoint.x()),
        QString::number(screenPoint.y()), "click", "--repeat", QString::number(std::abs(notches)),
        notches > 0 ? "5" : "4" };
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForFinished(kWaitMs) && xdotool.exitStatus() == QProcess::NormalExit
        && xdotool.exitCode() == 0;
}

bool pressKey(const char* key)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), { QStringLiteral("key"), QString::fromLatin1(key) });
    return xdotool.waitForFinished(kWaitMs) && xdotool.exitStatus() == QProcess::NormalExit
        && xdotool.exitCode() == 0;
}

} // namespace vantorel::test
