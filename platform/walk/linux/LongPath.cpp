// SPDX-License-Identifier: MIT
#include "platform/walk/linux/LongPath.h"

#include "platform/walk/linux/FileDescriptor.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

namespace vantorel::dirwalk
{

int openLongPath(int dirfd, std::string_view path, int flags)
{
    FileDescriptor piece;
    int base = dirfd;
    while (path.size() >= kLongPathPiece) {
        // Cut at the last separator that keeps the piece short; a single name
        // is at most NAME_MAX bytes, so there always is one.
        const std::size_t cut = path.rfind('/', kLongPathPiece - 1);
        if (cut == std::string_view::npos || cut == 0) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const std::string head(path.substr(0, cut));
        const int next
            = ::openat(base, head.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | (flags & O_NOFOLLOW));
        if (next < 0)
            return -1;
        piece.reset(next);
        base = next;
        path.remove_prefix(cut + 1);
        while (!path.empty() && path.front() == '/')
            path.remove_prefix(1);
    }
    // The rest is a suffix of the caller's zero-terminated text.
    return ::openat(base, path.empty() ? "." : path.data(), flags);
}

std::string systemReason(int error)
{
    return std::strerror(error);
}

} // namespace vantorel::dirwalk
