// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FileSystem.h"

namespace vantorel
{

class QtFileSystem : public FileSystem
{
public:
    bool fileExists(const QString& path) override;
    bool nameTaken(const QString& path) override;
    bool isNormalFile(const QString& path) override;
    bool folderExists(const QByteArray& nativePath) override;
};

} // namespace vantorel
