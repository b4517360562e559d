// SPDX-License-Identifier: MIT
// Stand-in until the folder service lands: every request fails plainly.
#pragma once

#include "platform/FolderService.h"

namespace vantorel
{

class SystemFolderService : public FolderService
{
public:
    SystemFolderService() = default;
    Folder getFolder(const QString& path) override;
    std::unique_ptr<dirwalk::DirectoryCursor> cursor() override;
};

} // namespace vantorel
