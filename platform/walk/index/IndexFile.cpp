// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexFile.h"

#include "platform/walk/index/IndexWriter.h"

#include <cstring>
#include <utility>

namespace vantorel::dirwalk::index
{

namespace
{

    constexpr char kMagic[8] = { 'O', 'S', 'T', 'L', 'B', 'I', 'D', 'X' };
    constexpr std::uint32_t kVersion = 1;
    /// Where the checksum lies, and where what it covers begins.
    constexpr std::size_t kChecksumAt = 16;
    constexpr std::size_t kCheckedFrom = 24;
    constexpr std::uint32_t kMostText = 1u << 16;
    constexpr std::uint32_t kMostSamplePath = 4u << 20;
    /// A node as written: four times, two counts, its device, flags and name's length.
    constexpr std::size_t kNodeBytes = 4 * 8 + 2 * 4 + 2 + 1 + 1;
    constexpr std::uint8_t kKnownFlags
        = IndexNode::Link | IndexNode::Listed | IndexNode::Trusted | IndexNode::HasBirth;

    /// Finds damage, not forgery: a crafted file must still pass every check below.
    std::uint64_t checksum(std::string_view bytes)
    {
        std::uint64_t hash = 0x9E3779B97F4A7C15ULL;
        std::size_t i = 0;
        for (; i + 8 <= bytes.size(); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + i, 8);
            hash = (hash ^ word) * 0xBF58476D1CE4E5B9ULL;
            hash ^= hash >> 31;
        }
        for (; i < bytes.size(); ++i)
            hash = (hash ^ std::uint8_t(bytes[i])) * 0x94D049BB133111EBULL;
        return hash ^ (hash >> 29);
    }

    class Writer
    {
    public:
        template <typename T> void put(T value)
        {
            char raw[sizeof(T)];
            std::memcpy(raw, &value, sizeof(T)); // the machine's own order: little-endian here
            m_bytes.append(raw, sizeof(T));
        }
        void text(std::string_view text)
        {
            put(std::uint32_t(text.size()));
            m_bytes.append(text);
        }
        void raw(const void* data, std::size_t size)
        {
            m_bytes.append(static_cast<const char*>(data), size);
        }
        std::string& bytes() { return m_bytes; }

    private:
        std::string m_bytes;
    };

    class Reader
    {
    public:
        explicit Reader(std::string_view bytes)
            : m_bytes(bytes)
        {
        }
        template <typename T> bool get(T& value)
        {
            if (m_bytes.size() - m_at < sizeof(T))
                return false;
            std::memcpy(&value, m_bytes.data() + m_at, sizeof(T));
            m_at += sizeof(T);
            return true;
        }
        bool text(std::string& text, std::uint32_t most)
        {
            std::uint32_t length = 0;
            if (!get(length) || length > most || m_bytes.size() - m_at < length)
                return false;
            text.assign(m_bytes.substr(m_at, length));
            m_at += length;
            return true;
        }
        bool raw(void* data, std::size_t size)
        {
            if (m_bytes.size() - m_at < size)
                return false;
            std::memcpy(data, m_bytes.data() + m_at, size);
            m_at += size;
            return true;
        }
        bool view(std::string_view& part, std::size_t size)
        {
            if (m_bytes.size() - m_at < size)
                return false;
            part = m_bytes.substr(m_at, size);
            m_at += size;
            return true;
        }
        bool atEnd() const { return m_at == m_bytes.size(); }
        std::size_t left() const { return m_bytes.size() - m_at; }

    private:
        std::string_view m_bytes;
        std::size_t m_at = 0;
    };

    void writeNode(Writer& out, const IndexNode& node)
    {
        out.put(node.inode);
        out.put(node.modified);
        out.put(node.changed);
        out.put(node.born);
        out.put(node.subtree);
        out.put(node.children);
        out.put(node.device);
        out.put(node.flags);
        out.put(node.nameLength);
    }

    bool readNode(Reader& in, IndexNode& node)
    {
        return in.get(node.inode) && in.get(node.modified) && in.get(node.changed)
            && in.get(node.born) && in.get(node.subtree) && in.get(node.children)
            && in.get(node.device) && in.get(node.flags) && in.get(node.nameLength);
    }

