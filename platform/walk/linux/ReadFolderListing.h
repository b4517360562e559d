// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <cstddef>
#include <string>

namespace vantorel::dirwalk
{

/// Adds the subfolders of the open folder `fd` to `out`, read with getdents64
/// through `buffer`: the entries the file system types as folders, and those
/// it cannot type or that are links, once looked at; with `otherLinks`, also
/// the links whose target is no folder, as such. False, with `out` emptied and
/// the system's reason in `error`, when the folder cannot be read.
bool readFolderListing(int fd, char* buffer, std::size_t bufferSize, bool otherLinks,
    SubfolderList& out, std::string& error);

} // namespace vantorel::dirwalk
