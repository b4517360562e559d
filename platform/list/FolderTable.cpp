// SPDX-License-Identifier: MIT
#include "platform/list/FolderTable.h"

#include "platform/Failure.h"
#include "platform/walk/DirectoryCursor.h"

#include <algorithm>
#include <cstring>

namespace vantorel
{

FolderTable::Id FolderTable::Relocation::operator()(Id old) const
{
    const auto found = std::lower_bound(m_moves.begin(), m_moves.end(), old,
        [](const std::pair<Id, Id>& move, Id id) { return move.first < id; });
    return found != m_moves.end() && found->first == old ? found->second : kNone;
}

char* FolderTable::at(Id id) const
{
    return m_chunks[id >> kOffsetBits].bytes.get() + (id & (kChunkBytes - 1));
}

FolderTable::Header FolderTable::header(Id id) const
{
    Header result;
    const char* bytes = at(id);
    std::memcpy(&result.parent, bytes, sizeof result.parent);
    std::memcpy(&result.length, bytes + sizeof result.parent, sizeof result.length);
    return result;
}

void FolderTable::setHeader(Id id, Header header)
{
    char* bytes = at(id);
    std::memcpy(bytes, &header.parent, sizeof header.parent);
    std::memcpy(bytes + sizeof header.parent, &header.length, sizeof header.length);
}

std::string_view FolderTable::piece(Id id) const
{
    return std::string_view(at(id) + kHeaderBytes, header(id).length & ~kKeptBit);
}

FolderTable::Id FolderTable::reserve(
    std::uint32_t bytes, std::uint32_t& chunk, std::uint32_t& offset)
{
    while (chunk < m_chunks.size() && kChunkBytes - offset < bytes) {
        ++chunk;
        offset = 0;
    }
    if (chunk == m_chunks.size()) {
        // Ids are 32 bits: a chunk's number and an offset in it.
        if (m_chunks.size() == kMostChunks)
            throw Failure(Failure::tr("Out of memory"));
        m_chunks.push_back(Chunk { std::make_unique_for_overwrite<char[]>(kChunkBytes), 0 });
        offset = 0;
    }
    const Id id = (chunk << kOffsetBits) | offset;
    offset += bytes;
    return id;
}

FolderTable::Id FolderTable::store(Id parent, std::string_view piece)
{
    std::uint32_t chunk = m_chunks.empty() ? 0 : std::uint32_t(m_chunks.size() - 1);
    std::uint32_t offset = m_chunks.empty() ? 0 : m_chunks.back().used;
    const Id id = reserve(std::uint32_t(kHeaderBytes + piece.size()), chunk, offset);
    m_chunks[chunk].used = offset;
    setHeader(id, Header { parent, std::uint16_t(piece.size()) });
    if (!piece.empty())
        std::memcpy(at(id) + kHeaderBytes, piece.data(), piece.size());
    return id;
}

void FolderTable::cutIntoPieces(std::string_view path, std::size_t nameStart)
{
    m_ends.clear();
    std::size_t start = 0;
    auto close = [&](std::size_t end) {
        while (end - start > kLongestPiece) {
            start += kLongestPiece;
            m_ends.push_back(start);
        }
        if (end > start) {
            m_ends.push_back(end);
            start = end;
        }
    };
    // The separator before the name goes with the name, so that a folder's
    // entry serves unchanged as the parent of the folders found below it.
    std::size_t own = nameStart;
    if (own > 0 && path[own - 1] == dirwalk::kPathSeparator)
        --own;
    for (std::size_t i = 1; i < own; ++i) {
        if (path[i] == dirwalk::kPathSeparator)
            close(i);
    }
    close(own);
    m_ends.push_back(path.size());
}

FolderTable::Id FolderTable::add(std::string_view path, std::size_t nameLength)
{
    if (nameLength > kLongestName || nameLength > path.size())
        return kNone;
    cutIntoPieces(path, path.size() - nameLength);

    std::size_t shared = 0;
    const std::size_t most = std::min(m_ends.size(), m_chain.size());
    while (shared < most && m_ends[shared] == m_chain[shared].end)
        ++shared;
    if (shared > 0) {
        const std::size_t compared = m_ends[shared - 1];
        if (std::memcmp(path.data(), m_chainPath.data(), compared) != 0) {
            const std::size_t differs = std::size_t(
                std::mismatch(path.begin(), path.begin() + compared, m_chainPath.begin()).first
                - path.begin());
            shared = std::size_t(
                std::upper_bound(m_ends.begin(), m_ends.begin() + std::ptrdiff_t(shared), differs)
                - m_ends.begin());
        }
    }

    // The path first: every link kept must stay a prefix of it, even when
    // storing a later piece fails.
    const std::size_t sharedEnd = shared > 0 ? m_ends[shared - 1] : 0;
    m_chain.resize(shared);
    m_chainPath.resize(sharedEnd);
    m_chainPath.append(path.substr(sharedEnd));
    Id parent = shared > 0 ? m_chain.back().id : kNone;
    for (std::size_t i = shared; i < m_ends.size(); ++i) {
        const std::size_t start = i > 0 ? m_ends[i - 1] : 0;
        parent = store(parent, path.substr(start, m_ends[i] - start));
        m_chain.push_back(Link { parent, m_ends[i] });
    }
    return parent;
}

void FolderTable::appendPath(Id folder, std::string& out) const
{
    m_lineage.clear();
    std::size_t length = 0;
    for (Id id = folder; id != kNone; id = header(id).parent) {
        m_lineage.push_back(id);
        length += piece(id).size();
    }
    out.reserve(out.size() + length);
    for (auto it = m_lineage.rbegin(); it != m_lineage.rend(); ++it)
        out.append(piece(*it));
}

std::string_view FolderTable::name(Id folder) const
{
    std::string_view own = piece(folder);
    if (!own.empty() && own.front() == dirwalk::kPathSeparator)
        own.remove_prefix(1);
    return own;
}

void FolderTable::keep(Id folder)
{
    for (Id id = folder; id != kNone;) {
        Header entry = header(id);
        if (entry.length & kKeptBit)
            return;
        entry.length |= kKeptBit;
        setHeader(id, entry);
        id = entry.parent;
    }
}

FolderTable::Relocation FolderTable::compact()
{
    Relocation relocation;
    m_chain.clear();
    std::string().swap(m_chainPath);
    // Packing the kept entries from the start, in order, puts each at or
    // before its old place, and a parent always lies before its children:
    // one pass moves them all and finds every parent already moved.
    std::uint32_t toChunk = 0;
    std::uint32_t toOffset = 0;
    for (std::uint32_t chunk = 0; chunk < m_chunks.size(); ++chunk) {
        const std::uint32_t used = m_chunks[chunk].used;
        for (std::uint32_t offset = 0; offset < used;) {
            const Id id = (chunk << kOffsetBits) | offset;
            Header entry = header(id);
            const auto bytes = std::uint32_t(kHeaderBytes + (entry.length & ~kKeptBit));
            offset += bytes;
            if (!(entry.length & kKeptBit))
                continue;
            const Id moved = reserve(bytes, toChunk, toOffset);
            if (entry.parent != kNone)
                entry.parent = relocation(entry.parent);
            entry.length &= ~kKeptBit;
            std::memmove(at(moved), at(id), bytes);
            setHeader(moved, entry);
            relocation.m_moves.push_back({ id, moved });
        }
    }
    if (relocation.m_moves.empty()) {
        clear();
        return relocation;
    }
    m_chunks.resize(std::size_t(toChunk) + 1);
    m_chunks.back().used = toOffset;
    return relocation;
}

void FolderTable::clear()
{
    std::vector<Chunk>().swap(m_chunks);
    std::vector<Link>().swap(m_chain);
    std::string().swap(m_chainPath);
}

std::size_t FolderTable::heldBytes() const
{
    return m_chunks.size() * std::size_t(kChunkBytes);
}

std::size_t FolderTable::usedBytes() const
{
    std::size_t total = 0;
    for (const Chunk& chunk : m_chunks)
        total += chunk.used;
    return total;
}

} // namespace vantorel
