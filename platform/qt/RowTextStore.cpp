// SPDX-License-Identifier: MIT
#include "platform/qt/RowTextStore.h"

#include <algorithm>
#include <cstring>

namespace vantorel
{

std::uint32_t RowTextStore::byteLength(const Row& row)
{
    const std::uint32_t length = row.bits & kLengthMask;
    return (row.bits & kWideBit) ? length * 2 : length;
}

QString RowTextStore::text(int row) const
{
    const Row& entry = m_rows[std::size_t(row)];
    const qsizetype length = entry.bits & kLengthMask;
    if (length == 0)
        return QString();
    const char* bytes = m_chunks[entry.chunk].bytes.get() + entry.offset;
    if (!(entry.bits & kWideBit))
        return QString::fromLatin1(bytes, length);
    QString result(length, Qt::Uninitialized);
    std::memcpy(result.data(), bytes, std::size_t(length) * 2);
    return result;
}

void RowTextStore::setChecked(int row, bool checked)
{
    Row& entry = m_rows[std::size_t(row)];
    entry.bits = checked ? (entry.bits | kCheckedBit) : (entry.bits & ~kCheckedBit);
}

RowTextStore::Row RowTextStore::reserve(
    std::uint32_t bytes, bool wide, std::uint32_t& chunk, std::uint32_t& offset)
{
    // Step on to the first chunk, from the cursor on, with room for the text.
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
    Row row { chunk, offset, bytes / (wide ? 2 : 1) };
    if (wide)
        row.bits |= kWideBit;
    offset += bytes;
    return row;
}

void RowTextStore::append(const QString& text)
{
    const qsizetype length = std::min<qsizetype>(text.size(), kLengthMask);
    const QChar* characters = text.constData();
    const bool wide
        = std::any_of(characters, characters + length, [](QChar c) { return c.unicode() > 0xff; });
    const std::uint32_t bytes = std::uint32_t(length) * (wide ? 2 : 1);

    std::uint32_t chunk = m_chunks.empty() ? 0 : std::uint32_t(m_chunks.size() - 1);
    std::uint32_t offset = m_chunks.empty() ? 0 : m_chunks.back().used;
    const Row row = reserve(bytes, wide, chunk, offset);
    m_chunks[chunk].used = offset;

    char* target = m_chunks[row.chunk].bytes.get() + row.offset;
    if (wide) {
        std::memcpy(target, characters, bytes);
    } else {
        for (qsizetype i = 0; i < length; ++i)
            target[i] = char(characters[i].unicode());
    }
    m_rows.push_back(row);
}

void RowTextStore::removeRows(const std::vector<int>& ascendingPositions)
{
    if (ascendingPositions.empty())
        return;
    // Packing the kept texts from the start, in order, puts each at or before
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
        Row moved = reserve(bytes, old.bits & kWideBit, chunk, offset);
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

} // namespace vantorel
