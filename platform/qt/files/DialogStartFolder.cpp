// SPDX-License-Identifier: MIT
#include "platform/qt/files/DialogStartFolder.h"

#include <QDir>
#include <QFileInfo>

namespace vantorel
{

namespace
{

    /// The kernel's own folders: a dialog lists and looks into what it shows, and
    /// there some files block for good (/proc/kmsg, read as root) or never end.
    bool isKernelFolder(const QString& folder)
    {
        const QString real = QFileInfo(folder).canonicalFilePath();
        for (const QLatin1StringView root :
            { QLatin1StringView("/proc"), QLatin1StringView("/sys"), QLatin1StringView("/dev") }) {
            if (real == root || (real.startsWith(root) && real.at(root.size()) == QLatin1Char('/')))
                return true;
        }
        return false;
    }

} // namespace

QString dialogStartFolder(const QString& wanted)
{
    if (!wanted.isEmpty() && QFileInfo(wanted).isDir() && !isKernelFolder(wanted))
        return wanted;
    return QDir::homePath();
}

} // namespace vantorel
