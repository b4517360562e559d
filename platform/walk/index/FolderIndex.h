// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/FolderStamp.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::dirwalk::index
{

/// One folder or link of an index. A folder's subtree follows it in
/// pre-order: its first child is the next node, each next sibling lies
/// `subtree` nodes further on.
struct IndexNode {
    enum Flag : std::uint8_t {
        Link = 1, ///< a link, to a folder or not: its target is looked at every time
        Listed = 2, ///< the children are the folder's listing (else none is known)
        Trusted = 4, ///< the stamp proves the listing: it needs no reading again while it holds
        HasBirth = 8,
    };

    std::uint64_t inode = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    std::int64_t born = 0;
    std::uint32_t subtree = 1; ///< nodes in the subtree, this one included
    std::uint32_t children = 0; ///< direct children
    std::uint32_t nameOffset = 0; ///< in its chunk's names
    std::uint16_t device = 0; ///< in the index's devices
    std::uint8_t nameLength = 0;
    std::uint8_t flags = 0;

    bool isLink() const { return (flags & Link) != 0; }
    bool listed() const { return (flags & Listed) != 0; }
    bool trusted() const { return (flags & Trusted) != 0; }
};

/// A file system as mounted, that an index's stamps refer to.
struct DeviceSlot {
    std::uint64_t device = 0;
    std::uint64_t mountId = 0;
    std::uint32_t fileSystem = 0;
    bool hasMountId = false;
    /// The first folder on it: where it is found again (its node, and its path
    /// below the location once written to a cache file or read from one).
    std::uint32_t sample = 0;
    std::string samplePath;
    /// The file system's identity (its UUID, or an id derived from it), for
    /// recognising it after a restart, when device numbers may have changed.
    std::uint8_t identityLength = 0;
    std::array<std::uint8_t, 16> identity {};
};

/// Every folder below one search location, as the last search found it: each
/// one's name, its subfolders and links in listing order, and the stamp that
/// shows it unchanged. Nodes are appended in pre-order, kept in chunks so that
/// none moves; names are the file system's bytes (at most 255 of them).
class FolderIndex
{
public:
    static constexpr std::uint32_t kChunkShift = 13;
    static constexpr std::uint32_t kChunkNodes = 1u << kChunkShift;
    static constexpr std::uint32_t kNone = ~std::uint32_t { 0 };

    explicit FolderIndex(std::string location = {});
    FolderIndex(const FolderIndex&) = delete;
    FolderIndex& operator=(const FolderIndex&) = delete;

    const std::string& location() const { return m_location; }
    std::uint32_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    const IndexNode& node(std::uint32_t id) const
    {
        return m_chunks[id >> kChunkShift]->nodes[id & (kChunkNodes - 1)];
    }
    IndexNode& node(std::uint32_t id)
    {
        return m_chunks[id >> kChunkShift]->nodes[id & (kChunkNodes - 1)];
    }
    std::string_view name(std::uint32_t id) const;
    /// The id past the subtree of `id`: its next sibling, or where its parent's ends.
    std::uint32_t after(std::uint32_t id) const { return id + node(id).subtree; }

    /// Appends a node named `name` (at most 255 bytes) and returns its id.
    std::uint32_t append(const IndexNode& node, std::string_view name);

    const std::vector<DeviceSlot>& devices() const { return m_devices; }
    std::vector<DeviceSlot>& devices() { return m_devices; }
    /// The slot of a device as mounted, added when new; kNone past 65,535 of them.
    std::uint32_t deviceSlot(const FolderStamp& stamp, std::uint32_t nodeId);

    /// Whether the folder `id` is still as `stamp` shows it now.
    bool matches(std::uint32_t id, const FolderStamp& stamp) const;
    /// A node holding `stamp`, on device slot `device`.
    static IndexNode nodeOf(const FolderStamp& stamp, std::uint16_t device, std::uint8_t flags);

    /// The memory the index holds.
    std::size_t memoryBytes() const;
    /// The time of the search that last used it, in nanoseconds of the wall clock.
    mutable std::atomic<std::int64_t> lastUsed { 0 };
    /// The cache folder holds it as it is: a search that changed nothing need
    /// not write it again.
    mutable std::atomic<bool> onDisk { false };
    /// Makes each device slot's first folder the first node on it.
    void findSamples();

private:
    struct Chunk {
        std::unique_ptr<IndexNode[]> nodes { new IndexNode[kChunkNodes] };
        std::string names;
    };

    std::string m_location;
    std::vector<std::unique_ptr<Chunk>> m_chunks;
    std::uint32_t m_size = 0;
    std::vector<DeviceSlot> m_devices;
};

} // namespace vantorel::dirwalk::index
