// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace vantorel
{

/// The rows of a list held compactly: texts packed into large chunks, one byte
/// per character when every character of a row fits in Latin-1 and two bytes
/// otherwise, and a 12-byte record per row that also carries its check mark.
/// Chunks never move, so growing the list never copies the texts already held.
///
/// A row may also keep a full path that differs from its text. Only such rows
/// pay for it: a 4-byte header in the chunk, and the path's characters, with
/// the text read from the path's end when the text is its last part (a folder
/// shown by name), so the name is not held twice.
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
    /// Appends a row whose full path may differ from its text; an empty path
    /// or one equal to the text costs nothing beyond append(text).
    void append(const QString& text, const QString& fullPath);
    /// The row's full path: its text unless another path was kept with it.
    QString fullPath(int row) const;
    void setAllChecked(bool checked);
    /// Removes the rows at strictly ascending valid positions, moving every
    /// kept text down in place in one pass.
    void removeRows(const std::vector<int>& ascendingPositions);
    void clear();

    /// Bytes held for the texts, counting the unused ends of chunks.
    std::size_t arenaBytes() const;
    /// Bytes the rows' characters and headers take in the chunks.
    std::size_t usedBytes() const;

private:
    static constexpr std::uint32_t kWideBit = 1u << 31;
    static constexpr std::uint32_t kCheckedBit = 1u << 30;
    /// The row's characters start with a header: see PathHeader.
    static constexpr std::uint32_t kPathBit = 1u << 29;
    static constexpr std::uint32_t kLengthMask = kPathBit - 1;
    /// In the header: the path stands alone before the text instead of ending in it.
    static constexpr std::uint32_t kSeparateBit = 1u << 31;
    static constexpr std::uint32_t kHeaderBytes = 4;
    static constexpr std::uint32_t kChunkBytes = 1u << 20;

    struct Row {
        std::uint32_t chunk;
        std::uint32_t offset;
        std::uint32_t bits; ///< length of the text in characters; wide, checked, path flags
    };
    /// Where the characters of a row are and how they divide.
    struct Span {
        const char* characters; ///< the first stored character, past any header
        std::uint32_t prefix; ///< characters before the text
        bool separate; ///< the path is the prefix alone, not prefix and text
    };
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::uint32_t capacity = 0;
        std::uint32_t used = 0;
    };

    std::uint32_t byteLength(const Row& row) const;
    Span span(const Row& row) const;
    static QString decode(const char* bytes, qsizetype length, bool wide);
    /// Stores `first` and then `second` as one row, behind `header` when
    /// `withHeader`; the row's text is its last `textLength` characters.
    void store(QStringView first, QStringView second, bool withHeader, std::uint32_t header,
        std::uint32_t textLength);
    /// Where `bytes` bytes go next, from the cursor on; the place has no bits set.
    Row reserve(std::uint32_t bytes, std::uint32_t& chunk, std::uint32_t& offset);

    std::vector<Chunk> m_chunks;
    std::vector<Row> m_rows;
};

} // namespace vantorel
