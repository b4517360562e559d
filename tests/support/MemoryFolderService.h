// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FolderService.h"

#include <QByteArrayList>
#include <QMap>

namespace vantorel::test
{

/// A folder tree held in memory: each folder's path maps to its subfolders,
/// in the order given. Paths are joined with "/"; "/" is the root of all.
class MemoryFolderService : public FolderService
{
public:
    /// Adds `path` below its parent (creating the parents first).
    void add(const QByteArray& path);

    Folder getFolder(const QString& path) override;
    std::unique_ptr<dirwalk::DirectoryCursor> cursor() override;

    const QByteArrayList* children(const QByteArray& path) const;

private:
    QMap<QByteArray, QByteArrayList> m_children;
};

} // namespace vantorel::test
