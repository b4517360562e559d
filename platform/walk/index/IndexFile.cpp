// SPDX-License-Identifier: MIT
#include "platform/walk/index/IndexFile.h"

#include "platform/walk/index/IndexFileChecks.h"
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
    constexpr std::size_t kChecksumAt = 24;
    constexpr std::size_t kCheckedFrom = 32;
    constexpr std::uint32_t kMostText = 1u << 16;
    constexpr std::uint32_t kMostSamplePath = 4u << 20;

    /// Writes through to the sink, summing what follows the checksum.
    class Writer
    {
    public:
        explicit Writer(IndexFileSink& sink)
            : m_sink(sink)
        {
        }
        template <typename T> void put(T value)
        {
            raw(&value, sizeof(T)); // the machine's own order: little-endian here
        }
        void text(std::string_view text)
        {
            put(std::uint32_t(text.size()));
            raw(text.data(), text.size());
        }
        void raw(const void* data, std::size_t size)
        {
            const auto* bytes = static_cast<const char*>(data);
            if (m_at + size > kCheckedFrom) {
                const std::size_t skipped = m_at >= kCheckedFrom ? 0 : kCheckedFrom - m_at;
                m_sum.add(bytes + skipped, size - skipped);
            }
            m_at += size;
            m_good = m_good && m_sink.write(bytes, size);
        }
        bool seal()
        {
            const std::uint64_t sum = m_sum.value();
            return m_good && m_sink.patch(kChecksumAt, reinterpret_cast<const char*>(&sum), 8);
        }

    private:
        IndexFileSink& m_sink;
        Checksum m_sum;
        std::size_t m_at = 0;
        bool m_good = true;
    };

    /// Reads from the source, summing what follows the checksum.
    class Reader
    {
    public:
        explicit Reader(IndexFileSource& source)
            : m_source(source)
        {
        }
        template <typename T> bool get(T& value) { return raw(&value, sizeof(T)); }
        bool text(std::string& text, std::uint32_t most)
        {
            std::uint32_t length = 0;
            if (!get(length) || length > most || length > left())
                return false;
            text.resize(length);
            return raw(text.data(), length);
        }
        bool raw(void* data, std::size_t size)
        {
            auto* bytes = static_cast<char*>(data);
            if (size > left() || !m_source.read(bytes, size))
                return false;
            if (m_at + size > kCheckedFrom) {
                const std::size_t skipped = m_at >= kCheckedFrom ? 0 : kCheckedFrom - m_at;
                m_sum.add(bytes + skipped, size - skipped);
            }
            m_at += size;
            return true;
        }
        std::uint64_t left() const { return m_source.size() - m_at; }
        std::uint64_t sum() const { return m_sum.value(); }

    private:
        IndexFileSource& m_source;
        Checksum m_sum;
        std::uint64_t m_at = 0;
    };

    class StringSink final : public IndexFileSink
    {
    public:
        bool write(const char* data, std::size_t size) override
        {
            bytes.append(data, size);
            return true;
        }
        bool patch(std::size_t offset, const char* data, std::size_t size) override
        {
            if (offset + size > bytes.size())
                return false;
            std::memcpy(bytes.data() + offset, data, size);
            return true;
        }
        std::string bytes;
    };

    class StringSource final : public IndexFileSource
    {
    public:
        explicit StringSource(std::string_view bytes)
            : m_bytes(bytes)
        {
        }
        bool read(char* data, std::size_t size) override
        {
            if (m_bytes.size() - m_at < size)
                return false;
            std::memcpy(data, m_bytes.data() + m_at, size);
            m_at += size;
            return true;
        }
        std::uint64_t size() const override { return m_bytes.size(); }

    private:
        std::string_view m_bytes;
        std::size_t m_at = 0;
    };

    /// The header up to the slots; the checksum and length read into the
    /// header's own, checked by the caller.
    bool readHeader(Reader& in, IndexFileSource& source, IndexFileHeader& header,
        std::uint64_t& sum, bool wholeFile)
    {
        char magic[8];
        std::uint32_t version = 0, reserved = 0;
        std::uint64_t total = 0;
        return in.raw(magic, sizeof magic) && std::memcmp(magic, kMagic, sizeof magic) == 0
            && in.get(version) && version == kVersion && in.get(reserved) && in.get(total)
            && (total == source.size() || !wholeFile) && total <= kMostFileBytes && in.get(sum)
            && in.get(header.savedAt) && in.get(header.wallClockSinceBoot)
            && in.get(header.lastUsed) && in.raw(header.bootId.data(), header.bootId.size())
            && in.text(header.key, kMostText) && in.text(header.location, kMostText);
    }

    bool readSlot(Reader& in, DeviceSlot& slot)
    {
        std::uint8_t hasMountId = 0;
        if (!in.get(slot.fileSystem) || !in.get(hasMountId) || hasMountId > 1
            || !in.get(slot.identityLength) || slot.identityLength > slot.identity.size()
            || !in.raw(slot.identity.data(), slot.identity.size())
            || !in.text(slot.samplePath, kMostSamplePath))
            return false;
        slot.hasMountId = hasMountId != 0;
        // Device numbers and mount ids hold for one boot: found again before use.
        slot.device = ~std::uint64_t { 0 };
        slot.mountId = ~std::uint64_t { 0 };
        return true;
    }

    void writeNode(Writer& out, const IndexNode& node, std::string_view name)
    {
        out.put(node.inode);
        out.put(node.modified);
        out.put(node.changed);
        out.put(node.born);
        out.put(node.subtree);
        out.put(node.children);
        out.put(node.device);
        out.put(node.flags);
        out.put(std::uint8_t(name.size()));
        out.raw(name.data(), name.size());
    }

    bool readNode(Reader& in, IndexNode& node, char (&name)[256])
    {
        return in.get(node.inode) && in.get(node.modified) && in.get(node.changed)
            && in.get(node.born) && in.get(node.subtree) && in.get(node.children)
            && in.get(node.device) && in.get(node.flags) && in.get(node.nameLength)
            && in.raw(name, node.nameLength);
    }

} // namespace

