// SPDX-License-Identifier: MIT
// Opening paths of any length: the kernel refuses a path of PATH_MAX bytes or
// more, so a longer one is resolved a piece at a time.
#pragma once

#include <string>
#include <string_view>

namespace vantorel::dirwalk
{

/// Pieces of a path up to this many bytes go to the kernel in one call.
inline constexpr std::size_t kLongPathPiece = 2048;

/// openat() for a path of any length. `path` must be followed by a zero byte
/// (a std::string's data, or a suffix of one). O_NOFOLLOW in `flags` holds for
/// every piece's last component. Returns the descriptor, or -1 with errno set.
int openLongPath(int dirfd, std::string_view path, int flags);

/// The system's text for an errno value.
std::string systemReason(int error);

} // namespace vantorel::dirwalk
