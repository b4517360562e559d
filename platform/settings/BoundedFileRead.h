// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace vantorel
{

/// What reading a small file found.
struct BoundedFileRead {
    enum class Outcome { Read, Absent, Folder, NotRegular, TooLarge, Unreadable };
    Outcome outcome = Outcome::Absent;
    QByteArray bytes;
};

/// Reads a regular file of at most `maxBytes`. Anything else (a FIFO, a
/// device, a link to one) is neither opened for long nor read: a FIFO would
/// block until someone writes into it, a device such as /dev/zero never ends.
BoundedFileRead readBoundedFile(const QString& path, qint64 maxBytes);

} // namespace vantorel
