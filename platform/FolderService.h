// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

namespace vantorel
{

/// A folder opened by the folder service: its path as text and as the system's bytes.
struct Folder {
    QString path;
    QByteArray nativePath;
    /// The file system kept the check waiting, and the caller gave it up.
    bool waitGivenUp = false;
};

/// Opens folders by path and walks below them.
class FolderService
{
public:
    virtual ~FolderService() = default;
    /// The folder at `path`; throws Failure when there is no such folder.
    virtual Folder getFolder(const QString& path) = 0;
    /// The folder at `nativePath`, as the file system names it, which need not
    /// be valid text; throws Failure when there is no such folder. While the
    /// file system keeps the check waiting, `whileWaiting` is called between
    /// slices of the wait, as by a cursor.
    virtual Folder getNativeFolder(
        const QByteArray& nativePath, const dirwalk::WaitHandler& whileWaiting = {})
    {
        (void)whileWaiting;
        return getFolder(QFile::decodeName(nativePath));
    }
    /// A fresh cursor for one walk.
    virtual std::unique_ptr<dirwalk::DirectoryCursor> cursor() = 0;
};

} // namespace vantorel
