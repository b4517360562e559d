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
{
    window.installEventFilter(this);
}

QMargins FramedPlacement::frameMargins() const
{
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
    const QRect available = screen->availableGeometry();
    const QMargins frame = frameMargins();
    m_fit(available.size().shrunkBy(frame));
    // A window's position is its frame's.
    m_window.move(placeWindowFrame(available, m_window.size().grownBy(frame)));
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
