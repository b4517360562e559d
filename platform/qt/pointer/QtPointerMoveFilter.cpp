// SPDX-License-Identifier: MIT
#include "platform/qt/pointer/QtPointerMoveFilter.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QWidget>

namespace vantorel
{

QtPointerMoveFilter::QtPointerMoveFilter(PointerMoves& handlers)
    : m_handlers(handlers)
{
}

void QtPointerMoveFilter::watchAs(QWidget& widget, PointerArea area)
{
    widget.setMouseTracking(true);
    // The handler answers for this widget; an ignored move must not travel on
    // to the parent and fire the parent's handler as well.
    if (!widget.isWindow())
        widget.setAttribute(Qt::WA_NoMousePropagation);
    widget.installEventFilter(this);
    m_areas.insert(&widget, area);
}

void QtPointerMoveFilter::watch(QWidget& control)
{
    const PointerArea area = m_handlers.areaOfControl(control.objectName());
    if (area == PointerArea::None) {
        // A move over an option button or check box would otherwise travel on
        // to its frame, whose handler would answer in its place.
        if (qobject_cast<QAbstractButton*>(&control))
            control.setAttribute(Qt::WA_NoMousePropagation);
        return;
    }
    watchAs(control, area);
    // A list's viewport, header and scroll bars are parts of the list; a
    // frame's and the window's children are controls of their own.
    if (!control.isWindow() && !qobject_cast<QGroupBox*>(&control)) {
        for (QWidget* part : control.findChildren<QWidget*>())
            watchAs(*part, area);
    }
}

void QtPointerMoveFilter::watchAll(QWidget& window)
{
    watch(window);
    for (QWidget* child : window.findChildren<QWidget*>()) {
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            watch(*child);
    }
}

bool QtPointerMoveFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        const auto it = m_areas.constFind(watched);
        if (it != m_areas.constEnd())
            m_handlers.moved(*it);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantorel
