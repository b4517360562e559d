// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantorel
{

/// The folders of a list's rows as the file system names them. Each folder is
/// held as the piece of path it adds to its parent (a separator and its name)
/// and a reference to that parent, so that rows deep in one tree share their
/// parents' paths instead of each holding the whole: a row's memory does not
/// grow with its depth. Entries are packed in large chunks that never move
/// while they grow; an id stays valid until compact() or clear().
class FolderTable
{
public:
    using Id = std::uint32_t;
    static constexpr Id kNone = 0xffffffffu;
    /// The longest name add() takes, in bytes; file systems allow 255 letters.
    static constexpr std::size_t kLongestName = 0x7ffe;

    /// Old ids to new ones after a compaction.
    class Relocation
    {
    public:
        Id operator()(Id old) const;

    private:
        friend class FolderTable;
        std::vector<std::pair<Id, Id>> m_moves; ///< ascending by old id
    };

    FolderTable() = default;
    FolderTable(const FolderTable&) = delete;
    FolderTable& operator=(const FolderTable&) = delete;

    /// The folder at `path`, whose last `nameLength` bytes are its name, held
    /// with its ancestors. The ancestors that `path` has in common with the
    /// folder added before are shared, which is every one of them when a walk
    /// adds the folders it finds in its own order. kNone when the name is
    /// longer than kLongestName.
    Id add(std::string_view path, std::size_t nameLength);
    /// Appends the folder's full path to `out`.
    void appendPath(Id folder, std::string& out) const;
    /// The folder's name.
    std::string_view name(Id folder) const;

    /// Keeps the folder and its ancestors through the next compact().
    void keep(Id folder);
    /// Drops every folder not kept since the last compaction, moving the kept
    /// ones down in place; what was kept is no longer marked afterwards.
    Relocation compact();
    void clear();

    /// Bytes held in chunks, counting their unused ends.
    std::size_t heldBytes() const;
    /// Bytes the entries take.
    std::size_t usedBytes() const;

private:
    /// An entry: the parent's id, the piece's length with kKeptBit, the piece.
    static constexpr std::size_t kHeaderBytes = 6;
    static constexpr std::uint16_t kKeptBit = 0x8000;
    static constexpr std::size_t kLongestPiece = kKeptBit - 1;
    static constexpr unsigned kOffsetBits = 20;
    static constexpr std::uint32_t kChunkBytes = 1u << kOffsetBits;
    static constexpr std::size_t kMostChunks = std::size_t(1) << (32 - kOffsetBits);

    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::uint32_t used = 0;
    };
    struct Header {
        Id parent;
        std::uint16_t length; ///< with kKeptBit
    };
    /// A piece of the last path added: its entry and where it ends in the path.
    struct Link {
        Id id;
        std::size_t end;
    };

    char* at(Id id) const;
    Header header(Id id) const;
    void setHeader(Id id, Header header);
    std::string_view piece(Id id) const;
    /// Room for an entry of `bytes` bytes after the cursor, stepping on to a
    /// later chunk when this one has too little; a new chunk when none has.
    Id reserve(std::uint32_t bytes, std::uint32_t& chunk, std::uint32_t& offset);
    Id store(Id parent, std::string_view piece);
    /// Where each piece of `path` ends: at every separator but a leading one,
    /// before the name's separator, and where a piece grows too long.
    void cutIntoPieces(std::string_view path, std::size_t nameStart);

    std::vector<Chunk> m_chunks;
    /// The pieces of the last path added, for sharing with the next one.
    std::vector<Link> m_chain;
    std::string m_chainPath;
    std::vector<std::size_t> m_ends; ///< scratch of cutIntoPieces()
    mutable std::vector<Id> m_lineage; ///< scratch of appendPath()
};

} // namespace vantorel
