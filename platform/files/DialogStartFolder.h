// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vantorel
{

/// Where a file or folder dialog opens: `wanted` when it is an existing
/// folder outside /proc, /sys and /dev, else the user's home folder. Never
/// the program's working folder, which for a program started from a menu is
/// wherever the desktop chose.
QString dialogStartFolder(const QString& wanted);

} // namespace vantorel
