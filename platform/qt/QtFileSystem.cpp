// SPDX-License-Identifier: MIT
#include "platform/qt/QtFileSystem.h"

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

bool QtFileSystem::isNormalFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

} // namespace vantorel
