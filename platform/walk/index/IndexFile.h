// SPDX-License-Identifier: MIT
// The cache file of one location's index: a header that says whose index it
// is and when it was written, the file systems its stamps refer to, and the
// nodes in pre-order. Every field is checked on reading: a damaged, cut,
// foreign or crafted file gives no index.
#pragma once

#include "platform/walk/index/FolderIndex.h"

#include <array>
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

/// The bytes of the cache file of `index`, with `devices` in place of its own
/// device slots (the same, with their identities). Folders on a device whose slot is
/// not `kept` (a tmpfs, a file system with no identity) are written without
/// what is below them, to be read again next time. Empty when nothing would be
/// kept of the location.
std::string encodeIndex(const FolderIndex& index, const IndexFileHeader& header,
    const std::vector<DeviceSlot>& devices, const std::vector<bool>& kept);

/// The index in `bytes`, checked field by field; null, with the reason in
/// `why`, when anything is amiss. Its device slots are as written: their
/// device numbers mean nothing until bound again.
std::unique_ptr<FolderIndex> decodeIndex(
    std::string_view bytes, IndexFileHeader& header, std::string& why);

/// Only the header at the start of a file (with its count of nodes), without
/// checking the rest; false when it is not one.
bool decodeHeader(std::string_view bytes, IndexFileHeader& header);

/// Writes the length and checksum into the bytes of a cache file.
void sealIndexFile(std::string& bytes);

/// The most bytes a cache file may have.
inline constexpr std::size_t kMostFileBytes = std::size_t { 256 } << 20;

} // namespace vantorel::dirwalk::index
