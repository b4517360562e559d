// SPDX-License-Identifier: MIT
#include "platform/settings/BoundedFileRead.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantorel
{

namespace
{

    using Outcome = BoundedFileRead::Outcome;

    Outcome classify(const QFileInfo& info, qint64 maxBytes)
    {
        if (!info.exists())
            return Outcome::Absent;
        if (info.isDir())
            return Outcome::Folder;
        if (!info.isFile())
            return Outcome::NotRegular;
        if (info.size() > maxBytes)
            return Outcome::TooLarge;
        return Outcome::Read;
    }

    /// Opens the file for reading, never waiting on a FIFO put in its place
    /// after it was looked at.
    bool openRegular(QFile& file, Outcome& outcome)
    {
#ifdef Q_OS_UNIX
        const int fd = ::open(QFile::encodeName(file.fileName()).constData(),
            O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            outcome = errno == ENOENT ? Outcome::Absent : Outcome::Unreadable;
            return false;
        }
        struct stat status {
        };
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(fd);
            outcome = S_ISDIR(status.st_mode) ? Outcome::Folder : Outcome::NotRegular;
            return false;
        }
        if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
            return true;
        ::close(fd);
#else
        if (file.open(QIODevice::ReadOnly))
            return true;
#endif
        outcome = Outcome::Unreadable;
        return false;
    }

} // namespace

BoundedFileRead readBoundedFile(const QString& path, qint64 maxBytes)
{
    BoundedFileRead result;
    result.outcome = classify(QFileInfo(path), maxBytes);
    if (result.outcome != Outcome::Read)
        return result;
    QFile file(path);
    if (!openRegular(file, result.outcome))
        return result;
    // The size looked at may have grown since: read one byte more than allowed to tell.
    result.bytes = file.read(maxBytes + 1);
    if (result.bytes.size() > maxBytes) {
        result.outcome = Outcome::TooLarge;
        result.bytes.clear();
    } else if (file.error() != QFileDevice::NoError) {
        result.outcome = Outcome::Unreadable;
        result.bytes.clear();
    }
    return result;
}

} // namespace vantorel
