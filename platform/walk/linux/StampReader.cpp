// SPDX-License-Identifier: MIT
#include "platform/walk/linux/StampReader.h"

#include "platform/walk/linux/FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <time.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <utility>

namespace vantorel::dirwalk
{

namespace
{

    std::atomic<bool> g_hooked { false };
    std::mutex g_hookMutex;
    std::function<void(const FolderStamp&)> g_afterStampedListing;

// Newer than the C library's headers on Debian 12.
#ifndef STATX_MNT_ID
    constexpr unsigned kMountId = 0x1000U;
#else
    constexpr unsigned kMountId = STATX_MNT_ID;
#endif
    /// Never used again for another mount, where the kernel has it (6.8).
    constexpr unsigned kUniqueMountId = 0x4000U;
    constexpr unsigned kWanted = STATX_TYPE | STATX_INO | STATX_MTIME | STATX_CTIME | STATX_BTIME;
#ifndef STATX_ATTR_ENCRYPTED
    constexpr std::uint64_t kEncrypted = 0x800;
#else
    constexpr std::uint64_t kEncrypted = STATX_ATTR_ENCRYPTED;
#endif

    std::int64_t nanoseconds(const statx_timestamp& time)
    {
        return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
    }

    int statxOf(
        int dirfd, const char* name, bool follow, bool sync, unsigned mask, struct statx& out)
    {
        int flags = sync ? AT_STATX_FORCE_SYNC : AT_STATX_SYNC_AS_STAT;
        if (*name == '\0')
            flags |= AT_EMPTY_PATH;
        else if (!follow)
            flags |= AT_SYMLINK_NOFOLLOW;
        return ::statx(dirfd, name, flags, mask, &out);
    }

} // namespace

void setAfterStampedListing(std::function<void(const FolderStamp&)> hook)
{
    std::lock_guard<std::mutex> lock(g_hookMutex);
    g_afterStampedListing = std::move(hook);
    g_hooked.store(bool(g_afterStampedListing));
}

void afterStampedListing(const FolderStamp& stamp)
{
    if (!g_hooked.load(std::memory_order_relaxed))
        return;
    std::lock_guard<std::mutex> lock(g_hookMutex);
    if (g_afterStampedListing)
        g_afterStampedListing(stamp);
}

std::int64_t StampReader::wallClock()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool StampReader::fileSystemOf(int dirfd, const char* name, bool follow, std::uint32_t& type)
{
    struct statfs about {
    };
    if (*name == '\0') {
        if (::fstatfs(dirfd, &about) != 0)
            return false;
    } else {
        FileDescriptor fd(::openat(dirfd, name, O_PATH | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW)));
        if (!fd.valid() || ::fstatfs(fd.get(), &about) != 0)
            return false;
    }
    type = std::uint32_t(about.f_type);
    return true;
}

bool StampReader::read(int dirfd, const char* name, bool follow, FolderStamp& stamp)
{
    stamp = {};
    stamp.takenAt = wallClock();
    struct statx status {
    };
    // A network file system answers from what it kept unless asked to go to
    // the server: the stamp must be no older than a listing made now.
    const bool remote = m_lastType == filesystem::kNfs;
    if (statxOf(dirfd, name, follow, remote, kWanted | kMountId | kUniqueMountId, status) != 0)
        return false;
    if ((status.stx_mask & STATX_TYPE) == 0 || !S_ISDIR(status.stx_mode)) {
        errno = ENOTDIR;
        return false;
    }
    stamp.device = makedev(status.stx_dev_major, status.stx_dev_minor);
    if (status.stx_mask & (kMountId | kUniqueMountId)) {
        stamp.mountId = status.stx_mnt_id;
        stamp.flags |= FolderStamp::HasMountId;
    }
    if (stamp.device != m_lastDevice || stamp.mountId != m_lastMount) {
        std::uint32_t type = 0;
        if (!fileSystemOf(dirfd, name, follow, type))
            return false;
        const bool nowRemote = type == filesystem::kNfs;
        m_lastDevice = stamp.device;
        m_lastMount = stamp.mountId;
        m_lastType = type;
        if (nowRemote && !remote)
            return read(dirfd, name, follow, stamp);
    }
    stamp.fileSystem = m_lastType;
    stamp.inode = status.stx_ino;
    stamp.modified = nanoseconds(status.stx_mtime);
    stamp.changed = nanoseconds(status.stx_ctime);
    if (status.stx_mask & STATX_BTIME) {
        stamp.born = nanoseconds(status.stx_btime);
        stamp.flags |= FolderStamp::HasBirth;
    }
    if (status.stx_attributes_mask & status.stx_attributes & kEncrypted)
        stamp.flags |= FolderStamp::Encrypted;
    stamp.flags |= FolderStamp::Taken;
    return true;
}

} // namespace vantorel::dirwalk