    /// The header; with `verify`, only if the whole file's checksum holds.
    bool readHeader(Reader& in, std::string_view bytes, IndexFileHeader& header, bool verify)
    {
        char magic[8];
        std::uint32_t version = 0, reserved = 0;
        std::uint64_t sum = 0, total = 0;
        return in.raw(magic, sizeof magic) && std::memcmp(magic, kMagic, sizeof magic) == 0
            && in.get(version) && version == kVersion && in.get(reserved) && in.get(sum)
            && in.get(total) && (total == bytes.size() || !verify) && in.get(header.savedAt)
            && in.get(header.wallClockSinceBoot) && in.get(header.lastUsed)
            && in.raw(header.bootId.data(), header.bootId.size()) && in.text(header.key, kMostText)
            && in.text(header.location, kMostText)
            && (!verify || sum == checksum(bytes.substr(kCheckedFrom)));
    }

    bool goodName(std::string_view name)
    {
        return !name.empty() && name != "." && name != ".."
            && name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
    }

    /// Whether the nodes nest as a pre-order must: each subtree within its
    /// parent's, each folder's count of children right, links and folders not
    /// listed without children.
    bool nodesNest(const std::vector<IndexNode>& nodes, std::size_t slots)
    {
        std::vector<std::uint32_t> open;
        std::vector<std::uint32_t> children;
        const auto close = [&] {
            if (children.back() != nodes[open.back()].children)
                return false;
            open.pop_back();
            children.pop_back();
            return true;
        };
        for (std::uint32_t id = 0; id < nodes.size(); ++id) {
            const IndexNode& node = nodes[id];
            while (!open.empty() && open.back() + nodes[open.back()].subtree <= id)
                if (!close())
                    return false;
            if ((node.flags & ~kKnownFlags) != 0 || node.subtree == 0
                || std::uint64_t(id) + node.subtree > nodes.size()
                || (node.device != kNoDevice && node.device >= slots)
                || ((node.flags & IndexNode::Trusted) && node.device == kNoDevice))
                return false;
            const bool listed = (node.flags & IndexNode::Listed) != 0;
            if ((node.flags & IndexNode::Link) && (listed || (node.flags & IndexNode::Trusted)))
                return false;
            if ((node.flags & IndexNode::Trusted) && !listed)
                return false;
            if (!listed && (node.subtree != 1 || node.children != 0))
                return false;
            if (id == 0 ? node.subtree != nodes.size() || node.isLink() : open.empty())
                return false;
            if (!open.empty()) {
                if (id + node.subtree > open.back() + nodes[open.back()].subtree)
                    return false;
                ++children.back();
            }
            open.push_back(id);
            children.push_back(0);
        }
        while (!open.empty())
            if (!close())
                return false;
        return true;
    }

} // namespace

std::string encodeIndex(const FolderIndex& index, const IndexFileHeader& header,
    const std::vector<DeviceSlot>& devices, const std::vector<bool>& kept)
{
    const auto keeps = [&](std::uint16_t device) {
        return device != kNoDevice && device < kept.size() && kept[device];
    };
    if (index.empty() || !keeps(index.node(0).device))
        return {};
    // The nodes to write: below a folder on a device not kept, nothing.
    std::vector<IndexNode> nodes;
    std::string names;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> open; // written id, old end
    nodes.reserve(index.size());
    for (std::uint32_t id = 0; id < index.size();) {
        while (!open.empty() && open.back().second <= id) {
            nodes[open.back().first].subtree = std::uint32_t(nodes.size()) - open.back().first;
            open.pop_back();
        }
        IndexNode node = index.node(id);
        const bool collapsed = !node.isLink() && !keeps(node.device) && node.listed();
        if (collapsed) {
            node.flags &= std::uint8_t(~(IndexNode::Listed | IndexNode::Trusted));
            node.children = 0;
            node.device = kNoDevice;
        }
        if (node.device != kNoDevice && !keeps(node.device))
            node.device = kNoDevice;
        open.emplace_back(std::uint32_t(nodes.size()), collapsed ? id + 1 : index.after(id));
        nodes.push_back(node);
        names.append(index.name(id));
        id = collapsed ? index.after(id) : id + 1;
    }
    while (!open.empty()) {
        nodes[open.back().first].subtree = std::uint32_t(nodes.size()) - open.back().first;
        open.pop_back();
    }

    Writer out;
    out.raw(kMagic, sizeof kMagic);
    out.put(kVersion);
    out.put(std::uint32_t(0));
    out.put(std::uint64_t(0)); // the checksum, once the rest is written
    out.put(std::uint64_t(0)); // the length
    out.put(header.savedAt);
    out.put(header.wallClockSinceBoot);
    out.put(header.lastUsed);
    out.raw(header.bootId.data(), header.bootId.size());
    out.text(header.key);
    out.text(header.location);
    out.put(std::uint32_t(devices.size()));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const DeviceSlot& slot = devices[i];
        out.put(slot.fileSystem);
        out.put(std::uint8_t(slot.hasMountId));
        out.put(i < kept.size() && kept[i] ? slot.identityLength : std::uint8_t(0));
        out.raw(slot.identity.data(), slot.identity.size());
        out.text(
            i < kept.size() && kept[i] ? std::string_view(slot.samplePath) : std::string_view());
    }
    out.put(std::uint32_t(nodes.size()));
    for (const IndexNode& node : nodes)
        writeNode(out, node);
    out.put(std::uint64_t(names.size()));
    out.raw(names.data(), names.size());
    sealIndexFile(out.bytes());
    return std::move(out.bytes());
}

