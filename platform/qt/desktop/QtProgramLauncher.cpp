// SPDX-License-Identifier: MIT
#include "platform/qt/desktop/QtProgramLauncher.h"

#include "platform/Failure.h"
#include "platform/files/NativeFileUrl.h"
#include "platform/qt/desktop/DesktopFolderOpener.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace vantorel
{

QtProgramLauncher::QtProgramLauncher(QString busConnectionName, StartupIds startupIds)
    : m_fileManager(std::move(busConnectionName))
    , m_startupIds(std::move(startupIds))
{
    if (!m_startupIds)
        m_startupIds = [this] { return m_clock.startupId(); };
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
        throw Failure(Failure::tr("Invalid procedure call or argument"));
    const QString program = arguments.takeFirst();
    if (!QProcess::startDetached(program, arguments))
        throw Failure(Failure::tr("File not found"));
}

void QtProgramLauncher::openWithDesktop(const QByteArray& folder, const ShowingDone& done)
{
    const auto open = [folder, done] {
        done(QDesktopServices::openUrl(nativeFileUrl(folder)) ? FolderShowing::Shown
                                                              : FolderShowing::NotAsked);
    };
    // A program without a desktop entry of its own is no desktop's opener.
    if (QGuiApplication::desktopFileName().isEmpty()) {
        open();
        return;
    }
    askDesktopFolderOpener(m_fileManager, [open, done](const QString& entry) {
        // It would add the folder to this program's locations, not show it.
        if (isThisProgramsEntry(entry))
            done(FolderShowing::OwnOpener);
        else
            open();
    });
}

void QtProgramLauncher::showFolder(const QByteArray& nativePath, ShowingDone done)
{
    if (nativePath.isEmpty()) {
        done(FolderShowing::NotAsked);
        return;
    }
    m_fileManager.showFolders(
        { nativeFileUrl(nativePath) }, m_startupIds(), [this, nativePath, done](bool shown) {
            if (shown)
                done(FolderShowing::Shown);
            else
                openWithDesktop(nativePath, done);
        });
}

void QtProgramLauncher::showItem(const QByteArray& item, const QByteArray& folder, ShowingDone done)
{
    if (item.isEmpty() || folder.isEmpty()) {
        done(FolderShowing::NotAsked);
        return;
    }
    m_fileManager.showItems(
        { nativeFileUrl(item) }, m_startupIds(), [this, folder, done](bool shown) {
            if (shown)
                done(FolderShowing::Shown);
            else
                openWithDesktop(folder, done);
        });
}

} // namespace vantorel
