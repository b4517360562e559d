// SPDX-License-Identifier: MIT
// The cache file of one location's index: a header that says whose index it
// is and when it was written, the file systems its stamps refer to, and the
// nodes in pre-order, each with its name. Written and read in one pass
// through a small buffer, so that the index is the only large thing in
// memory. Every field is checked on reading: a damaged, cut, foreign or
// crafted file gives no index.
#pragma once

#include "platform/walk/index/FolderIndex.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::dirwalk::index
{

struct IndexFileHeader {
    std::string key; ///< the searcher's credentials and the machine's id
    std::string location;
    std::array<std::uint8_t, 16> bootId {};
    std::int64_t savedAt = 0; ///< the wall clock when it was written
    std::int64_t wallClockSinceBoot = 0; ///< then
    std::int64_t lastUsed = 0;
    std::uint32_t nodes = 0;
};

/// Where a cache file's bytes go, in order.
class IndexFileSink
{
public:
    virtual ~IndexFileSink() = default;
    virtual bool write(const char* data, std::size_t size) = 0;
    /// Writes `size` bytes at `offset`, once all the rest is written.
    virtual bool patch(std::size_t offset, const char* data, std::size_t size) = 0;
};

/// Where a cache file's bytes come from, in order.
class IndexFileSource
{
public:
    virtual ~IndexFileSource() = default;
    /// Fills `data` whole; false at the end or on an error.
    virtual bool read(char* data, std::size_t size) = 0;
    virtual std::uint64_t size() const = 0;
};

/// Writes the cache file of `index`, with `devices` in place of its own device
/// slots (the same, with their identities). Folders on a device whose slot is
/// not `kept` (a tmpfs, a file system with no identity) are written without
/// what is below them, to be read again next time. False when nothing would
/// be kept of the location, or the sink failed.
bool writeIndexFile(const FolderIndex& index, const IndexFileHeader& header,
    const std::vector<DeviceSlot>& devices, const std::vector<bool>& kept, IndexFileSink& sink);

/// The index in a cache file, checked field by field; null, with the reason
/// in `why`, when anything is amiss. Its device slots are as written: their
/// device numbers mean nothing until bound again.
std::unique_ptr<FolderIndex> readIndexFile(
    IndexFileSource& source, IndexFileHeader& header, std::string& why);

/// Only the header at the start of a cache file, with its count of nodes,
/// without checking the rest; false when it is not one.
bool readIndexFileHeader(IndexFileSource& source, IndexFileHeader& header);

/// The same in memory: the bytes of the cache file, empty when nothing would be kept.
std::string encodeIndex(const FolderIndex& index, const IndexFileHeader& header,
    const std::vector<DeviceSlot>& devices, const std::vector<bool>& kept);
std::unique_ptr<FolderIndex> decodeIndex(
    std::string_view bytes, IndexFileHeader& header, std::string& why);

/// Writes the checksum into the bytes of a cache file, as the writer does.
void sealIndexFile(std::string& bytes);

/// The most bytes a cache file may have.
inline constexpr std::size_t kMostFileBytes = std::size_t { 256 } << 20;

} // namespace vantorel::dirwalk::index
