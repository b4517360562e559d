// SPDX-License-Identifier: MIT
// An independent listing over plain FindFirstFileW, to check the cursor's
// order against the file system's own.
#pragma once

#include <string>
#include <vector>

namespace vantorel::dirwalk::test
{

/// The subfolders of `path` (extended form) in the order the system gives.
std::vector<std::string> referenceListing(const std::wstring& path);

/// The tree below `path` in pre-order, relative paths, links not entered.
std::vector<std::string> referenceWalk(const std::wstring& path);

} // namespace vantorel::dirwalk::test
