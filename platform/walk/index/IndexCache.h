// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/index/FolderIndex.h"
#include "platform/walk/index/IndexFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantorel::dirwalk::index
{

/// The folder where indexes outlive the program's run: one file a location,
/// readable and writable by the user alone, each written whole beside its old
/// copy and then put in its place, so that a reader never finds half of one.
/// The files together are kept within a number of folders and of bytes, the
/// least recently used dropped first. A file the user does not own, that
/// others may write, or that is damaged, cut, foreign or crafted, is never
/// read; the next save replaces it.
class IndexCache
{
public:
    /// With `anyFileSystem` (the index used everywhere), a file system with no
    /// identity is kept too, and found again by its type alone.
    IndexCache(std::string folder, std::size_t mostNodes, std::size_t mostBytes,
        bool anyFileSystem = false)
        : m_folder(std::move(folder))
        , m_mostNodes(mostNodes)
        , m_mostBytes(mostBytes)
        , m_anyFileSystem(anyFileSystem)
    {
    }

    /// The index kept of `location` for the searcher `key`, with its file
    /// systems found again by their identity (a file system that cannot be
    /// found is left out, its folders read again); null when there is none
    /// that can be trusted. `found` is set when there was a file at all.
    std::unique_ptr<FolderIndex> load(
        const std::string& location, const std::string& key, bool& found) const;
    /// Writes `index` for the searcher `key`, then keeps the folder within its
    /// bounds. Folders on a tmpfs, or on a file system with no identity to be
    /// found again by, are kept without their content. False when it could not.
    bool save(const FolderIndex& index, const std::string& key) const;

    /// Marks the file of `index` as just used, for the count of the least
    /// recently used: the index it holds is still the one in memory.
    void touch(const FolderIndex& index) const;

    /// The file of `location`'s index.
    std::string fileOf(const std::string& location) const;
    const std::string& folder() const { return m_folder; }

    /// Folders changed this long before a save are read again after a new
    /// boot or a step of the wall clock.
    static constexpr std::int64_t kRacyAfterClockStep = std::int64_t { 600 } * 1000000000;

private:
    /// Makes the folder when it is missing; false when it is not the user's own.
    bool folderReady() const;
    void keepWithinBounds(const std::string& justWritten) const;

    std::string m_folder;
    std::size_t m_mostNodes;
    std::size_t m_mostBytes;
    bool m_anyFileSystem;
};

/// Finds each device of a loaded index again by its first folder and its
/// identity, and binds the slot to the device and mount it is on now; a slot
/// whose file system is not the same any more never matches a stamp.
void bindDevices(FolderIndex& index, bool anyFileSystem);

/// The device slots of `index` with their first folder's path and their file
/// system's identity, as a cache file keeps them; `kept` says which may be
/// written with their folders (not a tmpfs, nor one without an identity).
std::vector<DeviceSlot> identifyDevices(
    const FolderIndex& index, bool anyFileSystem, std::vector<bool>& kept);

} // namespace vantorel::dirwalk::index
