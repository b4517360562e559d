// SPDX-License-Identifier: MIT
#pragma once

#include "platform/walk/DirectoryCursor.h"
#include "platform/walk/index/IndexCheck.h"
#include "platform/walk/index/IndexStore.h"
#include "platform/walk/index/IndexWriter.h"
#include "platform/walk/readahead/ReadAheadSettings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantorel::dirwalk::index
{

/// The walk's cursor where the location has an index: each folder's listing
/// comes from the index where the check found its stamp unchanged, from the
/// check's own listing where it moved, and from a walk of the disk, reading
/// ahead as the settings say, for every folder the index does not have (and
/// for the whole location the first time). The walk sees exactly what it
/// would see without the index, at the moment the check looked. The index the
/// walk leaves is put back in the store when the cursor goes; the check's
/// threads are stopped then, and left to end in the background after a wait
/// was given up.
class IndexedWalkCursor final : public DirectoryCursor
{
public:
    IndexedWalkCursor(std::shared_ptr<IndexStore> store, ReadAheadSettings readAhead);
    ~IndexedWalkCursor() override;
    IndexedWalkCursor(const IndexedWalkCursor&) = delete;
    IndexedWalkCursor& operator=(const IndexedWalkCursor&) = delete;

    void setWaitHandler(WaitHandler handler) override;
    bool openRoot(std::string_view path, SubfolderList& out, std::string& error) override;
    bool enter(std::string_view name, SubfolderList& out, std::string& error) override;
    void leave() override;

private:
    enum class From : std::uint8_t { Index, CheckedAgain, Disk };
    struct Level {
        From from;
        std::uint32_t old; ///< its folder in the last index, or kNone
        std::size_t pathLength; ///< of m_relative
    };

    /// A folder below the location that the index cannot give: walked on the
    /// disk, with what lies below it.
    bool walkOnDisk(
        std::string_view name, std::uint32_t old, SubfolderList& out, std::string& error);
    /// Records a folder entered on the disk (`listing` null when it could not
    /// be listed) and, when listed, pushes it. False when it was not.
    bool enteredOnDisk(std::string_view name, std::uint32_t old, std::size_t parentLength,
        const SubfolderList* listing);
    /// Takes the listing of old folder `old` as the check found it.
    bool takeChecked(std::uint32_t old, bool root, std::string_view name, SubfolderList& out,
        std::string& error);
    /// The listing of old folder `old`: its subfolders and the links whose target is a folder now.
    bool listFromIndex(std::uint32_t old, SubfolderList& out, std::string& error);
    Verdict await(std::uint32_t old, std::string& error);
    void push(From from, std::uint32_t old);
    std::unique_ptr<DirectoryCursor> makeDiskCursor();
    /// Puts the index the walk made back in the store, and lets the check go.
    void finish();
    bool givenUp(std::string& error) const;

    std::shared_ptr<IndexStore> m_store;
    const ReadAheadSettings m_readAhead;
    WaitHandler m_handler;
    std::string m_location;
    /// Names below the location, "/"-joined, of the deepest folder.
    std::string m_relative;
    std::vector<Level> m_levels;
    /// The last index: the check reads it on its threads, so it goes with them.
    std::shared_ptr<FolderIndex> m_old;
    std::unique_ptr<IndexCheck> m_check;
    std::unique_ptr<IndexWriter> m_writer;
    /// Walks what the index does not have; its stack holds the folders of
    /// the levels read from the disk, below the first of them.
    std::unique_ptr<DirectoryCursor> m_disk;
    bool m_givenUp = false;
    IndexUse m_use;
};

/// The walk's cursor of the system, with the folder index of `store` when it is on.
std::unique_ptr<DirectoryCursor> makeIndexedWalkCursor(
    const std::shared_ptr<IndexStore>& store, ReadAheadSettings readAhead);

} // namespace vantorel::dirwalk::index
