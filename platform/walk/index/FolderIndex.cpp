// SPDX-License-Identifier: MIT
#include "platform/walk/index/FolderIndex.h"

#include <utility>

namespace vantorel::dirwalk::index
{

namespace
{

    /// Bytes reserved a name in a new chunk: names grow past it by doubling.
    constexpr std::size_t kTypicalName = 16;

} // namespace

FolderIndex::FolderIndex(std::string location)
    : m_location(std::move(location))
{
}

std::string_view FolderIndex::name(std::uint32_t id) const
{
    const Chunk& chunk = *m_chunks[id >> kChunkShift];
    const IndexNode& entry = chunk.nodes[id & (kChunkNodes - 1)];
    return std::string_view(chunk.names).substr(entry.nameOffset, entry.nameLength);
}

std::uint32_t FolderIndex::append(const IndexNode& node, std::string_view name)
{
    const std::uint32_t id = m_size;
    if ((id & (kChunkNodes - 1)) == 0) {
        m_chunks.push_back(std::make_unique<Chunk>());
        m_chunks.back()->names.reserve(kChunkNodes * kTypicalName);
    }
    Chunk& chunk = *m_chunks.back();
    IndexNode& stored = chunk.nodes[id & (kChunkNodes - 1)];
    stored = node;
    stored.nameOffset = std::uint32_t(chunk.names.size());
    stored.nameLength = std::uint8_t(name.size());
    chunk.names.append(name);
    ++m_size;
    return id;
}

std::uint32_t FolderIndex::deviceSlot(const FolderStamp& stamp, std::uint32_t nodeId)
{
    const bool hasMountId = (stamp.flags & FolderStamp::HasMountId) != 0;
    // Folders on one device come in long runs: the last slots are looked at first.
    for (std::size_t i = m_devices.size(); i-- > 0;) {
        const DeviceSlot& slot = m_devices[i];
        if (slot.device == stamp.device && slot.mountId == stamp.mountId
            && slot.hasMountId == hasMountId && slot.fileSystem == stamp.fileSystem)
            return std::uint32_t(i);
    }
    if (m_devices.size() > 0xFFFF)
        return kNone;
    DeviceSlot slot;
    slot.device = stamp.device;
    slot.mountId = stamp.mountId;
    slot.hasMountId = hasMountId;
    slot.fileSystem = stamp.fileSystem;
    slot.sample = nodeId;
    m_devices.push_back(slot);
    return std::uint32_t(m_devices.size() - 1);
}

bool FolderIndex::matches(std::uint32_t id, const FolderStamp& stamp) const
{
    const IndexNode& entry = node(id);
    if (!stamp.taken() || entry.device >= m_devices.size())
        return false;
    const DeviceSlot& slot = m_devices[entry.device];
    const bool hasBirth = (stamp.flags & FolderStamp::HasBirth) != 0;
    return slot.device == stamp.device && slot.mountId == stamp.mountId
        && slot.hasMountId == ((stamp.flags & FolderStamp::HasMountId) != 0)
        && entry.inode == stamp.inode && entry.modified == stamp.modified
        && entry.changed == stamp.changed && entry.born == stamp.born
        && ((entry.flags & IndexNode::HasBirth) != 0) == hasBirth
        && (stamp.flags & FolderStamp::Encrypted) == 0;
}

IndexNode FolderIndex::nodeOf(const FolderStamp& stamp, std::uint16_t device, std::uint8_t flags)
{
    IndexNode entry;
    entry.inode = stamp.inode;
    entry.modified = stamp.modified;
    entry.changed = stamp.changed;
    entry.born = stamp.born;
    entry.device = device;
    entry.flags = flags;
    if (stamp.flags & FolderStamp::HasBirth)
        entry.flags |= IndexNode::HasBirth;
    return entry;
}

void FolderIndex::findSamples()
{
    std::vector<bool> found(m_devices.size(), false);
    for (std::uint32_t id = 0; id < m_size; ++id) {
        const std::uint16_t device = node(id).device;
        if (device < found.size() && !found[device]) {
            found[device] = true;
            m_devices[device].sample = id;
        }
    }
}

std::size_t FolderIndex::memoryBytes() const
{
    std::size_t bytes = sizeof(*this) + m_chunks.capacity() * sizeof(m_chunks[0])
        + m_devices.capacity() * sizeof(DeviceSlot) + m_location.capacity();
    for (const auto& chunk : m_chunks)
        bytes += sizeof(Chunk) + kChunkNodes * sizeof(IndexNode) + chunk->names.capacity();
    return bytes;
}

} // namespace vantorel::dirwalk::index
