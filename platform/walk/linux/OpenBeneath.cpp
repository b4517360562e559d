// SPDX-License-Identifier: MIT
#include "platform/walk/linux/OpenBeneath.h"

#include "platform/walk/linux/FileDescriptor.h"
#include "platform/walk/linux/LongPath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string>

namespace vantorel::dirwalk
{

namespace
{

    std::atomic<bool> g_oneCall { true };
    std::atomic<bool> g_forcedByName { false };

    constexpr int kStepFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

    /// One call for a path shorter than PATH_MAX; -1 with errno ENOSYS when the
    /// kernel (or a sandbox in front of it) does not have openat2.
    int openInOneCall(int dirfd, const char* path, int flags)
    {
#ifdef SYS_openat2
        open_how how {};
        how.flags = std::uint64_t(unsigned(flags | O_NOFOLLOW));
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH;
        const long fd = ::syscall(SYS_openat2, dirfd, path, &how, sizeof how);
        return int(fd);
#else
        (void)dirfd;
        (void)path;
        (void)flags;
        errno = ENOSYS;
        return -1;
#endif
    }

    /// A name at a time, each opened without following a link.
    int openByName(int dirfd, std::string_view relative, int flags)
    {
        FileDescriptor step;
        int base = dirfd;
        for (;;) {
            const std::size_t slash = relative.find('/');
            if (slash == std::string_view::npos)
                return ::openat(base, relative.data(), flags | O_NOFOLLOW);
            const std::string name(relative.substr(0, slash));
            const int next = ::openat(base, name.c_str(), kStepFlags);
            if (next < 0)
                return -1;
            step.reset(next);
            base = next;
            relative.remove_prefix(slash + 1);
            while (!relative.empty() && relative.front() == '/')
                relative.remove_prefix(1);
            if (relative.empty())
                return ::openat(base, ".", flags);
        }
    }

    /// After openat2 failed with ENOSYS (not in this kernel: never again) or EPERM
    /// (a sandbox's refusal, or the folder's own answer, which the names give again).
    int fallBack(int dirfd, std::string_view relative, int flags)
    {
        if (errno == ENOSYS)
            g_oneCall.store(false, std::memory_order_relaxed);
        return openByName(dirfd, relative, flags);
    }

} // namespace

bool opensBeneathInOneCall()
{
    return g_oneCall.load(std::memory_order_relaxed)
        && !g_forcedByName.load(std::memory_order_relaxed);
}

void forceOpenBeneathByName(bool byName)
{
    g_forcedByName.store(byName, std::memory_order_relaxed);
}

int openBeneath(int dirfd, std::string_view relative, int flags)
{
    if (relative.find('/') == std::string_view::npos)
        return ::openat(
            dirfd, relative.data(), flags | O_NOFOLLOW); // one name: O_NOFOLLOW is enough
    if (!opensBeneathInOneCall())
        return openByName(dirfd, relative, flags);

    FileDescriptor piece;
    int base = dirfd;
    while (relative.size() >= kLongPathPiece) {
        const std::size_t cut = relative.rfind('/', kLongPathPiece - 1);
        if (cut == std::string_view::npos || cut == 0) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const std::string head(relative.substr(0, cut));
        const int next = openInOneCall(base, head.c_str(), kStepFlags);
        if (next < 0 && (errno == ENOSYS || errno == EPERM))
            return fallBack(base, relative, flags);
        if (next < 0)
            return -1;
        piece.reset(next);
        base = next;
        relative.remove_prefix(cut + 1);
        while (!relative.empty() && relative.front() == '/')
            relative.remove_prefix(1);
    }
    if (relative.empty())
        relative = ".";
    const int fd = openInOneCall(base, relative.data(), flags);
    if (fd < 0 && (errno == ENOSYS || errno == EPERM))
        return fallBack(base, relative, flags);
    return fd;
}

} // namespace vantorel::dirwalk
