// SPDX-License-Identifier: MIT
#include "platform/qt/desktop/FileManagerBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>

namespace vantorel
{

namespace
{

    const QString kService = QStringLiteral("org.freedesktop.FileManager1");
    const QString kPath = QStringLiteral("/org/freedesktop/FileManager1");

    /// Whether the file manager itself answered, even with an error: the bus
    /// names errors of its own (no such service, no reply in time) with its
    /// name or none, a program on it with its unique name (":1.42").
    bool fromTheFileManager(const QDBusMessage& reply)
    {
        return reply.type() == QDBusMessage::ReplyMessage
            || (reply.type() == QDBusMessage::ErrorMessage
                && reply.service().startsWith(QLatin1Char(':')));
    }

} // namespace

FileManagerBus::FileManagerBus(QString connectionName)
    : m_connectionName(std::move(connectionName))
{
}

void FileManagerBus::showFolders(const QList<QUrl>& folders, const QByteArray& startupId, Done done)
{
    call(QStringLiteral("ShowFolders"), folders, startupId, std::move(done));
}

void FileManagerBus::showItems(const QList<QUrl>& items, const QByteArray& startupId, Done done)
{
    call(QStringLiteral("ShowItems"), items, startupId, std::move(done));
}

void FileManagerBus::call(
    const QString& method, const QList<QUrl>& urls, const QByteArray& startupId, Done done)
{
    // Fetched at the first call: a program that never opens a folder never
    // connects to the bus.
    QDBusConnection bus = m_connectionName.isEmpty() ? QDBusConnection::sessionBus()
                                                     : QDBusConnection(m_connectionName);
    if (!bus.isConnected()) {
        done(false);
        return;
    }
    QStringList uris;
    for (const QUrl& url : urls)
        uris.append(url.toString(QUrl::FullyEncoded));
    QDBusMessage request = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    request << uris << QString::fromUtf8(startupId);
    // Every program on the bus answers this on the thread that would show
    // the folder; a file manager not running yet is started by it.
    const QDBusMessage probe = QDBusMessage::createMethodCall(kService, kPath,
        QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    whenAnswered(
        bus.asyncCall(probe, kAliveWaitMs), [this, bus, request, done](const QDBusMessage& answer) {
            if (!fromTheFileManager(answer)) {
                done(false);
                return;
            }
            whenAnswered(bus.asyncCall(request, kShowWaitMs), [done](const QDBusMessage& reply) {
                done(reply.type() == QDBusMessage::ReplyMessage);
            });
        });
}

void FileManagerBus::whenAnswered(
    const QDBusPendingCall& pending, std::function<void(const QDBusMessage&)> then)
{
    auto* watcher = new QDBusPendingCallWatcher(pending, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, then = std::move(then)] {
        watcher->deleteLater();
        then(watcher->reply());
    });
}

} // namespace vantorel
