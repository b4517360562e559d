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

} // namespace vantorel::test
