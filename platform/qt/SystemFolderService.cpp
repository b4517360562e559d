// SPDX-License-Identifier: MIT
#include "platform/qt/SystemFolderService.h"

#include "platform/Failure.h"
#include "platform/walk/ReadAheadCursor.h"

#include <QFile>

#include <string>

namespace vantorel
{

QString SystemFolderService::withoutTrailingSeparators(const QString& path)
{
    const QChar separator = QLatin1Char(dirwalk::kPathSeparator);
    qsizetype length = path.size();
    while (length > 1 && path.at(length - 1) == separator)
        --length;
    return path.left(length);
}

Folder SystemFolderService::getFolder(const QString& path)
{
    return getNativeFolder(QFile::encodeName(path));
}

Folder SystemFolderService::getNativeFolder(const QByteArray& nativePath)
{
    Folder folder;
    folder.nativePath = nativePath;
    while (folder.nativePath.size() > 1 && folder.nativePath.endsWith(dirwalk::kPathSeparator))
        folder.nativePath.chop(1);
    folder.path = QFile::decodeName(folder.nativePath);
    std::string reason;
    if (!dirwalk::isExistingFolder(
            std::string_view(folder.nativePath.constData(), std::size_t(folder.nativePath.size())),
            reason)) {
        throw Failure(QStringLiteral("Path not found: %1 (%2)")
                          .arg(QFile::decodeName(nativePath),
                              QString::fromLocal8Bit(reason.data(), qsizetype(reason.size()))));
    }
    return folder;
}

std::unique_ptr<dirwalk::DirectoryCursor> SystemFolderService::cursor()
{
    return dirwalk::makeWalkCursor(m_readAhead);
}

} // namespace vantorel
