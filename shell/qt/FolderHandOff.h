// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <functional>
#include <list>

class QLocalSocket;
class QSocketNotifier;

namespace vantorel
{

/// Lets a later start of the program hand the folders of its command line to
/// the window that is already open, so that "Open with" on a folder adds to
/// the list the user is working with. Everything about it is best effort: when
/// no window takes the folders in time the later start simply opens its own.
/// Both sides deal only with the same user, and the window gives no client
/// more than a few seconds, a bounded message and one of a few places.
class FolderHandOff : public QObject
{
    Q_OBJECT

public:
    /// Runs, on the serving side, with the folders another start handed over,
    /// as the file system names them, and that start's start-up identity
    /// (empty when it had none), with which the window comes to the front.
    using Receiver
        = std::function<void(const QList<QByteArray>& folders, const QByteArray& startupId)>;

    /// The most clients served at once: the oldest gives its place to a new one.
    static constexpr int kMaxConnections = 8;
    /// How long a client has, from the window taking its connection, to send
    /// its folders and confirm.
    static constexpr int kClientDeadlineMs = 5000;

    explicit FolderHandOff(Receiver receiver, QObject* parent = nullptr);
    ~FolderHandOff() override;

    /// Gives the folders, and this start's `startupId` when isStartupId() (an
    /// id that is not is left out), to the window that serves `address`. True
    /// only once that window, run by the same user, has taken them whole and
    /// this start has told it to add them; false, and the window adds nothing,
    /// when none serves or it does not take them within `timeoutMs`.
    /// `windowEndsFeedback`, when given, says whether the window said it ends
    /// the launcher's start-up feedback for the id: if not, this start must.
    static bool handOver(const QString& address, const QList<QByteArray>& folders, int timeoutMs,
        const QByteArray& startupId = {}, bool* windowEndsFeedback = nullptr);

    /// Serves `address` unless a running window already does. A socket left
    /// behind by a program that ended without removing it is replaced. False
    /// when this window does not serve.
    bool serve(const QString& address);

    /// Whether this window can end a launcher's start-up feedback with the id
    /// a start hands over; it tells each start so. Off until set.
    void setEndsStartupFeedback(bool ends) { m_endsStartupFeedback = ends; }

    /// Clients connected and not yet done with.
    int openConnections() const { return int(m_clients.size()); }

private:
    struct Client;

    void acceptWaiting();
    void admit(int descriptor);
    void readFrom(QLocalSocket* socket);
    /// Reads what has already arrived, then lets the client go if it is not done.
    void giveLastChance(QLocalSocket* socket);
    void drop(QLocalSocket* socket);
    std::list<Client>::iterator find(QLocalSocket* socket);

    Receiver m_receiver;
    int m_listener = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::list<Client> m_clients; // oldest first
    bool m_endsStartupFeedback = false;
};

} // namespace vantorel
