// SPDX-License-Identifier: MIT
#include "platform/qt/pointer/QtPointerSetting.h"

#include "platform/Failure.h"

#include <QWidget>

namespace vantorel
{

namespace
{

    std::optional<Qt::CursorShape> standardShape(qint16 value)
    {
        switch (value) {
        case 1:
            return Qt::ArrowCursor;
        case 2:
            return Qt::CrossCursor;
        case 3:
            return Qt::IBeamCursor;
        case 4:
            return Qt::ArrowCursor;
        case 5:
            return Qt::SizeAllCursor;
        case 6:
            return Qt::SizeBDiagCursor;
        case 7:
            return Qt::SizeVerCursor;
        case 8:
            return Qt::SizeFDiagCursor;
        case 9:
            return Qt::SizeHorCursor;
        case 10:
            return Qt::UpArrowCursor;
        case 11:
            return Qt::WaitCursor;
        case 12:
            return Qt::ForbiddenCursor;
        case 13:
            return Qt::BusyCursor;
        case 14:
            return Qt::WhatsThisCursor;
        case 15:
            return Qt::SizeAllCursor;
        default:
            return std::nullopt;
        }
    }

} // namespace

QtPointerSetting::QtPointerSetting(QWidget& window)
    : m_window(window)
{
    const QList<QWidget*> children = window.findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->testAttribute(Qt::WA_SetCursor))
            m_ownCursors.push_back({ child, child->cursor() });
    }
}

std::optional<QCursor> QtPointerSetting::cursorFor(qint16 value) const
{
    if (value == Custom)
        return m_custom ? *m_custom : QCursor(Qt::PointingHandCursor);
    if (const std::optional<Qt::CursorShape> shape = standardShape(value))
        return QCursor(*shape);
    return std::nullopt;
}

void QtPointerSetting::setValue(qint16 value)
{
    if (value != Default && value != Custom && !standardShape(value))
        throw Failure(Failure::tr("Invalid property value"));
    m_value = value;
    apply();
}

void QtPointerSetting::setCustomCursor(const QCursor& cursor)
{
    m_custom = cursor;
    if (m_value == Custom)
        apply();
}

void QtPointerSetting::apply()
{
    const std::optional<QCursor> cursor = cursorFor(m_value);
    if (!cursor) {
        m_window.unsetCursor();
        for (const OwnCursor& own : m_ownCursors) {
            if (own.widget)
                own.widget->setCursor(own.cursor);
        }
        return;
    }
    m_window.setCursor(*cursor);
    for (const OwnCursor& own : m_ownCursors) {
        if (own.widget)
            own.widget->setCursor(*cursor);
    }
}

} // namespace vantorel
