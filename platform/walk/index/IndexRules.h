// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/FolderStamp.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <utility>

namespace vantorel::dirwalk::index
{

/// Where an index is used.
enum class IndexReach : std::uint8_t {
    Off, ///< never: every search walks every folder
    Listed, ///< on the file systems whose times are known to be kept well
    Everywhere, ///< on every file system, the unknown ones too
};

/// When a folder's stamp proves its listing: which file systems keep their
/// times well enough, and how old a time must be before it can no longer
/// move within its own tick. One per program run: a mount that showed a time
/// in the future stays live for the rest of the run.
class IndexRules
{
public:
    /// `clockOffset` is added to the wall clock wherever it is read (tests).
    explicit IndexRules(IndexReach reach, std::int64_t clockOffset = 0)
        : m_reach(reach)
        , m_clockOffset(clockOffset)
    {
    }

    IndexReach reach() const { return m_reach; }
    /// Whether folders on a file system of this type may be indexed at all.
    bool indexes(std::uint32_t fileSystem) const;
    /// How much older than the clock a stamp's times must be to be trusted.
    static std::int64_t margin(std::uint32_t fileSystem, bool coarse);

    /// Whether a listing with this stamp can be taken from the index next time
    /// while the stamp holds. Notes a mount whose times lie in the future.
    bool trusts(const FolderStamp& stamp);
    /// Whether times `modified` and `changed` of a folder on `fileSystem`
    /// are still old enough now, at `now` (the clock read before the stat).
    bool oldEnough(std::int64_t modified, std::int64_t changed, std::int64_t born,
        std::uint32_t fileSystem, std::int64_t now) const;
    /// Whether the mount is live for the rest of the run.
    bool mountIsLive(std::uint64_t device, std::uint64_t mountId) const;

    /// The wall clock as the rules read it, in nanoseconds since the epoch.
    std::int64_t now() const;
    std::int64_t clockOffset() const { return m_clockOffset; }

private:
    void makeMountLive(std::uint64_t device, std::uint64_t mountId);

    const IndexReach m_reach;
    const std::int64_t m_clockOffset;
    mutable std::mutex m_mutex;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_liveMounts;
    std::atomic<bool> m_anyLiveMount { false };
};

} // namespace vantorel::dirwalk::index
