// SPDX-License-Identifier: MIT
#include "platform/qt/files/QtOutputFileService.h"

#include "platform/qt/files/QtOutputFile.h"

namespace vantorel
{

std::unique_ptr<OutputFile> QtOutputFileService::create(const QString& path)
{
    return std::make_unique<QtOutputFile>(path);
}

} // namespace vantorel
