// SPDX-License-Identifier: MIT
#include "platform/files/DialogStartFolder.h"

#include "platform/files/KernelFolders.h"

#include <QDir>
#include <QFileInfo>

namespace vantorel
{

QString dialogStartFolder(const QString& wanted)
{
    // A dialog lists and looks into what it shows: there some files block for
    // good (/proc/kmsg, read as root) or never end.
    if (!wanted.isEmpty() && QFileInfo(wanted).isDir() && kernelFolderHolding(wanted).isEmpty())
        return wanted;
    return QDir::homePath();
}

} // namespace vantorel
