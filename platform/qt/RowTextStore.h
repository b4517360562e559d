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
    /// Removes the rows at strictly ascending valid positions, moving every
    /// kept text down in place in one pass.
    void removeRows(const std::vector<int>& ascendingPositions);
    void clear();

    /// Bytes held for the texts, counting the unused ends of chunks.
    std::size_t arenaBytes() const;

private:
    static constexpr std::uint32_t kWideBit = 1u << 31;
    static constexpr std::uint32_t kCheckedBit = 1u << 30;
    static constexpr std::uint32_t kLengthMask = kCheckedBit - 1;
    static constexpr std::uint32_t kChunkBytes = 1u << 20;

    struct Row {
        std::uint32_t chunk;
        std::uint32_t offset;
        std::uint32_t bits; ///< length in characters, wide and checked flags
    };
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::uint32_t capacity = 0;
        std::uint32_t used = 0;
    };

    static std::uint32_t byteLength(const Row& row);
    /// Where a text of `bytes` bytes (aligned to 2 when wide) goes next.
    Row reserve(std::uint32_t bytes, bool wide, std::uint32_t& chunk, std::uint32_t& offset);

    std::vector<Chunk> m_chunks;
    std::vector<Row> m_rows;
};

} // namespace vantorel
