// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>
#include <QString>

namespace vantorel
{

/// Tidies a path chosen in the folder browser.
/// With '\\' as the separator: pairs of adjacent backslashes become one,
/// scanning left to right without overlap, and a leading run of backslashes
/// (a network path) becomes exactly two.
/// With '/' as the separator, where a backslash is an ordinary character of a
/// name: runs of '/' become one, the path begins with exactly one '/', and
/// backslashes are kept.
QString NormaliseFolderPath(const QString& path, QChar separator);

} // namespace vantorel
