// SPDX-License-Identifier: MIT
#include "shell/qt/FolderHandOff.h"

#include "shell/HandOffMessage.h"
#include "shell/HandOffPlace.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vantorel
{

namespace
{

    // The window has the whole message and waits for the start's word; with
    // the first it ends the start's start-up feedback, with the other it cannot.
    constexpr char kReady = 1;
    constexpr char kReadyFeedbackLeft = 3;
    // The start has not given up: the window adds the folders.
    constexpr char kAdd = 2;
    // The system queues a connection without the window's help, so connecting
    // is quick even while the window is busy; this only bounds a full queue.
    constexpr int kConnectTimeoutMs = 1000;
    // After accepting failed for want of descriptors or memory.
    constexpr int kAcceptRetryMs = 100;

} // namespace

struct FolderHandOff::Client {
    QLocalSocket* socket = nullptr;
    QByteArray received;
    QList<QByteArray> folders;
    QByteArray startupId;
    bool ready = false;
};

FolderHandOff::FolderHandOff(Receiver receiver, QObject* parent)
    : QObject(parent)
    , m_receiver(std::move(receiver))
{
}

FolderHandOff::~FolderHandOff()
{
    while (!m_clients.empty())
        drop(m_clients.front().socket);
    if (m_listener >= 0)
        ::close(m_listener);
}

bool FolderHandOff::handOver(const QString& address, const QList<QByteArray>& folders,
    int timeoutMs, const QByteArray& startupId, bool* windowEndsFeedback)
{
    const QByteArray message = handoff::encodeFolders(
        folders, handoff::isStartupId(startupId) ? startupId : QByteArray());
    if (address.isEmpty() || message.isEmpty())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(address);
    if (!socket.waitForConnected(std::min(timeoutMs, kConnectTimeoutMs)))
        return false;
    // Nothing, not even the folders' names, goes to a listener of another user.
    if (!handoff::peerIsUser(int(socket.socketDescriptor()), ::getuid()))
        return false;
    socket.write(message);
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false; // the window adds nothing without the word below
    }
    char answer = 0;
    if (!socket.getChar(&answer) || (answer != kReady && answer != kReadyFeedbackLeft))
        return false;
    socket.putChar(kAdd);
    if (!socket.waitForBytesWritten(kConnectTimeoutMs))
        return false;
    if (windowEndsFeedback != nullptr)
        *windowEndsFeedback = answer == kReady;
    return true;
}

bool FolderHandOff::serve(const QString& address)
{
    if (address.isEmpty() || m_listener >= 0)
        return false;
    {
        QLocalSocket probe;
        probe.connectToServer(address);
        // Only a window of this user counts; another user's listener is replaced.
        if (probe.waitForConnected(kConnectTimeoutMs)
            && handoff::peerIsUser(int(probe.socketDescriptor()), ::getuid()))
            return false;
    }
    const QByteArray path = QFile::encodeName(address);
    sockaddr_un name {};
    name.sun_family = AF_UNIX;
    if (std::size_t(path.size()) >= sizeof name.sun_path)
        return false;
    std::memcpy(name.sun_path, path.constData(), std::size_t(path.size()));
    // Nobody answers: what is there is left over from a program that ended
    // without cleaning up (the window ends the process at once on close).
    ::unlink(path.constData());
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener < 0)
        return false;
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&name), sizeof name) != 0
        || ::listen(listener, SOMAXCONN) != 0) {
        ::close(listener);
        return false;
    }
    m_listener = listener;
    m_notifier = new QSocketNotifier(qintptr(listener), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FolderHandOff::acceptWaiting);
    return true;
}

void FolderHandOff::acceptWaiting()
{
    for (;;) {
        const int descriptor
            = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor >= 0) {
            admit(descriptor);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        // Out of descriptors or memory: free one and try again shortly, still listening.
        if (!m_clients.empty())
            giveLastChance(m_clients.front().socket);
        m_notifier->setEnabled(false);
        QTimer::singleShot(kAcceptRetryMs, this, [this] {
            m_notifier->setEnabled(true);
            acceptWaiting();
        });
        return;
    }
}

void FolderHandOff::admit(int descriptor)
{
    if (!handoff::peerIsUser(descriptor, ::getuid())) {
        ::close(descriptor);
        return;
    }
    if (int(m_clients.size()) >= kMaxConnections)
        giveLastChance(m_clients.front().socket);
    auto* socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(descriptor);
        delete socket;
        return;
    }
    m_clients.push_back(Client { socket, {}, {}, {}, false });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
        readFrom(socket);
        drop(socket);
    });
    QTimer::singleShot(kClientDeadlineMs, socket, [this, socket] { giveLastChance(socket); });
}

void FolderHandOff::readFrom(QLocalSocket* socket)
{
    const auto client = find(socket);
    if (client == m_clients.end())
        return;
    client->received += socket->readAll();
    if (!client->ready) {
        switch (handoff::decodeFolders(client->received, client->folders, client->startupId)) {
        case handoff::Reading::Incomplete:
            return;
        case handoff::Reading::Bad:
            drop(socket); // not what a start of this program sends
            return;
        case handoff::Reading::Complete:
            client->ready = true;
            client->received.clear();
            // Nothing is added before the start, still waiting, says so.
            socket->putChar(m_endsStartupFeedback ? kReady : kReadyFeedbackLeft);
            socket->flush();
            return;
        }
    }
    if (client->received.isEmpty())
        return;
    if (client->received != QByteArray(1, kAdd)) {
        drop(socket);
        return;
    }
    const QList<QByteArray> folders = std::move(client->folders);
    const QByteArray startupId = std::move(client->startupId);
    drop(socket);
    m_receiver(folders, startupId);
}

void FolderHandOff::giveLastChance(QLocalSocket* socket)
{
    if (find(socket) == m_clients.end())
        return;
    // The word to add may be waiting behind a busy window: it counts.
    if (socket->bytesAvailable() == 0)
        socket->waitForReadyRead(0);
    readFrom(socket);
    drop(socket);
}

void FolderHandOff::drop(QLocalSocket* socket)
{
    const auto client = find(socket);
    if (client == m_clients.end())
        return;
    m_clients.erase(client);
    socket->disconnect(this);
    socket->abort(); // gives its descriptor back at once
    socket->deleteLater();
}

std::list<FolderHandOff::Client>::iterator FolderHandOff::find(QLocalSocket* socket)
{
    return std::find_if(m_clients.begin(), m_clients.end(),
        [socket](const Client& client) { return client.socket == socket; });
}

} // namespace vantorel
