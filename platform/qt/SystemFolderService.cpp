// SPDX-License-Identifier: MIT
#include "platform/qt/SystemFolderService.h"

#include "platform/Failure.h"

namespace vantorel
{

Folder SystemFolderService::getFolder(const QString&)
{
    throw Failure(QStringLiteral("The folder service is not available"));
}

std::unique_ptr<dirwalk::DirectoryCursor> SystemFolderService::cursor()
{
    throw Failure(QStringLiteral("The folder service is not available"));
}

} // namespace vantorel
