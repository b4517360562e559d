// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QLocalServer;

namespace vantorel
{

/// Lets a later start of the program hand the folders of its command line to
/// the window that is already open, so that "Open with" on a folder adds to
/// the list the user is working with. Everything about it is best effort: when
/// no window answers in time the later start simply opens its own.
class FolderHandOff : public QObject
{
    Q_OBJECT

public:
    /// Runs, on the serving side, with the folders another start handed over.
    using Receiver = std::function<void(const QStringList& folders)>;

    explicit FolderHandOff(Receiver receiver, QObject* parent = nullptr);
    ~FolderHandOff() override;

    /// The current user's address: a socket in XDG_RUNTIME_DIR, which only the
    /// user can enter, or else one named with the user's id in the temporary
    /// folder.
    static QString defaultAddress();

    /// Gives the folders to the window that serves `address`. True only once
    /// that window has said it added them; false when none serves or it does
    /// not answer within `timeoutMs`.
    static bool handOver(const QString& address, const QStringList& folders, int timeoutMs);

    /// Serves `address` unless a running window already does. A socket left
    /// behind by a program that ended without removing it is replaced. False
    /// when this window does not serve.
    bool serve(const QString& address);

private:
    void accept();

    Receiver m_receiver;
    QLocalServer* m_server = nullptr;
};

} // namespace vantorel
