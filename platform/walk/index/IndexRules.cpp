// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexRules.h"

#include "platform/walk/linux/StampReader.h"

namespace vantorel::dirwalk::index
{

namespace
{

    constexpr std::int64_t kSecond = 1000000000;
    /// A local file system stamps with the machine's own clock, to the tick.
    constexpr std::int64_t kLocalMargin = kSecond;
    /// Times kept to the second or coarser (every nanosecond field 0).
    constexpr std::int64_t kCoarseMargin = 2 * kSecond;
    /// An NFS server stamps with its own clock, which may run behind ours.
    constexpr std::int64_t kRemoteMargin = 60 * kSecond;

} // namespace

bool IndexRules::indexes(std::uint32_t fileSystem) const
{
    switch (m_reach) {
    case IndexReach::Off:
        return false;
    case IndexReach::Everywhere:
        return true;
    case IndexReach::Listed:
        break;
    }
    // The file systems whose folder times move with every change of a listing.
    // Left out: overlayfs (a lower layer can change a listing without moving
    // a time), SMB (the server's rules decide what may be read), FUSE (the
    // times are whatever the process behind it says), FAT and exFAT (coarse
    // local times with no change time), and every type not known here.
    switch (fileSystem) {
    case filesystem::kExt:
    case filesystem::kXfs:
    case filesystem::kBtrfs:
    case filesystem::kF2fs:
    case filesystem::kTmpfs:
    case filesystem::kZfs:
    case filesystem::kNfs:
        return true;
    default:
        return false;
    }
}

std::int64_t IndexRules::margin(std::uint32_t fileSystem, bool coarse)
{
    if (fileSystem == filesystem::kNfs)
        return kRemoteMargin;
    return coarse ? kCoarseMargin : kLocalMargin;
}

std::int64_t IndexRules::now() const
{
    return StampReader::wallClock() + m_clockOffset;
}

bool IndexRules::oldEnough(std::int64_t modified, std::int64_t changed, std::int64_t born,
    std::uint32_t fileSystem, std::int64_t now) const
{
    const bool coarse = modified % kSecond == 0 && changed % kSecond == 0 && born % kSecond == 0;
    const std::int64_t limit = now - margin(fileSystem, coarse);
    return modified < limit && changed < limit;
}

bool IndexRules::trusts(const FolderStamp& stamp)
{
    if (!stamp.taken() || (stamp.flags & FolderStamp::Encrypted) != 0 || !indexes(stamp.fileSystem))
        return false;
    const std::int64_t takenAt = stamp.takenAt + m_clockOffset;
    // A change between the clock's reading and the stamp's may be a little
    // later than the reading; a time further ahead shows that our clock or the
    // file system's is wrong, and then no time on that mount proves anything.
    const std::int64_t future = takenAt + margin(stamp.fileSystem, false);
    if (stamp.modified > future || stamp.changed > future) {
        makeMountLive(stamp.device, stamp.mountId);
        return false;
    }
    return !mountIsLive(stamp.device, stamp.mountId)
        && oldEnough(stamp.modified, stamp.changed, stamp.born, stamp.fileSystem, takenAt);
}

bool IndexRules::mountIsLive(std::uint64_t device, std::uint64_t mountId) const
{
    if (!m_anyLiveMount.load(std::memory_order_acquire))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_liveMounts.count({ device, mountId }) != 0;
}

void IndexRules::makeMountLive(std::uint64_t device, std::uint64_t mountId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_liveMounts.insert({ device, mountId });
    m_anyLiveMount.store(true, std::memory_order_release);
}

} // namespace vantorel::dirwalk::index
