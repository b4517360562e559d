// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexFileChecks.h"

#include <cstring>
#include <utility>

namespace vantorel::dirwalk::index
{

namespace
{

    constexpr std::uint8_t kKnownFlags
        = IndexNode::Link | IndexNode::Listed | IndexNode::Trusted | IndexNode::HasBirth;
    constexpr std::uint16_t kNoSlot = 0xFFFF;

    bool goodName(std::string_view name)
    {
        return !name.empty() && name != "." && name != ".."
            && name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
    }

} // namespace

void Checksum::word(std::uint64_t word)
{
    m_hash = (m_hash ^ word) * 0xBF58476D1CE4E5B9ULL;
    m_hash ^= m_hash >> 31;
}

void Checksum::add(const char* data, std::size_t size)
{
    while (size > 0 && m_partialSize > 0) {
        m_partial[m_partialSize++] = *data++;
        --size;
        if (m_partialSize == 8) {
            std::uint64_t value;
            std::memcpy(&value, m_partial, 8);
            word(value);
            m_partialSize = 0;
        }
    }
    for (; size >= 8; data += 8, size -= 8) {
        std::uint64_t value;
        std::memcpy(&value, data, 8);
        word(value);
    }
    std::memcpy(m_partial + m_partialSize, data, size);
    m_partialSize += size;
}

std::uint64_t Checksum::value() const
{
    std::uint64_t hash = m_hash;
    for (std::size_t i = 0; i < m_partialSize; ++i)
        hash = (hash ^ std::uint8_t(m_partial[i])) * 0x94D049BB133111EBULL;
    return hash ^ (hash >> 29);
}

bool NestingCheck::closeEndedAt(std::uint32_t id)
{
    while (!m_open.empty() && m_open.back().end <= id) {
        if (m_open.back().counted != m_open.back().children)
            return false;
        m_open.pop_back();
    }
    return true;
}

bool NestingCheck::accept(const IndexNode& node, std::string_view name)
{
    const std::uint32_t id = m_id++;
    if (id >= m_count || !closeEndedAt(id))
        return false;
    const bool listed = (node.flags & IndexNode::Listed) != 0;
    const bool trusted = (node.flags & IndexNode::Trusted) != 0;
    const bool link = (node.flags & IndexNode::Link) != 0;
    const std::uint64_t end = std::uint64_t(id) + node.subtree;
    if ((node.flags & ~kKnownFlags) != 0 || node.subtree == 0 || end > m_count
        || (node.device != kNoSlot && node.device >= m_slots) || (trusted && node.device == kNoSlot)
        || (link && (listed || trusted)) || (trusted && !listed)
        || (!listed && (node.subtree != 1 || node.children != 0)))
        return false;
    if (id == 0) {
        if (end != m_count || link || !name.empty())
            return false;
    } else {
        if (m_open.empty() || end > m_open.back().end || !goodName(name))
            return false;
        ++m_open.back().counted;
    }
    m_open.push_back({ std::uint32_t(end), node.children, 0 });
    return true;
}

bool NestingCheck::complete()
{
    return m_id == m_count && closeEndedAt(m_count) && m_open.empty();
}

WrittenNodes::WrittenNodes(const FolderIndex& index, const std::vector<bool>& kept)
    : m_index(index)
    , m_kept(kept)
{
    if (index.empty() || !keeps(index.node(0).device))
        return;
    // Each node written, with the old end of what it stands for.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> open;
    m_subtrees.reserve(index.size());
    for (std::uint32_t id = 0; id < index.size();) {
        while (!open.empty() && open.back().second <= id) {
            m_subtrees[open.back().first] = count() - open.back().first;
            open.pop_back();
        }
        const bool collapsed = collapses(index.node(id));
        const std::uint32_t end = collapsed ? id + 1 : index.after(id);
        open.emplace_back(count(), end);
        m_subtrees.push_back(1);
        m_bytes += kNodeBytes + index.name(id).size();
        id = collapsed ? index.after(id) : id + 1;
    }
    while (!open.empty()) {
        m_subtrees[open.back().first] = count() - open.back().first;
        open.pop_back();
    }
}

} // namespace vantorel::dirwalk::index
