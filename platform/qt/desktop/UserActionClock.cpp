// SPDX-License-Identifier: MIT
#include "platform/qt/desktop/UserActionClock.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputEvent>

namespace vantorel
{

UserActionClock::UserActionClock()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

QByteArray UserActionClock::startupId()
{
    // Qt's X11 platform stamps input events with the X server's time, the
    // clock the window manager compares.
    if (m_lastAction == 0 || QGuiApplication::platformName() != QLatin1String("xcb"))
        return QByteArray();
    return startupId(m_lastAction, ++m_sequence);
}

QByteArray UserActionClock::startupId(quint64 time, int sequence)
{
    return "ostlebry-" + QByteArray::number(QCoreApplication::applicationPid()) + '-'
        + QByteArray::number(sequence) + "_TIME" + QByteArray::number(time);
}

bool UserActionClock::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (const quint64 time = static_cast<QInputEvent*>(event)->timestamp())
            m_lastAction = time;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantorel
