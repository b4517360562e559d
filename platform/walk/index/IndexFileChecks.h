// SPDX-License-Identifier: MIT
// The parts of the cache file that are worked out node by node: its checksum,
// the check that the nodes read nest as a pre-order must, and the nodes
// written (without what lies below a folder whose device is not kept).
#pragma once

#include "platform/walk/index/FolderIndex.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vantorel::dirwalk::index
{

/// A node as written: four times, two counts, its device, flags and name's length.
inline constexpr std::size_t kNodeBytes = 4 * 8 + 2 * 4 + 2 + 1 + 1;

/// A checksum of bytes given in pieces of any length. It finds damage, not
/// forgery: a crafted file must still pass every check of the reader.
class Checksum
{
public:
    void add(const char* data, std::size_t size);
    std::uint64_t value() const;

private:
    void word(std::uint64_t word);

    std::uint64_t m_hash = 0x9E3779B97F4A7C15ULL;
    char m_partial[8] {};
    std::size_t m_partialSize = 0;
};

/// Checks nodes read one after the other: each subtree within its parent's,
/// each folder's count of children right, links and unlisted folders without
/// children, names that are names, and one root holding them all.
class NestingCheck
{
public:
    NestingCheck(std::uint32_t count, std::uint32_t slots)
        : m_count(count)
        , m_slots(slots)
    {
    }
    bool accept(const IndexNode& node, std::string_view name);
    /// After the last node.
    bool complete();

private:
    struct Open {
        std::uint32_t end;
        std::uint32_t children;
        std::uint32_t counted;
    };
    bool closeEndedAt(std::uint32_t id);

    const std::uint32_t m_count;
    const std::uint32_t m_slots;
    std::uint32_t m_id = 0;
    std::vector<Open> m_open;
};

/// The nodes of an index as its cache file holds them: below a folder on a
/// device not kept, nothing, and that folder as one never listed.
class WrittenNodes
{
public:
    WrittenNodes(const FolderIndex& index, const std::vector<bool>& kept);
    std::uint32_t count() const { return std::uint32_t(m_subtrees.size()); }
    /// The bytes the nodes take in the file, their names included.
    std::uint64_t nodeBytes() const { return m_bytes; }
    /// Calls `write` with each node to write and its name, in order.
    template <typename Write> void each(Write write) const
    {
        std::uint32_t written = 0;
        for (std::uint32_t id = 0; id < m_index.size();) {
            IndexNode node = m_index.node(id);
            const bool collapsed = collapses(node);
            if (collapsed) {
                node.flags &= std::uint8_t(~(IndexNode::Listed | IndexNode::Trusted));
                node.children = 0;
            }
            if (!keeps(node.device))
                node.device = kNoDeviceSlot;
            node.subtree = m_subtrees[written++];
            write(node, m_index.name(id));
            id = collapsed ? m_index.after(id) : id + 1;
        }
    }

private:
    static constexpr std::uint16_t kNoDeviceSlot = 0xFFFF;
    bool keeps(std::uint16_t device) const
    {
        return device != kNoDeviceSlot && device < m_kept.size() && m_kept[device];
    }
    bool collapses(const IndexNode& node) const
    {
        return !node.isLink() && node.listed() && !keeps(node.device);
    }

    const FolderIndex& m_index;
    const std::vector<bool>& m_kept;
    std::vector<std::uint32_t> m_subtrees;
    std::uint64_t m_bytes = 0;
};

} // namespace vantorel::dirwalk::index
