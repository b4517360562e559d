// SPDX-License-Identifier: MIT
#include "platform/qt/desktop/DesktopFolderOpener.h"

#include <QGuiApplication>
#include <QProcess>

namespace vantorel
{

namespace
{

    constexpr int kAnswerTimeoutMs = 2000;

} // namespace

QString desktopFolderOpener()
{
    QProcess query;
    query.setProcessChannelMode(QProcess::SeparateChannels);
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(QStringLiteral("xdg-mime"),
        { QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("inode/directory") });
    if (!query.waitForFinished(kAnswerTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return QString();
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

bool desktopFolderOpenerIsThisProgram()
{
    const QString ownEntry = QGuiApplication::desktopFileName();
    if (ownEntry.isEmpty())
        return false;
    return desktopFolderOpener() == ownEntry + QStringLiteral(".desktop");
}

} // namespace vantorel
