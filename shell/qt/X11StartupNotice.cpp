// SPDX-License-Identifier: MIT
#include "shell/qt/X11StartupNotice.h"

#include <QGuiApplication>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace vantorel::x11
{

namespace
{

    // The start-up notification's message comes in client messages of 20 bytes.
    constexpr int kChunkBytes = 20;
    // _NET_ACTIVE_WINDOW's source indication for a request by an application.
    constexpr uint32_t kFromApplication = 1;

    template <class Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

    xcb_connection_t* connection()
    {
        const auto* x11 = qGuiApp == nullptr
            ? nullptr
            : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        return x11 == nullptr ? nullptr : x11->connection();
    }

    xcb_atom_t atom(xcb_connection_t* connection, const char* name)
    {
        const auto cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
        const ReplyPtr<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    /// The root window of the screen DISPLAY names.
    xcb_window_t root(xcb_connection_t* connection)
    {
        char* host = nullptr;
        int display = 0;
        int screen = 0;
        if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
            screen = 0;
        std::free(host);
        auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (; roots.rem > 0 && screen > 0; --screen)
            xcb_screen_next(&roots);
        return roots.rem > 0 ? roots.data->root : xcb_window_t(XCB_WINDOW_NONE);
    }

    /// The window that holds `window`'s user time: a window of its own when
    /// Qt made one for it, else the window itself.
    xcb_window_t userTimeWindow(xcb_connection_t* connection, xcb_window_t window)
    {
        const auto cookie = xcb_get_property(connection, 0, window,
            atom(connection, "_NET_WM_USER_TIME_WINDOW"), XCB_ATOM_WINDOW, 0, 1);
        const ReplyPtr<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(connection, cookie, nullptr), &std::free);
        if (!reply || reply->type != XCB_ATOM_WINDOW
            || xcb_get_property_value_length(reply.get()) != 4)
            return window;
        return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    }

    void requestActivation(
        xcb_connection_t* connection, xcb_window_t rootWindow, xcb_window_t window, uint32_t time)
    {
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atom(connection, "_NET_ACTIVE_WINDOW");
        event.data.data32[0] = kFromApplication;
        event.data.data32[1] = time;
        event.data.data32[2] = XCB_WINDOW_NONE; // none of ours is active
        xcb_send_event(connection, 0, rootWindow,
            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
            reinterpret_cast<const char*>(&event));
    }

} // namespace

quint32 launchTime(const QByteArray& startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0)
        return 0;
    bool ok = false;
    const quint32 time = startupId.mid(at + 5).toUInt(&ok);
    return ok ? time : 0;
}

bool activateForLaunch(QWidget& window, const QByteArray& startupId)
{
    xcb_connection_t* const x = connection();
    const uint32_t time = launchTime(startupId);
    if (x == nullptr || time == 0 || !window.isWindow())
        return false;
    const auto id = xcb_window_t(window.winId());
    const xcb_window_t rootWindow = root(x);
    if (rootWindow == XCB_WINDOW_NONE)
        return false;
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, id, atom(x, "_NET_STARTUP_ID"),
        atom(x, "UTF8_STRING"), 8, uint32_t(startupId.size()), startupId.constData());
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, userTimeWindow(x, id),
        atom(x, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &time);
    requestActivation(x, rootWindow, id, time);
    return xcb_flush(x) > 0;
}

bool sendStartupRemove(const QByteArray& startupId)
{
    xcb_connection_t* const x = connection();
    if (x == nullptr || startupId.isEmpty())
        return false;
    const xcb_window_t rootWindow = root(x);
    const xcb_atom_t begin = atom(x, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(x, "_NET_STARTUP_INFO");
    if (rootWindow == XCB_WINDOW_NONE || begin == XCB_ATOM_NONE || more == XCB_ATOM_NONE)
        return false;
    const QByteArray message = "remove: ID=" + startupId;
    // The closing NUL belongs to the message.
    const qsizetype length = message.size() + 1;
    for (qsizetype sent = 0; sent < length; sent += kChunkBytes) {
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = rootWindow;
        event.type = sent == 0 ? begin : more;
        std::memcpy(event.data.data8, message.constData() + sent,
            std::size_t(std::min<qsizetype>(kChunkBytes, length - sent)));
        xcb_send_event(x, 0, rootWindow, XCB_EVENT_MASK_PROPERTY_CHANGE,
            reinterpret_cast<const char*>(&event));
    }
    return xcb_flush(x) > 0;
}

} // namespace vantorel::x11
