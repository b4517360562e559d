// SPDX-License-Identifier: MIT
// What shows that a folder is unchanged since it was listed: a folder's
// modification and change times move whenever an entry is added, removed or
// renamed in it, or its permissions change.
#pragma once

#include <cstdint>

namespace vantorel::dirwalk
{

struct FolderStamp {
    enum Flag : std::uint8_t {
        Taken = 1, ///< the fields below were read; otherwise none is
        HasBirth = 2, ///< the file system gave a birth time
        HasMountId = 4, ///< the system gave the mount's id
        Encrypted = 8, ///< the folder's names are encrypted: they depend on a key
    };

    std::uint64_t device = 0;
    std::uint64_t mountId = 0;
    std::uint64_t inode = 0;
    std::int64_t modified = 0; ///< nanoseconds since the epoch, as the folder's clock keeps them
    std::int64_t changed = 0;
    std::int64_t born = 0; ///< 0 without HasBirth
    /// The wall clock, read just before the stamp was: a time that is not
    /// older than this by a margin may still move within its own tick.
    std::int64_t takenAt = 0;
    std::uint32_t fileSystem = 0; ///< the file system's type (statfs' f_type)
    std::uint8_t flags = 0;

    bool taken() const { return (flags & Taken) != 0; }
    /// The same folder in the same state, as far as stamps tell.
    bool sameAs(const FolderStamp& other) const
    {
        return device == other.device && mountId == other.mountId && inode == other.inode
            && modified == other.modified && changed == other.changed && born == other.born
            && (flags & (HasBirth | HasMountId | Encrypted))
            == (other.flags & (HasBirth | HasMountId | Encrypted));
    }
};

} // namespace vantorel::dirwalk
