// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vantorel
{

/// Which of the kernel's own folders, /proc, /sys and /dev, holds `path` once
/// its symbolic links and ".." are resolved: "/proc", say, or empty for none.
/// What stands there is the running system itself, not the user's files: a
/// dialog that lists it can hang on a file that never ends, and a write can
/// change a setting of the system or reach a device.
QString kernelFolderHolding(const QString& path);

} // namespace vantorel
