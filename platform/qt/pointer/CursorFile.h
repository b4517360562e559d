// SPDX-License-Identifier: MIT
#pragma once

#include <QCursor>
#include <QPoint>
#include <QString>

namespace vantorel
{

/// A pointer image from a Windows cursor file.
class CursorFile
{
public:
    /// Throws Failure("Invalid picture") when the file holds no readable image.
    static QCursor load(const QString& path);
    /// The hot spot the file names: the x and y of its first image, bytes 10
    /// to 13, little-endian; (0, 0) when the file is too short.
    static QPoint hotSpot(const QByteArray& fileBytes);
};

} // namespace vantorel
