// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace vantorel
{

/// The desktop's file manager as it answers on the session bus, through the
/// freedesktop FileManager1 interface. A call waits a short while at most:
/// the window does not hang on a file manager that is slow to start.
class FileManagerBus
{
public:
    /// `connectionName` names a bus connection already made; empty is the
    /// session bus.
    explicit FileManagerBus(QString connectionName = QString());

    /// Whether the file manager took the folders to show. False when there is
    /// no bus, no file manager on it or one that answered with an error.
    bool showFolders(const QList<QUrl>& folders);
    /// The same for items, each shown selected in the folder that holds it.
    bool showItems(const QList<QUrl>& items);

    static constexpr int kReplyTimeoutMs = 2000;

private:
    bool call(const QString& method, const QList<QUrl>& urls);

    QString m_connectionName;
};

} // namespace vantorel
