// SPDX-License-Identifier: MIT
#include "platform/qt/RowTextStore.h"

#include <algorithm>
#include <cstring>

namespace vantorel
{

namespace
{

    bool needsTwoBytes(QStringView text)
    {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xff; });
    }

    std::uint32_t clampedLength(qsizetype length, std::uint32_t most)
    {
        return std::uint32_t(std::min<qsizetype>(length, most));
    }

} // namespace

RowTextStore::Span RowTextStore::span(const Row& row) const
{
    const char* base = m_chunks[row.chunk].bytes.get() + row.offset;
    if (!(row.bits & kPathBit))
        return Span { base, 0, false };
    std::uint32_t header;
    std::memcpy(&header, base, kHeaderBytes);
    return Span { base + kHeaderBytes, header & ~kSeparateBit, (header & kSeparateBit) != 0 };
}

std::uint32_t RowTextStore::byteLength(const Row& row) const
{
    const std::uint32_t characterBytes = (row.bits & kWideBit) ? 2 : 1;
    const std::uint32_t length = row.bits & kLengthMask;
    if (!(row.bits & kPathBit))
        return length * characterBytes;
    return kHeaderBytes + (span(row).prefix + length) * characterBytes;
}

QString RowTextStore::decode(const char* bytes, qsizetype length, bool wide)
{
    if (length == 0)
        return QString();
    if (!wide)
        return QString::fromLatin1(bytes, length);
    QString result(length, Qt::Uninitialized);
    std::memcpy(result.data(), bytes, std::size_t(length) * 2);
    return result;
}

QString RowTextStore::text(int row) const
{
    const Row& entry = m_rows[std::size_t(row)];
    const qsizetype length = entry.bits & kLengthMask;
    if (length == 0)
        return QString();
    const bool wide = entry.bits & kWideBit;
    const Span where = span(entry);
    return decode(where.characters + std::size_t(where.prefix) * (wide ? 2 : 1), length, wide);
}

QString RowTextStore::fullPath(int row) const
{
    const Row& entry = m_rows[std::size_t(row)];
    if (!(entry.bits & kPathBit))
        return text(row);
    const Span where = span(entry);
    const qsizetype length = where.prefix + (where.separate ? 0 : entry.bits & kLengthMask);
    return decode(where.characters, length, entry.bits & kWideBit);
}

void RowTextStore::setChecked(int row, bool checked)
{
    Row& entry = m_rows[std::size_t(row)];
    entry.bits = checked ? (entry.bits | kCheckedBit) : (entry.bits & ~kCheckedBit);
}

void RowTextStore::setAllChecked(bool checked)
{
    for (Row& entry : m_rows)
        entry.bits = checked ? (entry.bits | kCheckedBit) : (entry.bits & ~kCheckedBit);
}

RowTextStore::Row RowTextStore::reserve(
    std::uint32_t bytes, std::uint32_t& chunk, std::uint32_t& offset)
{
    // Step on to the first chunk, from the cursor on, with room for the bytes.
    while (chunk < m_chunks.size() && m_chunks[chunk].capacity - offset < bytes) {
        ++chunk;
        offset = 0;
    }
    if (chunk == m_chunks.size()) {
        Chunk fresh;
        fresh.capacity = std::max(kChunkBytes, bytes);
        fresh.bytes = std::make_unique_for_overwrite<char[]>(fresh.capacity);
        m_chunks.push_back(std::move(fresh));
        offset = 0;
    }
    const Row row { chunk, offset, 0 };
    offset += bytes;
    return row;
}

void RowTextStore::store(QStringView first, QStringView second, bool withHeader,
    std::uint32_t header, std::uint32_t textLength)
{
    const bool wide = needsTwoBytes(first) || needsTwoBytes(second);
    const std::uint32_t characterBytes = wide ? 2 : 1;
    const std::uint32_t bytes = (withHeader ? kHeaderBytes : 0)
        + std::uint32_t(first.size() + second.size()) * characterBytes;

    std::uint32_t chunk = m_chunks.empty() ? 0 : std::uint32_t(m_chunks.size() - 1);
    std::uint32_t offset = m_chunks.empty() ? 0 : m_chunks.back().used;
    Row row = reserve(bytes, chunk, offset);
    m_chunks[chunk].used = offset;
    row.bits = textLength | (wide ? kWideBit : 0) | (withHeader ? kPathBit : 0);

    char* target = m_chunks[row.chunk].bytes.get() + row.offset;
    if (withHeader) {
        std::memcpy(target, &header, kHeaderBytes);
        target += kHeaderBytes;
    }
    for (QStringView part : { first, second }) {
        if (wide) {
            // An empty view may have no data at all: memcpy must not see its null.
            if (!part.isEmpty())
                std::memcpy(target, part.data(), std::size_t(part.size()) * 2);
        } else {
            for (qsizetype i = 0; i < part.size(); ++i)
                target[i] = char(part[i].unicode());
        }
        target += std::size_t(part.size()) * characterBytes;
    }
    m_rows.push_back(row);
}

void RowTextStore::append(const QString& text)
{
    const std::uint32_t length = clampedLength(text.size(), kLengthMask);
    store(QStringView(text).first(length), QStringView(), false, 0, length);
}

void RowTextStore::append(const QString& text, const QString& fullPath)
{
    if (fullPath.isEmpty() || fullPath == text) {
        append(text);
        return;
    }
    const std::uint32_t length = clampedLength(text.size(), kLengthMask);
    const QStringView shown = QStringView(text).first(length);
    const QStringView path = QStringView(fullPath).first(clampedLength(fullPath.size(), kLengthMask));
    if (path.endsWith(shown)) {
        // A name shown alone is the last part of its path: keep it once.
        const auto prefix = std::uint32_t(path.size()) - length;
        store(path.first(prefix), shown, true, prefix, length);
        return;
    }
    store(path, shown, true, std::uint32_t(path.size()) | kSeparateBit, length);
}

void RowTextStore::removeRows(const std::vector<int>& ascendingPositions)
{
    if (ascendingPositions.empty())
        return;
    // Packing the kept rows from the start, in order, puts each at or before
    // its old place, so the arena compacts in place without a second copy.
    std::uint32_t chunk = 0;
    std::uint32_t offset = 0;
    std::size_t kept = 0;
    auto next = ascendingPositions.begin();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (next != ascendingPositions.end() && std::size_t(*next) == i) {
            ++next;
            continue;
        }
        const Row old = m_rows[i];
        const std::uint32_t bytes = byteLength(old);
        Row moved = reserve(bytes, chunk, offset);
        moved.bits = old.bits;
        if (bytes > 0 && (moved.chunk != old.chunk || moved.offset != old.offset))
            std::memmove(m_chunks[moved.chunk].bytes.get() + moved.offset,
                m_chunks[old.chunk].bytes.get() + old.offset, bytes);
        m_rows[kept++] = moved;
    }
    m_rows.resize(kept);
    if (kept == 0) {
        clear();
        return;
    }
    m_chunks.resize(std::size_t(chunk) + 1);
    m_chunks.back().used = offset;
}

void RowTextStore::clear()
{
    std::vector<Row>().swap(m_rows);
    std::vector<Chunk>().swap(m_chunks);
}

std::size_t RowTextStore::arenaBytes() const
{
    std::size_t total = 0;
    for (const Chunk& chunk : m_chunks)
        total += chunk.capacity;
    return total;
}

std::size_t RowTextStore::usedBytes() const
{
    std::size_t total = 0;
    for (const Row& row : m_rows)
        total += byteLength(row);
    return total;
}

} // namespace vantorel
