// SPDX-License-Identifier: MIT
#include "platform/files/QtFileSystem.h"

#include "platform/walk/DirectoryCursor.h"

#include <QDateTime>
#include <QFileInfo>

namespace vantorel
{

bool QtFileSystem::fileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    try {
        const QFileInfo info(path);
        return info.exists() && info.lastModified().isValid();
    } catch (...) {
        return false;
    }
}

bool QtFileSystem::nameTaken(const QString& path)
{
    // A link to nothing has no time of its own to read through it, yet a
    // save there would create the file it points to.
    return fileExists(path) || (!path.isEmpty() && QFileInfo(path).isSymLink());
}

bool QtFileSystem::isNormalFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

bool QtFileSystem::folderExists(const QByteArray& nativePath)
{
    std::string reason;
    return dirwalk::isExistingFolder(
        std::string_view(nativePath.constData(), std::size_t(nativePath.size())), reason);
}

} // namespace vantorel