void sealIndexFile(std::string& bytes)
{
    if (bytes.size() < kCheckedFrom + sizeof(std::uint64_t))
        return;
    const std::uint64_t total = bytes.size();
    std::memcpy(bytes.data() + kCheckedFrom, &total, sizeof total);
    const std::uint64_t sum = checksum(std::string_view(bytes).substr(kCheckedFrom));
    std::memcpy(bytes.data() + kChecksumAt, &sum, sizeof sum);
}

bool decodeHeader(std::string_view bytes, IndexFileHeader& header)
{
    Reader in(bytes);
    std::uint32_t slots = 0;
    if (!readHeader(in, bytes, header, false) || !in.get(slots))
        return false;
    for (std::uint32_t i = 0; i < slots; ++i) {
        std::uint32_t fileSystem = 0;
        std::uint8_t hasMountId = 0, identityLength = 0;
        std::array<std::uint8_t, 16> identity;
        std::string sample;
        if (!in.get(fileSystem) || !in.get(hasMountId) || !in.get(identityLength)
            || !in.raw(identity.data(), identity.size()) || !in.text(sample, kMostSamplePath))
            return false;
    }
    return in.get(header.nodes);
}

std::unique_ptr<FolderIndex> decodeIndex(
    std::string_view bytes, IndexFileHeader& header, std::string& why)
{
    why = "damaged";
    Reader in(bytes);
    if (bytes.size() > kMostFileBytes || !readHeader(in, bytes, header, true))
        return nullptr;
    auto index = std::make_unique<FolderIndex>(header.location);
    std::uint32_t slots = 0;
    if (!in.get(slots) || slots > kNoDevice)
        return nullptr;
    for (std::uint32_t i = 0; i < slots; ++i) {
        DeviceSlot slot;
        std::uint8_t hasMountId = 0;
        if (!in.get(slot.fileSystem) || !in.get(hasMountId) || hasMountId > 1
            || !in.get(slot.identityLength) || slot.identityLength > slot.identity.size()
            || !in.raw(slot.identity.data(), slot.identity.size())
            || !in.text(slot.samplePath, kMostSamplePath))
            return nullptr;
        slot.hasMountId = hasMountId != 0;
        // Device numbers and mount ids hold for one boot: found again before use.
        slot.device = ~std::uint64_t { 0 };
        slot.mountId = ~std::uint64_t { 0 };
        index->devices().push_back(std::move(slot));
    }
    std::uint32_t count = 0;
    // What the file can hold, before anything is made for it.
    if (!in.get(count) || count == 0 || count > IndexWriter::kMostNodes
        || count > in.left() / kNodeBytes)
        return nullptr;
    std::vector<IndexNode> nodes(count);
    std::uint64_t nameBytes = 0;
    for (IndexNode& node : nodes) {
        if (!readNode(in, node))
            return nullptr;
        nameBytes += node.nameLength;
    }
    std::uint64_t namesLength = 0;
    std::string_view names;
    if (!in.get(namesLength) || namesLength != nameBytes || !in.view(names, namesLength)
        || !in.atEnd() || !nodesNest(nodes, slots))
        return nullptr;
    std::size_t at = 0;
    for (std::uint32_t id = 0; id < count; ++id) {
        const std::string_view name = names.substr(at, nodes[id].nameLength);
        at += name.size();
        if (id == 0 ? !name.empty() : !goodName(name))
            return nullptr;
        index->append(nodes[id], name);
    }
    header.nodes = count;
    why.clear();
    return index;
}

} // namespace vantorel::dirwalk::index
