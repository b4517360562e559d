// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <windows.h>

namespace vantorel::dirwalk
{

/// Whether one entry of a FindFirstFileExW listing is delivered, and as what:
/// folders only, without "." and ".."; junctions and symbolic links as links.
bool classifyEntry(const WIN32_FIND_DATAW& entry, FolderKind& kind);

/// Whether a folder with these attributes and reparse tag is a link: a junction
/// or symbolic link, never entered below the root.
bool isFolderLink(DWORD attributes, DWORD reparseTag);

} // namespace vantorel::dirwalk
