// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vantorel::dirwalk
{

/// Where the system arrives through `path`, with every link on the way resolved:
/// the volume's serial number and the path on it ("2914928467:\Work\a"), when
/// a folder is there.
/// A link at the end is followed when `followLink` is true and refused with
/// ERROR_CANT_RESOLVE_FILENAME when it is false. Links on the way are always
/// followed: a caller finds them by comparing the result with the path it expects.
/// False, with the system's error code, otherwise.
bool resolveFolder(
    const std::wstring& path, bool followLink, std::wstring& resolved, unsigned long& errorCode);

} // namespace vantorel::dirwalk
