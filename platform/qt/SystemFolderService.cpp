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
    Folder folder;
    folder.path = withoutTrailingSeparators(path);
    folder.nativePath = QFile::encodeName(folder.path);
    std::string reason;
    if (!dirwalk::isExistingFolder(
            std::string_view(folder.nativePath.constData(), std::size_t(folder.nativePath.size())),
            reason)) {
        throw Failure(
            QStringLiteral("Path not found: %1 (%2)")
                .arg(path, QString::fromLocal8Bit(reason.data(), qsizetype(reason.size()))));
    }
    return folder;
}

std::unique_ptr<dirwalk::DirectoryCursor> SystemFolderService::cursor()
{
    return dirwalk::makeWalkCursor(m_readAhead);
}

} // namespace vantorel
