// SPDX-License-Identifier: MIT
#include "FakeMainWindow.h"

#include <QFile>
#include <QFileInfo>

namespace vantorel::test
{

Folder FakeFolderService::getFolder(const QString& path)
{
    opened.append(path);
    std::string error;
    const QByteArray native = QFile::encodeName(path);
    if (!dirwalk::isExistingFolder(native.toStdString(), error))
        throw Failure(QStringLiteral("Path not found"));
    QString clean = path;
    while (clean.size() > 1 && clean.endsWith(QLatin1Char('/')))
        clean.chop(1);
    return Folder { clean, QFile::encodeName(clean) };
}

std::unique_ptr<dirwalk::DirectoryCursor> FakeFolderService::cursor()
{
    return dirwalk::makeSystemDirectoryCursor();
}

FakeMainWindow::FakeMainWindow() = default;

MainWindowControls FakeMainWindow::controls()
{
    return MainWindowControls { window, ListView1, ListView2, PushButton1, Text1, Check4, Option1,
        Option2, MousePointer };
}

PlatformServices FakeMainWindow::services()
{
    return PlatformServices { boxes, pump, clipboard, settings, saveDialog, folderBrowser,
        programFolder, launcher, random, folders, files, outputFiles };
}

} // namespace vantorel::test
