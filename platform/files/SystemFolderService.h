// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FolderService.h"
#include "platform/walk/readahead/ReadAheadSettings.h"

#include <memory>

namespace vantorel::dirwalk::index
{
class IndexStore;
}

namespace vantorel
{

/// The folder service of the system the program runs on.
class SystemFolderService : public FolderService
{
public:
    /// Walks read ahead as `readAhead` says; with `index`, a location searched
    /// before is checked against its index instead of listed again.
    explicit SystemFolderService(dirwalk::ReadAheadSettings readAhead = dirwalk::defaultReadAhead(),
        std::shared_ptr<dirwalk::index::IndexStore> index = {})
        : m_readAhead(readAhead)
        , m_index(std::move(index))
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

    const std::shared_ptr<dirwalk::index::IndexStore>& index() const { return m_index; }

private:
    dirwalk::ReadAheadSettings m_readAhead;
    std::shared_ptr<dirwalk::index::IndexStore> m_index;
};

} // namespace vantorel
