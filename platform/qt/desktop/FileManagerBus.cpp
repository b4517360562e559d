// SPDX-License-Identifier: MIT
#include "platform/qt/desktop/FileManagerBus.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QStringList>

namespace vantorel
{

FileManagerBus::FileManagerBus(QString connectionName)
    : m_connectionName(std::move(connectionName))
{
}

bool FileManagerBus::showFolders(const QList<QUrl>& folders)
{
    return call(QStringLiteral("ShowFolders"), folders);
}

bool FileManagerBus::showItems(const QList<QUrl>& items)
{
    return call(QStringLiteral("ShowItems"), items);
}

bool FileManagerBus::call(const QString& method, const QList<QUrl>& urls)
{
    // Fetched at the first call: a program that never opens a folder never
    // connects to the bus.
    const QDBusConnection bus = m_connectionName.isEmpty() ? QDBusConnection::sessionBus()
                                                           : QDBusConnection(m_connectionName);
    if (!bus.isConnected())
        return false;
    QStringList uris;
    for (const QUrl& url : urls)
        uris.append(url.toString(QUrl::FullyEncoded));
    QDBusMessage request
        = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), method);
    // No startup notification: the program does not start the file manager itself.
    request << uris << QString();
    const QDBusMessage reply = bus.call(request, QDBus::Block, kReplyTimeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage)
        return true;
    // A file manager that is still starting has the request and shows the
    // folder once it is up: another opener would show it twice.
    const QDBusError::ErrorType error = QDBusError(reply).type();
    return error == QDBusError::NoReply || error == QDBusError::Timeout;
}

} // namespace vantorel
