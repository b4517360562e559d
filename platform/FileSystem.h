// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vantorel
{

/// File queries the logic makes outside the folder walk.
class FileSystem
{
public:
    virtual ~FileSystem() = default;
    /// True when the last-modification time of `path` can be read; never fails.
    virtual bool fileExists(const QString& path) = 0;
    /// True when something stands at `path`, a link to nothing included:
    /// writing there would replace it or create what it points to. Never fails.
    virtual bool nameTaken(const QString& path) { return fileExists(path); }
    /// True when `path` lists as a normal file (not hidden, not a folder).
    virtual bool isNormalFile(const QString& path) = 0;
    /// True when `nativePath`, as the file system names it, is a folder; never fails.
    virtual bool folderExists(const QByteArray& nativePath)
    {
        return fileExists(QFile::decodeName(nativePath));
    }
};

} // namespace vantorel
