// SPDX-License-Identifier: MIT
#include "shell/qt/ProgramEnd.h"

#include <QGuiApplication>
#include <QWidget>

#include <dirent.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantorel
{

namespace
{

    /// Unmaps the window and shuts the connection down: the server destroys
    /// every window of a client whose connection ends. Shut down, not only
    /// closed: the thread that reads the server's events holds the socket
    /// open for as long as it runs.
    void leaveX11Display(QWidget& window)
    {
        auto* x11
            = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (x11 == nullptr || x11->connection() == nullptr)
            return;
        xcb_connection_t* connection = x11->connection();
        if (window.windowHandle() != nullptr)
            xcb_unmap_window(connection, xcb_window_t(window.winId()));
        xcb_flush(connection);
        ::shutdown(xcb_get_file_descriptor(connection), SHUT_RDWR);
    }

    bool isSocket(const char* descriptor)
    {
        char path[64];
        char target[32];
        std::snprintf(path, sizeof path, "/proc/self/fd/%s", descriptor);
        const ssize_t length = ::readlink(path, target, sizeof target);
        return length >= 7 && std::memcmp(target, "socket:", 7) == 0;
    }

    /// Closes the sockets: the display's (Wayland's too), the hand-off's
    /// listener and clients, the session bus. Other descriptors are left to
    /// the process's end: closing a file written on a share that stopped
    /// answering would wait for the share, and nobody else sees them. Which
    /// is which is read from /proc, which never asks the file system.
    void closeSockets()
    {
        DIR* listing = ::opendir("/proc/self/fd");
        if (listing == nullptr)
            return;
        const int own = ::dirfd(listing);
        while (const dirent* entry = ::readdir(listing)) {
            char* end = nullptr;
            const long descriptor = std::strtol(entry->d_name, &end, 10);
            if (end == entry->d_name || *end != '\0' || descriptor <= STDERR_FILENO
                || descriptor == own)
                continue;
            if (isSocket(entry->d_name))
                ::close(int(descriptor));
        }
        ::closedir(listing);
    }

} // namespace

void endProgramNow(QWidget& window)
{
    leaveX11Display(window);
    closeSockets();
    std::_Exit(0);
}

} // namespace vantorel
