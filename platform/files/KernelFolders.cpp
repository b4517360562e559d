// SPDX-License-Identifier: MIT
#include "platform/files/KernelFolders.h"

#include <QDir>
#include <QFileInfo>

namespace vantorel
{

namespace
{

    /// The path with every link and ".." resolved; for a name not there yet,
    /// its folder's real path and the name.
    QString realPath(const QString& path)
    {
        const QFileInfo info(path);
        QString real = info.canonicalFilePath();
        if (!real.isEmpty())
            return real;
        const QString folder = info.absoluteDir().canonicalPath();
        return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                                : folder + QLatin1Char('/') + info.fileName();
    }

} // namespace

QString kernelFolderHolding(const QString& path)
{
    const QString real = realPath(path);
    for (const QLatin1StringView root :
        { QLatin1StringView("/proc"), QLatin1StringView("/sys"), QLatin1StringView("/dev") }) {
        if (real == root || (real.startsWith(root) && real.at(root.size()) == QLatin1Char('/')))
            return root;
    }
    return QString();
}

} // namespace vantorel
