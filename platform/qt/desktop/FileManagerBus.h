// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QDBusMessage;
class QDBusPendingCall;

namespace vantorel
{

/// The desktop's file manager as it answers on the session bus, through the
/// freedesktop FileManager1 interface. Nothing here waits: each request is
/// answered later, from the event loop, so the window goes on meanwhile.
///
/// The request goes only to a file manager that has just answered a call that
/// shows nothing. One that is stuck, or still starting, gets nothing it could
/// show later, when the folder has long been shown by another opener.
class FileManagerBus : public QObject
{
public:
    /// True when the file manager took the request; false when there is no
    /// bus, no file manager on it, or one that refused or did not answer in time.
    using Done = std::function<void(bool shown)>;

    /// `connectionName` names a bus connection already made; empty is the
    /// session bus.
    explicit FileManagerBus(QString connectionName = QString());

    /// Asks for `folders` to be shown. `startupId` lets the file manager's
    /// window come to the front (empty for none). `done` is called once,
    /// never after this object is gone.
    void showFolders(const QList<QUrl>& folders, const QByteArray& startupId, Done done);
    /// The same for items, each shown selected in the folder that holds it.
    void showItems(const QList<QUrl>& items, const QByteArray& startupId, Done done);

    /// A running file manager answers in a few milliseconds.
    static constexpr int kAliveWaitMs = 1000;
    /// One that answered makes its window before it answers the request.
    /// Should it answer after this after all, the folder shows twice: the
    /// price of showing it at all when the file manager hangs.
    static constexpr int kShowWaitMs = 2000;

private:
    void call(
        const QString& method, const QList<QUrl>& urls, const QByteArray& startupId, Done done);
    /// Calls `then` with the reply once it comes, or with the error that
    /// stands for it.
    void whenAnswered(
        const QDBusPendingCall& pending, std::function<void(const QDBusMessage&)> then);

    QString m_connectionName;
};

} // namespace vantorel
