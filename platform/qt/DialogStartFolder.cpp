// SPDX-License-Identifier: MIT
#include "platform/qt/DialogStartFolder.h"

#include <QDir>
#include <QFileInfo>

namespace vantorel
{

QString dialogStartFolder(const QString& wanted)
{
    if (!wanted.isEmpty() && QFileInfo(wanted).isDir())
        return wanted;
    return QDir::homePath();
}

} // namespace vantorel
