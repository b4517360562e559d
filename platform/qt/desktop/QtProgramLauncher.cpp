// SPDX-License-Identifier: MIT
#include "platform/qt/desktop/QtProgramLauncher.h"

#include "platform/Failure.h"
#include "platform/qt/desktop/DesktopFolderOpener.h"
#include "platform/qt/files/NativeFileUrl.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace vantorel
{

QtProgramLauncher::QtProgramLauncher(QString busConnectionName)
    : m_fileManager(std::move(busConnectionName))
{
}

std::optional<QString> QtProgramLauncher::explorerTarget(const QString& commandLine)
{
    const QString line = commandLine.trimmed();
    const QLatin1String head("explorer \"");
    if (!line.startsWith(head, Qt::CaseInsensitive) || !line.endsWith(QLatin1Char('"'))
        || line.size() <= head.size())
        return std::nullopt;
    const QString target = line.mid(head.size(), line.size() - head.size() - 1);
    if (target.isEmpty() || target.contains(QLatin1Char('"')))
        return std::nullopt;
    return target;
}

void QtProgramLauncher::launch(const QString& commandLine, int)
{
    if (const std::optional<QString> target = explorerTarget(commandLine)) {
        // Opening an address is a courtesy: the desktop may have no browser.
        QDesktopServices::openUrl(QUrl::fromUserInput(*target));
        return;
    }
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        throw Failure(QStringLiteral("Invalid procedure call or argument"));
    const QString program = arguments.takeFirst();
    if (!QProcess::startDetached(program, arguments))
        throw Failure(QStringLiteral("File not found"));
}

FolderShowing QtProgramLauncher::openWithDesktop(const QByteArray& folder)
{
    // It would add the folder to this program's locations, not show it.
    if (desktopFolderOpenerIsThisProgram())
        return FolderShowing::OwnOpener;
    return QDesktopServices::openUrl(nativeFileUrl(folder)) ? FolderShowing::Shown
                                                            : FolderShowing::NotAsked;
}

FolderShowing QtProgramLauncher::showFolder(const QByteArray& nativePath)
{
    if (nativePath.isEmpty())
        return FolderShowing::NotAsked;
    if (m_fileManager.showFolders({ nativeFileUrl(nativePath) }))
        return FolderShowing::Shown;
    return openWithDesktop(nativePath);
}

FolderShowing QtProgramLauncher::showItem(const QByteArray& item, const QByteArray& folder)
{
    if (item.isEmpty() || folder.isEmpty())
        return FolderShowing::NotAsked;
    if (m_fileManager.showItems({ nativeFileUrl(item) }))
        return FolderShowing::Shown;
    return openWithDesktop(folder);
}

} // namespace vantorel
