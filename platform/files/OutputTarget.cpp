// SPDX-License-Identifier: MIT
#include "platform/files/OutputTarget.h"

#include "platform/Failure.h"

#include "platform/files/KernelFolders.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vantorel
{

namespace
{

    /// The file a chain of symbolic links ends at; the path itself when the
    /// chain loops, so that the open reports the loop.
    QString resolveLinks(const QString& path)
    {
        QString resolved = path;
        for (int depth = 0; depth < 40; ++depth) {
            const QFileInfo info(resolved);
            if (!info.isSymLink())
                return resolved;
            resolved = info.symLinkTarget();
        }
        return path;
    }

    bool mayCreateIn(const QString& folder)
    {
        const QByteArray native = QFile::encodeName(folder);
        return ::faccessat(AT_FDCWD, native.constData(), W_OK | X_OK, AT_EACCESS) == 0;
    }

} // namespace

QString OutputTarget::describe(mode_t mode)
{
    if (S_ISFIFO(mode))
        return Failure::tr("This is a named pipe (FIFO), not a file");
    if (S_ISSOCK(mode))
        return Failure::tr("This is a socket, not a file");
    if (S_ISBLK(mode))
        return Failure::tr("This is a block device, not a file");
    if (S_ISCHR(mode))
        return Failure::tr("This is a device, not a file");
    return Failure::tr("This is not a file");
}

bool OutputTarget::isSink(dev_t device)
{
    // Linux's memory devices: 3 is null, 5 zero, 7 full.
    const unsigned int minorNumber = minor(device);
    return major(device) == 1 && (minorNumber == 3 || minorNumber == 5 || minorNumber == 7);
}

OutputTarget OutputTarget::inspect(const QString& path)
{
    OutputTarget target;
    target.path = resolveLinks(path);
    struct stat status;
    const bool there = ::stat(QFile::encodeName(target.path).constData(), &status) == 0;
    const bool sink = there && S_ISCHR(status.st_mode) && isSink(status.st_rdev);
    // A file there is a setting or a device of the running system, and a new
    // one would live in its memory: neither holds results. A user who saves
    // to /dev/null on purpose is served.
    const QString kernelFolder = kernelFolderHolding(target.path);
    if (!kernelFolder.isEmpty() && !sink) {
        target.kind = Kind::Other;
        target.description = Failure::tr("This is in %1, among the kernel's own files: "
                                         "results are not saved there")
                                 .arg(kernelFolder);
        return target;
    }
    if (!there)
        return target;
    if (S_ISREG(status.st_mode))
        target.kind = Kind::File;
    else if (sink)
        target.kind = Kind::Sink;
    else if (S_ISDIR(status.st_mode))
        target.kind = Kind::Folder;
    else
        target.kind = Kind::Other;
    if (target.kind == Kind::Other)
        target.description = describe(status.st_mode);
    target.mode = status.st_mode;
    target.owner = status.st_uid;
    target.group = status.st_gid;
    // Only root can give a new file another user's ownership.
    const uid_t self = ::geteuid();
    target.replaceable = target.kind == Kind::File && status.st_nlink == 1
        && (self == 0 || status.st_uid == self)
        && mayCreateIn(QFileInfo(target.path).absolutePath());
    return target;
}

} // namespace vantorel
