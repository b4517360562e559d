// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexWriter.h"

#include <utility>

namespace vantorel::dirwalk::index
{

namespace
{

    constexpr std::size_t kLongestName = 255;
    /// Children of a folder looked for by name without a table, one after the other.
    constexpr std::uint32_t kFewChildren = 16;

    bool namesFit(const SubfolderList& listing)
    {
        for (const auto& entry : listing.entries())
            if (entry.length > kLongestName || entry.length == 0)
                return false;
        for (const auto& link : listing.otherLinks())
            if (link.length > kLongestName || link.length == 0)
                return false;
        return true;
    }

} // namespace

IndexWriter::IndexWriter(IndexRules& rules, std::string location, const FolderIndex* old)
    : m_rules(rules)
    , m_old(old && !old->empty() ? old : nullptr)
    , m_index(std::make_unique<FolderIndex>(std::move(location)))
    , m_slotOfOld(m_old ? m_old->devices().size() : 0, kNoDevice)
{
}

std::uint32_t IndexWriter::append(const IndexNode& node, std::string_view name)
{
    if (m_index->size() >= kMostNodes) {
        m_overflow = true;
        return FolderIndex::kNone;
    }
    return m_index->append(node, name);
}

std::uint16_t IndexWriter::slotOf(const FolderStamp& stamp, std::uint32_t id)
{
    if (!stamp.taken())
        return kNoDevice;
    const std::uint32_t slot = m_index->deviceSlot(stamp, id);
    return slot == FolderIndex::kNone ? kNoDevice : std::uint16_t(slot);
}

std::uint16_t IndexWriter::oldSlot(std::uint16_t slot, std::uint32_t id)
{
    if (slot >= m_slotOfOld.size())
        return kNoDevice;
    if (m_slotOfOld[slot] == kNoDevice) {
        const DeviceSlot& old = m_old->devices()[slot];
        auto& devices = m_index->devices();
        if (devices.size() >= kNoDevice)
            return kNoDevice;
        devices.push_back(old);
        devices.back().sample = id;
        m_slotOfOld[slot] = std::uint16_t(devices.size() - 1);
    }
    return m_slotOfOld[slot];
}

bool IndexWriter::asInTheOldIndex(const RecordedListing* listing) const
{
    return listing && !listing->read && listing->old != FolderIndex::kNone;
}

void IndexWriter::endMirror()
{
    if (!m_mirror)
        return;
    // Everything before the deepest level's next entry is the old index's own.
    m_mirror = false;
    const std::uint32_t written = m_depth == 0 ? 0 : m_levels[m_depth - 1].nextOld;
    m_index->devices() = m_old->devices();
    for (std::size_t slot = 0; slot < m_slotOfOld.size(); ++slot)
        m_slotOfOld[slot] = std::uint16_t(slot);
    for (std::uint32_t id = 0; id < written; ++id)
        m_index->append(m_old->node(id), m_old->name(id));
}

void IndexWriter::openRoot(const RecordedListing* listing)
{
    m_depth = 0;
    m_muted = 0;
    m_mirror = m_old && asInTheOldIndex(listing) && listing->old == 0;
    open({}, listing);
}

void IndexWriter::open(std::string_view name, const RecordedListing* listing)
{
    IndexNode node;
    const bool fromOld = listing && !listing->read && listing->old != FolderIndex::kNone && m_old;
    if (fromOld) {
        node = m_old->node(listing->old);
        node.device = kNoDevice;
    } else if (listing && listing->read && namesFit(*listing->read)) {
        const FolderStamp& stamp = listing->read->stamp();
        const std::uint8_t trust = m_rules.trusts(stamp) ? IndexNode::Trusted : 0;
        node = FolderIndex::nodeOf(stamp, kNoDevice, IndexNode::Listed | trust);
    } else {
        node.flags = 0; // not listed: it is read again next time
    }
    node.subtree = 1;
    node.children = 0;
    // While the walk finds the last index as it was, the node is the old one.
    const std::uint32_t id = m_mirror ? listing->old : append(node, name);
    if (!listing)
        return; // not listed: the walk does not go into it
    if (id == FolderIndex::kNone || (node.flags & IndexNode::Listed) == 0) {
        ++m_muted; // the walk goes into it, but nothing below it is kept
        return;
    }
    if (!m_mirror) {
        IndexNode& stored = m_index->node(id);
        if (fromOld)
            stored.device = oldSlot(m_old->node(listing->old).device, id);
        else
            stored.device = slotOf(listing->read->stamp(), id);
        if (stored.device == kNoDevice)
            stored.flags &= std::uint8_t(~IndexNode::Trusted);
    }

    if (m_levels.size() <= m_depth)
        m_levels.emplace_back();
    Level& level = m_levels[m_depth++];
    level.id = id;
    level.old = listing->old;
    level.fromOld = fromOld;
    level.nextOld = listing->old + 1;
    level.oldEnd = fromOld ? m_old->after(listing->old) : 0;
    level.nextEntry = 0;
    level.nextLink = 0;
    level.children = 0;
    level.oldByName.clear();
    level.oldByNameMade = false;
    if (fromOld)
        level.listing.clear();
    else
        level.listing.assign(*listing->read);
}

void IndexWriter::entered(std::string_view name, const RecordedListing* listing)
{
    if (m_muted > 0 || m_depth == 0) {
        ++m_muted;
        return;
    }
    if (!asInTheOldIndex(listing))
        endMirror();
    writeUpTo(name);
    ++m_levels[m_depth - 1].children;
    open(name, listing);
}

void IndexWriter::left()
{
    if (m_muted > 0) {
        --m_muted;
        return;
    }
    if (m_depth > 0)
        close();
}

void IndexWriter::close()
{
    writeUpTo({});
    const Level& level = m_levels[m_depth - 1];
    if (!m_mirror) {
        IndexNode& node = m_index->node(level.id);
        node.subtree = m_index->size() - level.id;
        node.children = level.children;
    }
    --m_depth;
}

std::unique_ptr<FolderIndex> IndexWriter::finish()
{
    m_muted = 0;
    while (m_depth > 0)
        close();
    m_unchanged = m_mirror;
    if (m_mirror || m_overflow || m_index->empty())
        return nullptr;
    m_index->findSamples();
    return std::move(m_index);
}

void IndexWriter::writeUpTo(std::string_view name)
{
    Level& level = m_levels[m_depth - 1];
    if (level.fromOld) {
        const std::uint32_t end = level.oldEnd;
        while (level.nextOld < end) {
            const std::uint32_t oldId = level.nextOld;
            level.nextOld = m_old->after(oldId);
            const IndexNode& old = m_old->node(oldId);
            if (!name.empty() && !old.isLink() && m_old->name(oldId) == name)
                return; // the walk enters it: written with its listing
            writeOldEntry(level, oldId);
        }
        return;
    }
    const SubfolderList& listing = level.listing;
    const auto links = listing.otherLinks();
    for (;;) {
        // Other links come before the entry they were met before.
        if (level.nextLink < links.size() && links[level.nextLink].before <= level.nextEntry) {
            writeLink(level, listing.otherLinkName(level.nextLink++));
            continue;
        }
        if (level.nextEntry == listing.size())
            return;
        const std::size_t entry = level.nextEntry++;
        const std::string_view entryName = listing.name(entry);
        if (listing.kind(entry) == FolderKind::Link) {
            writeLink(level, entryName);
            continue;
        }
        if (!name.empty() && entryName == name)
            return;
        writeUnreached(level, entryName);
    }
}

void IndexWriter::writeOldEntry(Level& level, std::uint32_t oldId)
{
    ++level.children;
    if (m_mirror)
        return;
    if (m_old->node(oldId).isLink())
        writeLink(level, m_old->name(oldId));
    else
        copySubtree(oldId);
}

void IndexWriter::writeLink(Level& level, std::string_view name)
{
    if (!level.fromOld)
        ++level.children;
    IndexNode node;
    node.flags = IndexNode::Link;
    node.device = kNoDevice;
    append(node, name);
}

void IndexWriter::writeUnreached(Level& level, std::string_view name)
{
    ++level.children;
    const std::uint32_t oldId = matchOld(level, name);
    if (oldId != FolderIndex::kNone && !m_old->node(oldId).isLink()) {
        copySubtree(oldId);
        return;
    }
    IndexNode node; // never listed: read when the walk first comes to it
    node.device = kNoDevice;
    append(node, name);
}

std::uint32_t IndexWriter::copySubtree(std::uint32_t oldId)
{
    const std::uint32_t first = m_index->size();
    const std::uint32_t end = m_old->after(oldId);
    for (std::uint32_t id = oldId; id < end; ++id) {
        IndexNode node = m_old->node(id);
        const std::uint32_t newId = m_index->size();
        if (node.device != kNoDevice)
            node.device = oldSlot(node.device, newId);
        if (node.device == kNoDevice)
            node.flags &= std::uint8_t(~IndexNode::Trusted);
        if (append(node, m_old->name(id)) == FolderIndex::kNone)
            return first;
    }
    return first;
}

std::uint32_t IndexWriter::matchOld(Level& level, std::string_view name)
{
    if (!m_old || level.old == FolderIndex::kNone)
        return FolderIndex::kNone;
    const IndexNode& parent = m_old->node(level.old);
    const std::uint32_t end = m_old->after(level.old);
    if (parent.children <= kFewChildren) {
        for (std::uint32_t id = level.old + 1; id < end; id = m_old->after(id))
            if (m_old->name(id) == name)
                return id;
        return FolderIndex::kNone;
    }
    if (!level.oldByNameMade) {
        level.oldByName.reserve(parent.children);
        for (std::uint32_t id = level.old + 1; id < end; id = m_old->after(id))
            level.oldByName.emplace(m_old->name(id), id);
        level.oldByNameMade = true;
    }
    const auto found = level.oldByName.find(name);
    return found == level.oldByName.end() ? FolderIndex::kNone : found->second;
}

std::uint32_t IndexWriter::oldChild(std::string_view name)
{
    if (m_muted > 0 || m_depth == 0)
        return FolderIndex::kNone;
    Level& level = m_levels[m_depth - 1];
    if (level.fromOld) {
        // The walk takes the children in order: the next one is almost always it.
        const std::uint32_t end = level.oldEnd;
        for (std::uint32_t id = level.nextOld; id < end; id = m_old->after(id))
            if (m_old->name(id) == name && !m_old->node(id).isLink())
                return id;
        return FolderIndex::kNone;
    }
    return matchOld(level, name);
}

} // namespace vantorel::dirwalk::index
