// SPDX-License-Identifier: MIT
#pragma once

#include "platform/list/FolderTable.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel
{

/// The rows of a list held compactly, with a 12-byte record per row that also
/// carries its check mark. A row is one of two kinds:
/// - a text, packed into large chunks, one byte per character when every
///   character fits in Latin-1 and two bytes otherwise; chunks never move, so
///   growing the list never copies the texts already held;
/// - a folder found on disk, held in a FolderTable by the file system's own
///   bytes, and shown by its full path or its name alone. Its text is decoded
///   from those bytes when asked for, and the bytes stay for opening the
///   folder and saving the row.
class RowTextStore
{
public:
    RowTextStore() = default;
    RowTextStore(const RowTextStore&) = delete;
    RowTextStore& operator=(const RowTextStore&) = delete;

    int size() const { return int(m_rows.size()); }
    QString text(int row) const;
    bool isChecked(int row) const { return m_rows[std::size_t(row)].bits & kCheckedBit; }
    void setChecked(int row, bool checked);

    void append(const QString& text);
    /// Appends the folder at `nativePath`, whose last `nameLength` bytes are
    /// its name, shown by its full path or by its name.
    void appendFolder(std::string_view nativePath, std::size_t nameLength, bool showFullPath);
    /// The full path of a folder row, decoded; a text row's text.
    QString fullPath(int row) const;
    /// The full path of a folder row as the file system names it; a text
    /// row's text in the file name encoding.
    QByteArray nativePath(int row) const;
    /// The bytes of what a folder row shows when its text cannot carry them:
    /// they are not valid in the file name encoding. Null for every other row.
    QByteArray rawText(int row) const;
    void setAllChecked(bool checked);
    /// Removes the rows at strictly ascending valid positions, moving every
    /// kept text down in place. The folders' entries are dropped once as many
    /// folder rows have gone as are left, so that a string of small removals
    /// does not go over every folder each time, and the table never holds
    /// more than twice what the rows need.
    void removeRows(const std::vector<int>& ascendingPositions);
    void clear();

    /// Bytes held for the texts and folders, counting the unused ends of chunks.
    std::size_t arenaBytes() const;
    /// Bytes the texts and folders take in the chunks.
    std::size_t usedBytes() const;

private:
    static constexpr std::uint32_t kWideBit = 1u << 31;
    static constexpr std::uint32_t kCheckedBit = 1u << 30;
    /// The row is a folder: `chunk` is its id in the folder table.
    static constexpr std::uint32_t kFolderBit = 1u << 29;
    /// A folder row shows its full path, not its name.
    static constexpr std::uint32_t kFullPathBit = 1u << 28;
    static constexpr std::uint32_t kLengthMask = kFullPathBit - 1;
    static constexpr std::uint32_t kChunkBytes = 1u << 20;

    struct Row {
        std::uint32_t chunk;
        std::uint32_t offset;
        std::uint32_t bits; ///< a text's length in characters; the flags above
    };
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::uint32_t capacity = 0;
        std::uint32_t used = 0;
    };

    static bool isFolder(const Row& row) { return row.bits & kFolderBit; }
    std::uint32_t byteLength(const Row& row) const;
    /// The bytes a folder row shows, in a buffer reused by the next call.
    std::string_view shownBytes(const Row& row) const;
    /// Where `bytes` bytes go next, from the cursor on; the place has no bits set.
    Row reserve(std::uint32_t bytes, std::uint32_t& chunk, std::uint32_t& offset);
    /// Moves the rows kept by a removal to the front, their texts with them,
    /// and trims the chunks to what they use. The folder rows kept.
    std::size_t packKeptRows(const std::vector<int>& ascendingPositions);
    /// Drops the entries of the folders no row holds any more.
    void compactFolders();

    std::vector<Chunk> m_chunks;
    std::vector<Row> m_rows;
    FolderTable m_folders;
    /// Folder rows removed since the folder table last dropped their entries.
    std::size_t m_foldersDropped = 0;
    mutable std::string m_scratch;
};

} // namespace vantorel
