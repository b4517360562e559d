// SPDX-License-Identifier: MIT
#include "platform/qt/skin/QtSkinnableWindow.h"

#include "platform/Failure.h"
#include "platform/qt/skin/QtBackColor.h"

namespace vantorel
{

QtSkinnableWindow::QtSkinnableWindow(QWidget& window)
    : m_window(window)
{
}

void QtSkinnableWindow::setBackColor(quint32 colour)
{
    vantorel::setBackColor(m_window, colour);
}

void QtSkinnableWindow::collect(QWidget& parent) const
{
    for (QObject* child : parent.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow())
            continue;
        const SkinnableControl::Kind kind = QtSkinnableControl::kindOf(*widget);
        const bool named = !widget->objectName().isEmpty()
            && !widget->objectName().startsWith(QLatin1String("qt_"));
        if (named)
            m_controls.emplace_back(widget);
        // Frames and plain containers hold controls; every other control's
        // children are its own parts.
        if (kind == SkinnableControl::Kind::Frame
            || (kind == SkinnableControl::Kind::Other
                && widget->metaObject() == &QWidget::staticMetaObject))
            collect(*widget);
    }
}

int QtSkinnableWindow::controlCount() const
{
    m_controls.clear();
    collect(m_window);
    return int(m_controls.size());
}

SkinnableControl& QtSkinnableWindow::control(int index)
{
    if (index < 0 || std::size_t(index) >= m_controls.size())
        throw Failure(Failure::tr(kIndexOutOfBounds));
    return m_controls[std::size_t(index)];
}

QVariant QtSkinnableWindow::handle() const
{
    return QVariant::fromValue(qulonglong(m_window.winId()));
}

} // namespace vantorel
