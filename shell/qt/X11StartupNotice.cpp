// SPDX-License-Identifier: MIT
#include "shell/qt/X11StartupNotice.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <qpa/qplatformnativeinterface.h>

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

    xcb_atom_t atom(xcb_connection_t* connection, const char* name)
    {
        const auto cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
        const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    /// The root window of the screen DISPLAY names.
    xcb_window_t root(xcb_connection_t* connection)
    {
        int screen = 0;
        if (xcb_parse_display(nullptr, nullptr, nullptr, &screen) == 0)
            screen = 0;
        auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (; roots.rem > 0 && screen > 0; --screen)
            xcb_screen_next(&roots);
        return roots.rem > 0 ? roots.data->root : xcb_window_t(XCB_WINDOW_NONE);
    }

    /// A function of Qt's platform, which hands each out under a generic type.
    template <class Function, class Generic> Function platformFunction(Generic generic)
    {
        // void (*)() is the type the language lets a function pass through unharmed.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(generic));
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

void adoptStartupId(QWidget& window, const QByteArray& startupId)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (native == nullptr)
        return;
    using SetStartupId = void (*)(const char*);
    if (const auto set = platformFunction<SetStartupId>(
            native->nativeResourceFunctionForIntegration("setstartupid")))
        set(startupId.constData());
    const quint32 time = launchTime(startupId);
    QScreen* screen = window.screen();
    if (time == 0 || screen == nullptr)
        return;
    // Qt only ever moves these times forward.
    using SetTime = void (*)(QScreen*, xcb_timestamp_t);
    for (const char* name : { "setappusertime", "setapptime" }) {
        if (const auto set
            = platformFunction<SetTime>(native->nativeResourceFunctionForScreen(name)))
            set(screen, time);
    }
}

bool sendStartupRemove(const QByteArray& startupId)
{
    const auto* x11 = qGuiApp == nullptr
        ? nullptr
        : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 == nullptr ? nullptr : x11->connection();
    if (connection == nullptr || startupId.isEmpty())
        return false;
    const xcb_window_t rootWindow = root(connection);
    const xcb_atom_t begin = atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(connection, "_NET_STARTUP_INFO");
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
        xcb_send_event(connection, 0, rootWindow, XCB_EVENT_MASK_PROPERTY_CHANGE,
            reinterpret_cast<const char*>(&event));
    }
    return xcb_flush(connection) > 0;
}

} // namespace vantorel::x11
