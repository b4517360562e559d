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

Form1Logic::Controls FakeMainWindow::controls()
{
    return { .window = window,
        .locations = locations,
        .results = results,
        .startButton = startButton,
        .phrase = phrase,
        .matchCase = matchCase,
        .fullPath = fullPath,
        .pointer = pointer };
}

Form1Logic::Services FakeMainWindow::services()
{
    return { .boxes = boxes,
        .pump = pump,
        .clipboard = clipboard,
        .settings = settings,
        .saveDialog = saveDialog,
        .folderBrowser = folderBrowser,
        .programFolder = programFolder,
        .launcher = launcher,
        .random = random,
        .folders = folders,
        .files = files,
        .outputFiles = outputFiles };
}

} // namespace vantorel::test
