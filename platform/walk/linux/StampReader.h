// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/FolderStamp.h"

#include <cstdint>
#include <functional>

namespace vantorel::dirwalk
{

/// Reads folders' stamps with statx, with the type of each one's file system.
/// One per thread: it keeps the type of the last device it met, so that
/// statfs is asked again only where a walk crosses into another device.
class StampReader
{
public:
    /// The stamp of `name` below `dirfd`, through no link unless `follow`; of
    /// `dirfd` itself when `name` is empty. False with errno set when it
    /// cannot be read, or is no folder (ENOTDIR).
    bool read(int dirfd, const char* name, bool follow, FolderStamp& stamp);

    /// The wall clock, in nanoseconds since the epoch.
    static std::int64_t wallClock();

private:
    bool fileSystemOf(int dirfd, const char* name, bool follow, std::uint32_t& type);

    std::uint64_t m_lastDevice = ~std::uint64_t { 0 };
    std::uint64_t m_lastMount = ~std::uint64_t { 0 };
    std::uint32_t m_lastType = 0;
};

/// For tests: runs on the listing's thread once the entries of each folder
/// listed with a stamp have been read, with the folder's stamp; none when empty.
void setAfterStampedListing(std::function<void(const FolderStamp&)> hook);
/// Runs the hook set, if any.
void afterStampedListing(const FolderStamp& stamp);

/// The type numbers of the file systems whose times the index relies on.
namespace filesystem
{
    inline constexpr std::uint32_t kExt = 0xEF53; ///< ext2, ext3 and ext4
    inline constexpr std::uint32_t kXfs = 0x58465342;
    inline constexpr std::uint32_t kBtrfs = 0x9123683E;
    inline constexpr std::uint32_t kF2fs = 0xF2F52010;
    inline constexpr std::uint32_t kTmpfs = 0x01021994;
    inline constexpr std::uint32_t kZfs = 0x2FC12FC1;
    inline constexpr std::uint32_t kNfs = 0x6969;
} // namespace filesystem

} // namespace vantorel::dirwalk
