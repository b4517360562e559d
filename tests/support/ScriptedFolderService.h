// SPDX-License-Identifier: MIT
#pragma once

#include "platform/files/SystemFolderService.h"

#include <QByteArrayList>
#include <QSet>

namespace vantorel::test
{

/// The system's folder service with a cursor that records every folder it is
/// asked to enter and refuses to list the folders named in `failingNames`.
class ScriptedFolderService : public FolderService
{
public:
    Folder getFolder(const QString& path) override { return m_system.getFolder(path); }
    std::unique_ptr<dirwalk::DirectoryCursor> cursor() override;

    QSet<QByteArray> failingNames;
    QByteArray failureReason = "Permission denied";
    /// Names passed to enter(), in order, whether or not they could be listed.
    QByteArrayList entered;

private:
    SystemFolderService m_system;
};

} // namespace vantorel::test
