// SPDX-License-Identifier: MIT
#include "platform/qt/pointer/CursorFile.h"

#include "platform/Failure.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>

namespace vantorel
{

QPoint CursorFile::hotSpot(const QByteArray& fileBytes)
{
    if (fileBytes.size() < 14)
        return QPoint(0, 0);
    const auto byte = [&](int i) { return int(static_cast<unsigned char>(fileBytes[i])); };
    return QPoint(byte(10) | (byte(11) << 8), byte(12) | (byte(13) << 8));
}

QCursor CursorFile::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(Failure::tr("Invalid picture"));
    const QByteArray bytes = file.readAll();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // Qt reads cursor files through its icon reader; name the format, as the
    // content alone may not tell a cursor from other pictures.
    QImageReader reader(&buffer, "cur");
    QImage image = reader.read();
    if (image.isNull()) {
        buffer.seek(0);
        QImageReader anyFormat(&buffer);
        image = anyFormat.read();
    }
    if (image.isNull())
        throw Failure(Failure::tr("Invalid picture"));
    QPoint spot = hotSpot(bytes);
    spot.setX(qBound(0, spot.x(), image.width() - 1));
    spot.setY(qBound(0, spot.y(), image.height() - 1));
    return QCursor(QPixmap::fromImage(image), spot.x(), spot.y());
}

} // namespace vantorel
