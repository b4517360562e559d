// SPDX-License-Identifier: MIT
// Paths as Windows users write them, and the form the system takes at any length.
#pragma once

#include <string>
#include <string_view>

namespace vantorel::dirwalk
{

/// Puts one backslash at the end of `path` unless it already ends in a
/// separator, as a drive root "C:\" or a share "\\server\share\" does.
void appendSeparator(std::wstring& path);

/// Appends the folder name `name` to `path`: "C:\" and "Work" give "C:\Work",
/// "\\server\share" and "folder" give "\\server\share\folder".
void appendComponent(std::wstring& path, std::wstring_view name);

/// Prefixes an absolute, canonical path so that the system takes it beyond 260
/// characters: "C:\Work" gives "\\?\C:\Work", "\\server\share" gives
/// "\\?\UNC\server\share". Paths already in a "\\?\" or "\\.\" form are kept.
std::wstring withExtendedPrefix(std::wstring_view fullPath);

/// The user's path made absolute and canonical by the system (current folder,
/// "/" for "\", "." and ".." resolved), then prefixed as by withExtendedPrefix.
/// False, with the system's error code, when the path cannot be resolved.
bool toExtendedPath(std::wstring_view userPath, std::wstring& out, unsigned long& errorCode);

} // namespace vantorel::dirwalk
