// SPDX-License-Identifier: MIT
#include "shell/Form1.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace
{

// Qt aborts with a plugin message when it finds no display; say it plainly instead.
bool hasDisplay()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        std::fprintf(stderr,
            "ostlebry: no display found. This is a desktop program: start it in a "
            "graphical session (DISPLAY or WAYLAND_DISPLAY must be set).\n");
        return 2;
    }
    QApplication app(argc, argv);
    // Lets the desktop match the window to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ostlebry"));
    vantorel::Form1 window;
    window.load();
    window.showCentred();
    return app.exec();
}
