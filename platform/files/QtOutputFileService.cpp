// SPDX-License-Identifier: MIT
#include "platform/files/QtOutputFileService.h"

#include "platform/files/QtOutputFile.h"

namespace vantorel
{

std::unique_ptr<OutputFile> QtOutputFileService::create(const QString& path)
{
    return std::make_unique<QtOutputFile>(path);
}

} // namespace vantorel
