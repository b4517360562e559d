// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/index/FolderIndex.h"
#include "platform/walk/index/IndexRules.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantorel::dirwalk::index
{

/// Where the listing of a folder the walk entered came from.
struct RecordedListing {
    /// The folder of the last index whose listing this is (its stamp held), or
    /// the one it replaces (for its subfolders' sake), or FolderIndex::kNone.
    std::uint32_t old = FolderIndex::kNone;
    /// The listing read from the disk, stamped; null when it is the old one.
    const SubfolderList* read = nullptr;
};

/// Writes the index of one search location as the walk goes, in the walk's own
/// pre-order: each folder entered with the listing the walk used and its
/// stamp, each link, and each folder that could not be listed (never trusted).
/// What the walk did not reach (a stopped search) is taken from the last
/// index where it has it, so that an index covers what was searched. As long
/// as every folder's listing is the last index's own, nothing is written: the
/// last index is copied up to where the walk first finds a change, so that a
/// search of an unchanged tree holds one index, not two.
class IndexWriter
{
public:
    /// At most this many folders and links in one index; a larger tree is not indexed.
    static constexpr std::uint32_t kMostNodes = 4000000;

    IndexWriter(IndexRules& rules, std::string location, const FolderIndex* old);

    /// The location's listing; `listing` null when it could not be listed.
    void openRoot(const RecordedListing* listing);
    /// The walk entered `name` of the deepest folder; `listing` null when it
    /// could not be listed.
    void entered(std::string_view name, const RecordedListing* listing);
    /// The walk left the deepest folder.
    void left();
    /// The index, with what the walk did not reach taken from the last one;
    /// null when the tree was too large, or when the last one holds as it is
    /// (unchanged() then says so).
    std::unique_ptr<FolderIndex> finish();
    bool unchanged() const { return m_unchanged; }

    /// The old folder that subfolder `name` of the deepest folder was, or kNone.
    std::uint32_t oldChild(std::string_view name);

private:
    struct Level {
        std::uint32_t id = 0; ///< the folder's node in the new index
        std::uint32_t old = FolderIndex::kNone;
        bool fromOld = false; ///< its entries are the old folder's children
        // Entries still to be written: the old folder's children from nextOld,
        // or the listing's entries from nextEntry and its other links from nextLink.
        std::uint32_t nextOld = 0;
        std::uint32_t oldEnd = 0; ///< past the old folder's subtree
        SubfolderList listing;
        std::size_t nextEntry = 0;
        std::size_t nextLink = 0;
        std::uint32_t children = 0;
        /// The old children by name, made when first asked for.
        std::unordered_map<std::string_view, std::uint32_t> oldByName;
        bool oldByNameMade = false;
    };

    void open(std::string_view name, const RecordedListing* listing);
    bool asInTheOldIndex(const RecordedListing* listing) const;
    /// Copies what the walk has found as the last index had it, and writes from then on.
    void endMirror();
    /// Writes the deepest level's entries up to the folder `name` (all of them when empty).
    void writeUpTo(std::string_view name);
    void writeOldEntry(Level& level, std::uint32_t oldId);
    void writeLink(Level& level, std::string_view name);
    void writeUnreached(Level& level, std::string_view name);
    void close();
    std::uint32_t append(const IndexNode& node, std::string_view name);
    std::uint32_t copySubtree(std::uint32_t oldId);
    std::uint16_t slotOf(const FolderStamp& stamp, std::uint32_t id);
    std::uint16_t oldSlot(std::uint16_t slot, std::uint32_t id);
    std::uint32_t matchOld(Level& level, std::string_view name);

    IndexRules& m_rules;
    const FolderIndex* const m_old;
    std::unique_ptr<FolderIndex> m_index;
    std::vector<Level> m_levels;
    std::size_t m_depth = 0; ///< levels in use
    /// Levels entered below one whose listing could not be kept (a name too long).
    std::size_t m_muted = 0;
    /// The new slot of each old device slot, kNoDevice where not made yet.
    std::vector<std::uint16_t> m_slotOfOld;
    bool m_overflow = false;
    /// Nothing found differs from the last index so far: nothing is written.
    bool m_mirror = false;
    bool m_unchanged = false;
};

/// The device slot of a node with no stamp.
inline constexpr std::uint16_t kNoDevice = 0xFFFF;

} // namespace vantorel::dirwalk::index
