// SPDX-License-Identifier: MIT
#pragma once

#include "platform/OutputFile.h"

namespace vantorel
{

class QtOutputFileService : public OutputFileService
{
public:
    std::unique_ptr<OutputFile> create(const QString& path) override;
};

} // namespace vantorel
