// SPDX-License-Identifier: MIT
#include "platform/qt/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vantorel
{

namespace
{

    QPixmap draw(int size)
    {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);

        painter.setPen(QPen(QColor(0x9a, 0x6b, 0x00), 1.0));
        painter.setBrush(QColor(0xf5, 0xc2, 0x42));
        QPainterPath folder;
        folder.moveTo(2, 8);
        folder.lineTo(11, 8);
        folder.lineTo(13, 11);
        folder.lineTo(28, 11);
        folder.lineTo(28, 26);
        folder.lineTo(2, 26);
        folder.closeSubpath();
        painter.drawPath(folder);

        painter.setBrush(QColor(255, 255, 255, 170));
        painter.setPen(QPen(QColor(0x20, 0x40, 0x80), 2.5));
        painter.drawEllipse(QPointF(18, 17), 6.5, 6.5);
        painter.setPen(QPen(QColor(0x20, 0x40, 0x80), 3.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(22.8, 21.8), QPointF(29, 28));
        return pixmap;
    }

} // namespace

QIcon ProgramIcon::icon()
{
    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64 })
        icon.addPixmap(draw(size));
    return icon;
}

} // namespace vantorel
