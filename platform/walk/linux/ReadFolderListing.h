// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"

#include <cstddef>
#include <string>

namespace vantorel::dirwalk
{

/// Lists the subfolders of the open folder `fd` with getdents64 into `out`,
/// reading through `buffer`: the entries the file system types as folders,
/// and those it cannot type or that are links, once looked at. False, with
/// the system's reason in `error`, when the folder cannot be read.
bool readFolderListing(
    int fd, char* buffer, std::size_t bufferSize, SubfolderList& out, std::string& error);

} // namespace vantorel::dirwalk
