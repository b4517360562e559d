// SPDX-License-Identifier: MIT
#include "shell/HandOffPlace.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorel::handoff
{

namespace
{

    const QString kSocketName = QStringLiteral("ostlebry.socket");

} // namespace

QString privateFolderProblem(const QByteArray& folder, uid_t uid)
{
    const QString shown = QFile::decodeName(folder);
    struct stat status {
    };
    // lstat: a link is refused, whatever it points to.
    if (::lstat(folder.constData(), &status) != 0)
        return QStringLiteral("%1: %2").arg(shown, QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("%1 is a link").arg(shown);
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("%1 is not a folder").arg(shown);
    if (status.st_uid != uid)
        return QStringLiteral("%1 belongs to another user").arg(shown);
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return QStringLiteral("%1 is open to other users").arg(shown);
    return QString();
}

QString makePrivateFolder(const QByteArray& folder, uid_t uid)
{
    // An existing folder is left as it is: only the check says whether it will do.
    if (::mkdir(folder.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return QStringLiteral("%1: %2").arg(
            QFile::decodeName(folder), QString::fromLocal8Bit(std::strerror(errno)));
    return privateFolderProblem(folder, uid);
}

QString defaultAddress(QString* problem)
{
    const uid_t uid = ::getuid();
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && privateFolderProblem(runtime, uid).isEmpty())
        return QDir(QFile::decodeName(runtime)).filePath(kSocketName);
    const QByteArray own = QFile::encodeName(
        QDir(QDir::tempPath()).filePath(QStringLiteral("ostlebry-%1").arg(uid)));
    const QString why = makePrivateFolder(own, uid);
    if (!why.isEmpty()) {
        if (problem != nullptr)
            *problem = why;
        return QString();
    }
    return QDir(QFile::decodeName(own)).filePath(kSocketName);
}

bool peerIsUser(int descriptor, uid_t uid)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
        && size == sizeof peer && peer.uid == uid;
}

} // namespace vantorel::handoff
