// SPDX-License-Identifier: MIT
#include "shell/FolderHandOff.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vantorel
{

namespace
{

    constexpr quint8 kAdded = 1;
    // The system queues a connection without the window's help, so connecting
    // is quick even while the window is busy; this only bounds a full queue.
    constexpr int kConnectTimeoutMs = 1000;

    QString userTag()
    {
#ifdef Q_OS_UNIX
        return QString::number(::getuid());
#else
        return qEnvironmentVariable("USERNAME");
#endif
    }

} // namespace

FolderHandOff::FolderHandOff(Receiver receiver, QObject* parent)
    : QObject(parent)
    , m_receiver(std::move(receiver))
{
}

FolderHandOff::~FolderHandOff() = default;

QString FolderHandOff::defaultAddress()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(QStringLiteral("ostlebry.socket"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("ostlebry-%1.socket").arg(userTag()));
}

bool FolderHandOff::handOver(const QString& address, const QStringList& folders, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(address);
    if (!socket.waitForConnected(std::min(timeoutMs, kConnectTimeoutMs)))
        return false;
    QDataStream out(&socket);
    out << folders;
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The answer comes only after the rows are in the list.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && quint8(answer) == kAdded;
}

bool FolderHandOff::serve(const QString& address)
{
    {
        QLocalSocket probe;
        probe.connectToServer(address);
        if (probe.waitForConnected(kConnectTimeoutMs))
            return false;
    }
    // Nobody answers: what is there is left over from a program that ended
    // without cleaning up (the window ends the process at once on close).
    QLocalServer::removeServer(address);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(address)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(server, &QLocalServer::newConnection, this, &FolderHandOff::accept);
    return true;
}

void FolderHandOff::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The stream lives as long as the connection that reads it.
        auto in = std::make_shared<QDataStream>(socket);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket, in] {
            in->startTransaction();
            QStringList folders;
            *in >> folders;
            if (!in->commitTransaction()) {
                if (in->status() != QDataStream::Ok)
                    socket->abort(); // not what a start of this program sends
                return; // otherwise the rest is still on its way
            }
            m_receiver(folders);
            socket->putChar(char(kAdded));
            socket->flush();
        });
    }
}

} // namespace vantorel