bool writeIndexFile(const FolderIndex& index, const IndexFileHeader& header,
    const std::vector<DeviceSlot>& devices, const std::vector<bool>& kept, IndexFileSink& sink)
{
    const WrittenNodes written(index, kept);
    if (written.count() == 0)
        return false;
    // The length first, from what will be written.
    std::uint64_t total = sizeof kMagic + 4 + 4 + 8 + 8 + 8 + 8 + 8 + header.bootId.size() + 4
        + header.key.size() + 4 + header.location.size() + 4 + 4 + written.nodeBytes();
    for (std::size_t i = 0; i < devices.size(); ++i)
        total
            += 4 + 1 + 1 + 16 + 4 + (i < kept.size() && kept[i] ? devices[i].samplePath.size() : 0);

    Writer out(sink);
    out.raw(kMagic, sizeof kMagic);
    out.put(kVersion);
    out.put(std::uint32_t(0));
    out.put(total);
    out.put(std::uint64_t(0)); // the checksum, once the rest is written
    out.put(header.savedAt);
    out.put(header.wallClockSinceBoot);
    out.put(header.lastUsed);
    out.raw(header.bootId.data(), header.bootId.size());
    out.text(header.key);
    out.text(header.location);
    out.put(std::uint32_t(devices.size()));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const DeviceSlot& slot = devices[i];
        const bool keep = i < kept.size() && kept[i];
        out.put(slot.fileSystem);
        out.put(std::uint8_t(slot.hasMountId));
        out.put(keep ? slot.identityLength : std::uint8_t(0));
        out.raw(slot.identity.data(), slot.identity.size());
        out.text(keep ? std::string_view(slot.samplePath) : std::string_view());
    }
    out.put(written.count());
    written.each([&](const IndexNode& node, std::string_view name) { writeNode(out, node, name); });
    return out.seal();
}

bool readIndexFileHeader(IndexFileSource& source, IndexFileHeader& header)
{
    Reader in(source);
    std::uint64_t sum = 0;
    std::uint32_t slots = 0;
    if (!readHeader(in, source, header, sum, false) || !in.get(slots) || slots > kNoDevice)
        return false;
    for (std::uint32_t i = 0; i < slots; ++i) {
        DeviceSlot slot;
        if (!readSlot(in, slot))
            return false;
    }
    return in.get(header.nodes);
}

std::unique_ptr<FolderIndex> readIndexFile(
    IndexFileSource& source, IndexFileHeader& header, std::string& why)
{
    why = "damaged";
    Reader in(source);
    std::uint64_t sum = 0;
    std::uint32_t slots = 0;
    if (source.size() > kMostFileBytes || !readHeader(in, source, header, sum, true)
        || !in.get(slots) || slots > kNoDevice)
        return nullptr;
    auto index = std::make_unique<FolderIndex>(header.location);
    for (std::uint32_t i = 0; i < slots; ++i) {
        DeviceSlot slot;
        if (!readSlot(in, slot))
            return nullptr;
        index->devices().push_back(std::move(slot));
    }
    std::uint32_t count = 0;
    // What the file can hold, before anything is made for it.
    if (!in.get(count) || count == 0 || count > IndexWriter::kMostNodes
        || count > in.left() / kNodeBytes)
        return nullptr;
    NestingCheck nesting(count, slots);
    char name[256];
    for (std::uint32_t id = 0; id < count; ++id) {
        IndexNode node;
        if (!readNode(in, node, name)
            || !nesting.accept(node, std::string_view(name, node.nameLength)))
            return nullptr;
        index->append(node, std::string_view(name, node.nameLength));
    }
    if (in.left() != 0 || !nesting.complete() || in.sum() != sum)
        return nullptr;
    header.nodes = count;
    why.clear();
    return index;
}

std::string encodeIndex(const FolderIndex& index, const IndexFileHeader& header,
    const std::vector<DeviceSlot>& devices, const std::vector<bool>& kept)
{
    StringSink sink;
    if (!writeIndexFile(index, header, devices, kept, sink))
        return {};
    return std::move(sink.bytes);
}

std::unique_ptr<FolderIndex> decodeIndex(
    std::string_view bytes, IndexFileHeader& header, std::string& why)
{
    StringSource source(bytes);
    return readIndexFile(source, header, why);
}

void sealIndexFile(std::string& bytes)
{
    if (bytes.size() < kCheckedFrom)
        return;
    const std::uint64_t total = bytes.size();
    std::memcpy(bytes.data() + 16, &total, sizeof total);
    Checksum sum;
    sum.add(bytes.data() + kCheckedFrom, bytes.size() - kCheckedFrom);
    const std::uint64_t value = sum.value();
    std::memcpy(bytes.data() + kChecksumAt, &value, sizeof value);
}

} // namespace vantorel::dirwalk::index
