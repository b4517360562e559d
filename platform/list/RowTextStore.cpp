// SPDX-License-Identifier: MIT
#include "platform/list/RowTextStore.h"

#include <QFile>
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

    QString decodeNative(std::string_view bytes)
    {
        return QFile::decodeName(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())));
    }

} // namespace

std::uint32_t RowTextStore::byteLength(const Row& row) const
{
    if (isFolder(row))
        return 0;
    return (row.bits & kLengthMask) * ((row.bits & kWideBit) ? 2 : 1);
}

std::string_view RowTextStore::shownBytes(const Row& row) const
{
    if (!(row.bits & kFullPathBit))
        return m_folders.name(row.chunk);
    m_scratch.clear();
    m_folders.appendPath(row.chunk, m_scratch);
    return m_scratch;
}

QString RowTextStore::text(int row) const
{
    const Row& entry = m_rows[std::size_t(row)];
    if (isFolder(entry))
        return decodeNative(shownBytes(entry));
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

QString RowTextStore::fullPath(int row) const
{
    const Row& entry = m_rows[std::size_t(row)];
    if (!isFolder(entry))
        return text(row);
    m_scratch.clear();
    m_folders.appendPath(entry.chunk, m_scratch);
    return decodeNative(m_scratch);
}

QByteArray RowTextStore::nativePath(int row) const
{
    const Row& entry = m_rows[std::size_t(row)];
    if (!isFolder(entry))
        return QFile::encodeName(text(row));
    m_scratch.clear();
    m_folders.appendPath(entry.chunk, m_scratch);
    return QByteArray(m_scratch.data(), qsizetype(m_scratch.size()));
}

QByteArray RowTextStore::rawText(int row) const
{
    const Row& entry = m_rows[std::size_t(row)];
    if (!isFolder(entry))
        return QByteArray();
    const std::string_view shown = shownBytes(entry);
    QByteArray bytes(shown.data(), qsizetype(shown.size()));
    if (QFile::encodeName(QFile::decodeName(bytes)) == bytes)
        return QByteArray();
    return bytes;
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

void RowTextStore::append(const QString& text)
{
    const auto length = std::uint32_t(std::min<qsizetype>(text.size(), kLengthMask));
    const QStringView shown = QStringView(text).first(length);
    const bool wide = needsTwoBytes(shown);
    const std::uint32_t bytes = length * (wide ? 2 : 1);

    std::uint32_t chunk = m_chunks.empty() ? 0 : std::uint32_t(m_chunks.size() - 1);
    std::uint32_t offset = m_chunks.empty() ? 0 : m_chunks.back().used;
    Row row = reserve(bytes, chunk, offset);
    m_chunks[chunk].used = offset;
    row.bits = length | (wide ? kWideBit : 0);

    char* target = m_chunks[row.chunk].bytes.get() + row.offset;
    if (wide) {
        // An empty view may have no data at all: memcpy must not see its null.
        if (length > 0)
            std::memcpy(target, shown.data(), bytes);
    } else {
        for (std::uint32_t i = 0; i < length; ++i)
            target[i] = char(shown[i].unicode());
    }
    m_rows.push_back(row);
}

void RowTextStore::appendFolder(
    std::string_view nativePath, std::size_t nameLength, bool showFullPath)
{
    const FolderTable::Id folder = m_folders.add(nativePath, nameLength);
    if (folder == FolderTable::kNone) {
        // A name longer than any file system allows: kept as text.
        const std::string_view shown
            = showFullPath ? nativePath : nativePath.substr(nativePath.size() - nameLength);
        append(decodeNative(shown));
        return;
    }
    m_rows.push_back(Row { folder, 0, kFolderBit | (showFullPath ? kFullPathBit : 0) });
}

std::size_t RowTextStore::packKeptRows(const std::vector<int>& ascendingPositions)
{
    // Packing the kept rows from the start, in order, puts each at or before
    // its old place, so the arena compacts in place without a second copy.
    std::uint32_t chunk = 0;
    std::uint32_t offset = 0;
    std::size_t kept = 0;
    std::size_t foldersKept = 0;
    bool keepsTexts = false;
    auto next = ascendingPositions.begin();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (next != ascendingPositions.end() && std::size_t(*next) == i) {
            ++next;
            m_foldersDropped += isFolder(m_rows[i]) ? 1 : 0;
            continue;
        }
        const Row old = m_rows[i];
        if (isFolder(old)) {
            ++foldersKept;
            m_rows[kept++] = old;
            continue;
        }
        keepsTexts = true;
        const std::uint32_t bytes = byteLength(old);
        Row moved = reserve(bytes, chunk, offset);
        moved.bits = old.bits;
        if (bytes > 0 && (moved.chunk != old.chunk || moved.offset != old.offset))
            std::memmove(m_chunks[moved.chunk].bytes.get() + moved.offset,
                m_chunks[old.chunk].bytes.get() + old.offset, bytes);
        m_rows[kept++] = moved;
    }
    m_rows.resize(kept);
    if (kept == 0)
        return 0;
    if (!keepsTexts) {
        std::vector<Chunk>().swap(m_chunks);
    } else {
        m_chunks.resize(std::size_t(chunk) + 1);
        m_chunks.back().used = offset;
    }
    return foldersKept;
}

void RowTextStore::compactFolders()
{
    m_foldersDropped = 0;
    for (const Row& row : m_rows) {
        if (isFolder(row))
            m_folders.keep(row.chunk);
    }
    const FolderTable::Relocation relocation = m_folders.compact();
    for (Row& row : m_rows) {
        if (isFolder(row))
            row.chunk = relocation(row.chunk);
    }
}

void RowTextStore::removeRows(const std::vector<int>& ascendingPositions)
{
    if (ascendingPositions.empty())
        return;
    const std::size_t foldersKept = packKeptRows(ascendingPositions);
    if (m_rows.empty()) {
        clear();
        return;
    }
    if (foldersKept == 0) {
        m_folders.clear();
        m_foldersDropped = 0;
        return;
    }
    if (m_foldersDropped >= foldersKept)
        compactFolders();
}

void RowTextStore::clear()
{
    std::vector<Row>().swap(m_rows);
    std::vector<Chunk>().swap(m_chunks);
    m_folders.clear();
    m_foldersDropped = 0;
    std::string().swap(m_scratch);
}

std::size_t RowTextStore::arenaBytes() const
{
    std::size_t total = m_folders.heldBytes();
    for (const Chunk& chunk : m_chunks)
        total += chunk.capacity;
    return total;
}

std::size_t RowTextStore::usedBytes() const
{
    std::size_t total = m_folders.usedBytes();
    for (const Row& row : m_rows)
        total += byteLength(row);
    return total;
}

} // namespace vantorel
