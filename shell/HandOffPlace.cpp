// SPDX-License-Identifier: MIT
#include "shell/HandOffPlace.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vantorel::handoff
{

namespace
{

    // 64 bits of the hash: no two displays of one user meet by chance.
    constexpr int kHashHexDigits = 16;

    /// The socket `name` in `folder`, or nothing when the path is too long for
    /// a local socket's address (the lock beside it has no such limit).
    QString socketIn(const QByteArray& folder, const QString& name)
    {
        const QString path = QDir(QFile::decodeName(folder)).filePath(name);
        return std::size_t(QFile::encodeName(path).size()) < sizeof(sockaddr_un::sun_path)
            ? path
            : QString();
    }

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
        return QCoreApplication::translate("CommandLine", "%1 is a link").arg(shown);
    if (!S_ISDIR(status.st_mode))
        return QCoreApplication::translate("CommandLine", "%1 is not a folder").arg(shown);
    if (status.st_uid != uid)
        return QCoreApplication::translate("CommandLine", "%1 belongs to another user").arg(shown);
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return QCoreApplication::translate("CommandLine", "%1 is open to other users").arg(shown);
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

QString socketName(const QByteArray& displayKey)
{
    const QByteArray hash = QCryptographicHash::hash(displayKey, QCryptographicHash::Sha256);
    return QStringLiteral("ostlebry-%1.socket")
        .arg(QString::fromLatin1(hash.toHex().left(kHashHexDigits)));
}

QString defaultAddress(const QByteArray& displayKey, QString* problem)
{
    const uid_t uid = ::getuid();
    const QString name = socketName(displayKey);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && privateFolderProblem(runtime, uid).isEmpty()) {
        QString address = socketIn(runtime, name);
        if (!address.isEmpty())
            return address;
    }
    const QByteArray own = QFile::encodeName(
        QDir(QDir::tempPath()).filePath(QStringLiteral("ostlebry-%1").arg(uid)));
    QString why = makePrivateFolder(own, uid);
    QString address = why.isEmpty() ? socketIn(own, name) : QString();
    if (why.isEmpty() && address.isEmpty())
        why = QCoreApplication::translate("CommandLine", "%1 is too long a path for a local socket")
                  .arg(QFile::decodeName(own));
    if (problem != nullptr)
        *problem = why;
    return address;
}

bool peerIsUser(int descriptor, uid_t uid)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
        && size == sizeof peer && peer.uid == uid;
}

} // namespace vantorel::handoff
