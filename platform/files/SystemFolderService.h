// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FolderService.h"
#include "platform/walk/readahead/ReadAheadSettings.h"

namespace vantorel
{

/// The folder service of the system the program runs on.
class SystemFolderService : public FolderService
{
public:
    explicit SystemFolderService(dirwalk::ReadAheadSettings readAhead = dirwalk::defaultReadAhead())
        : m_readAhead(readAhead)
    {
    }

    /// Throws Failure("Path not found: <path> (<reason>)") when `path` is no existing folder.
    Folder getFolder(const QString& path) override;
    /// As getFolder(), by the file system's own bytes; the message shows them decoded.
    Folder getNativeFolder(
        const QByteArray& nativePath, const dirwalk::WaitHandler& whileWaiting = {}) override;
    std::unique_ptr<dirwalk::DirectoryCursor> cursor() override;

    /// `path` without trailing separators, except for the root itself.
    static QString withoutTrailingSeparators(const QString& path);

private:
    dirwalk::ReadAheadSettings m_readAhead;
};

} // namespace vantorel
