// SPDX-License-Identifier: MIT
#include "platform/qt/QtProgramLauncher.h"

#include "platform/Failure.h"
#include "platform/qt/NativeFileUrl.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace vantorel
{

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

bool QtProgramLauncher::openFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(path)));
}

bool QtProgramLauncher::openNativeFolder(const QByteArray& nativePath)
{
    if (nativePath.isEmpty())
        return false;
    return QDesktopServices::openUrl(nativeFileUrl(nativePath));
}

} // namespace vantorel
