// SPDX-License-Identifier: MIT
#include "shell/qt/FramedPlacement.h"

#include "shell/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vantorel
{

FramedPlacement::FramedPlacement(QWidget& window, Fit fit)
    : m_window(window)
    , m_fit(std::move(fit))
    , m_x11Frame(window, [this] {
        if (m_placed && frameMargins() != m_placedWith)
            place();
    })
{
    window.installEventFilter(this);
}

// X11 says the frame in device pixels; elsewhere Qt's frame geometry is all there is.
QMargins FramedPlacement::frameMargins() const
{
    if (const auto device = m_x11Frame.devicePixels())
        return logicalFrame(*device, m_window.devicePixelRatio());
    const QRect frame = m_window.frameGeometry();
    const QRect client = m_window.geometry();
    return { client.left() - frame.left(), client.top() - frame.top(),
        frame.right() - client.right(), frame.bottom() - client.bottom() };
}

void FramedPlacement::place()
{
    const QScreen* screen = m_window.screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect available = placeableArea(screen->availableGeometry(), m_window.devicePixelRatio());
    const QMargins frame = frameMargins();
    m_fit(available.size().shrunkBy(frame));
    const QPoint frameCorner = placeWindowFrame(available, m_window.size().grownBy(frame));
    // The window's own area, not its frame's: the platform may not know the
    // frame yet, and would then put the window's top where the frame's goes.
    m_window.setGeometry(QRect(frameCorner + QPoint(frame.left(), frame.top()), m_window.size()));
    m_placedWith = frame;
    m_placed = true;
}

// The window manager's frame shows as a move of the client area inside it.
bool FramedPlacement::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (m_placed && watched == &m_window
        && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)
        && frameMargins() != m_placedWith) {
        place();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantorel
